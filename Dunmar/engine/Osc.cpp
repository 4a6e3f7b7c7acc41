// Operating System Commands. Only the commands the screen model itself needs are handled here
// (titles and hyperlinks); colour, clipboard, directory and prompt-mark commands are accepted
// without effect until their handlers join this dispatch.
#include "engine/Terminal.h"

#include <charconv>
#include <string>

namespace {

std::int64_t oscNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t value = -1;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return -1;
    return value;
}

} // namespace

void Terminal::handleOSC() {
    ++diag.oscCount;
    std::string_view buf = oscBuf_;
    std::string_view payload;
    std::int64_t number;
    if (auto semi = buf.find(';'); semi != std::string_view::npos) {
        number = oscNumber(buf.substr(0, semi));
        payload = buf.substr(semi + 1);
    } else {
        number = oscNumber(buf);
    }
    switch (number) {
    case 0:
    case 2:
        currentTitle = std::string(payload);
        if (onTitleChange) onTitleChange(currentTitle);
        break;
    case 8: {
        auto semi = payload.find(';');
        if (semi == std::string_view::npos || semi + 1 == payload.size()) {
            setCurrentHyperlink(std::nullopt);
        } else {
            setCurrentHyperlink(std::string(payload.substr(semi + 1)));
        }
        break;
    }
    case 1:
    case 4:
    case 7:
    case 10:
    case 11:
    case 12:
    case 52:
    case 104:
    case 110:
    case 111:
    case 112:
    case 133:
        break;
    default:
        diag.recordUnhandled("OSC " + std::to_string(number));
        break;
    }
}
