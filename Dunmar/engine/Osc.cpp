// Operating System Commands: the command number and its payload, titles, hyperlinks, the working
// directory, the clipboard and the shell's prompt marks. The colour commands are in OscColors.cpp.
#include "engine/Codecs.h"
#include "engine/Terminal.h"
#include "engine/Title.h"
#include "engine/Utf8Decoder.h"

#include <string>

namespace {

// The command number: a decimal integer; empty or other text gives -1.
std::int64_t oscNumber(std::string_view text) {
    return decimalNumber(text).value_or(-1);
}

} // namespace

void Terminal::handleOSC() {
    ++diag_.oscCount;
    std::string_view buf = parser_.oscBuf;
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
        currentTitle_ = sanitizeTitle(payload);
        if (onTitleChange) onTitleChange(currentTitle_);
        break;
    case 1: // the icon name: nothing shows it
        break;
    case 4:
        oscPaletteEntry(payload);
        break;
    case 7:
        oscWorkingDirectory(payload);
        break;
    case 8: {
        // The parameters before the URI (an id) are not used: links are not grouped.
        auto semi = payload.find(';');
        if (semi == std::string_view::npos || semi + 1 == payload.size()) {
            setCurrentHyperlink(std::nullopt);
        } else {
            setCurrentHyperlink(std::string(payload.substr(semi + 1)));
        }
        break;
    }
    case 10:
    case 11:
    case 12:
        oscDynamicColor(number, payload);
        break;
    case 52:
        oscClipboard(payload);
        break;
    case 104:
        oscResetPalette(payload);
        break;
    case 110:
        dynamicFG_.reset();
        colorChanged();
        break;
    case 111:
        dynamicBG_.reset();
        colorChanged();
        break;
    case 112:
        dynamicCursor_.reset();
        colorChanged();
        break;
    case 133:
        oscPromptMark(payload);
        break;
    default:
        diag_.recordUnhandled("OSC " + std::to_string(number));
        break;
    }
}

// "file://host/path": the host is dropped whatever it says. The path is percent-decoded, since
// shells escape spaces and other bytes in it ("/Users/a%20b" is the directory "a b"); a path that
// does not decode to UTF-8 text without NUL bytes is no directory to show, and is ignored.
void Terminal::oscWorkingDirectory(std::string_view payload) {
    constexpr std::string_view scheme = "file://";
    if (!payload.starts_with(scheme)) return;
    const std::string_view rest = payload.substr(scheme.size());
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos) return;
    std::string path = percentDecode(rest.substr(slash));
    if (path.find('\0') != std::string::npos || !isValidUtf8(path)) return;
    currentDirectory_ = std::move(path);
}

// "selection;data". The selection parameter never chooses another clipboard; the view has one.
// Reading is left to onClipboardRead, which is unset unless the user allowed it. A write must be
// strict base64 of UTF-8 text of at most kMaxClipboardBytes; an empty one leaves the clipboard alone.
void Terminal::oscClipboard(std::string_view payload) {
    const auto semi = payload.find(';');
    if (semi == std::string_view::npos) return;
    const std::string_view selection = payload.substr(0, semi);
    const std::string_view data = payload.substr(semi + 1);
    if (data == "?") {
        if (!onClipboardRead || !onResponse) return;
        const std::optional<std::string> text = onClipboardRead();
        if (!text) return;
        respond("\x1b]52;" + std::string(selection) + ";" + base64Encode(*text) + "\x1b\\");
        return;
    }
    if (data.empty()) return;
    std::optional<std::string> text = base64Decode(data, kMaxClipboardBytes);
    if (!text || !isValidUtf8(*text)) return;
    if (onClipboardWrite) onClipboardWrite(*text);
}

// The mark is the payload's first character; what follows it (an exit status) is not kept.
void Terminal::oscPromptMark(std::string_view payload) {
    if (payload.empty()) return;
    Utf8Decoder decoder;
    char32_t mark = 0;
    for (char c : payload) {
        if (decoder.step(static_cast<std::uint8_t>(c), mark) == Utf8Decoder::Result::scalar) break;
    }
    promptMarks_.push_back(PromptMark{mark, cursor_.y});
    if (promptMarks_.size() > kMaxPromptMarks) {
        promptMarks_.erase(promptMarks_.begin(),
                          promptMarks_.begin() + std::ptrdiff_t(promptMarks_.size() - kMaxPromptMarks));
    }
}
