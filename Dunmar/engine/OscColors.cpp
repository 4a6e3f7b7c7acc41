// The colour commands of OSC: palette entries (4, 104) and the dynamic foreground, background and
// cursor colours (10-12, 110-112). Queries are answered with "rgb:rr/gg/bb"; a colour that changes
// is announced through onColorChange so the view redraws.
#include "engine/Codecs.h"
#include "engine/ColorSpec.h"
#include "engine/Terminal.h"

#include <string>
#include <vector>

namespace {

// The cursor colour a shell is told about while it has set none.
constexpr ColorRGBA kDefaultCursorQueryColor{0.4, 0.7, 1.0, 1};

// Splits at ";" with empty pieces left out; after maxSplits pieces the rest (";" included) is the
// last piece. maxSplits 0 splits everywhere.
std::vector<std::string_view> splitFields(std::string_view text, std::size_t maxSplits) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        if (maxSplits != 0 && pieces.size() == maxSplits) break;
        const auto semi = text.find(';', start);
        const std::size_t end = semi == std::string_view::npos ? text.size() : semi;
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) pieces.push_back(text.substr(start));
    return pieces;
}

std::optional<std::size_t> paletteIndex(std::string_view text) {
    const auto n = decimalNumber(text);
    if (!n || *n < 0 || *n > 255) return std::nullopt;
    return static_cast<std::size_t>(*n);
}

} // namespace

void Terminal::colorChanged() {
    if (onColorChange) onColorChange();
}

// "index;spec" sets one entry, "index;?" asks for it. Only the first pair is read; the reply gives
// the base palette rule's colour for an entry the shell has not replaced.
void Terminal::oscPaletteEntry(std::string_view payload) {
    const auto pieces = splitFields(payload, 2);
    if (pieces.size() < 2) return;
    const auto index = paletteIndex(pieces[0]);
    if (!index) return;
    if (pieces[1] == "?") {
        if (!onResponse) return;
        const auto& over = paletteOverrides_[*index];
        const ColorRGBA color = over ? colorFromRgb8(*over) : paletteColor(std::int64_t(*index));
        respond(oscColorReply("4;" + std::to_string(*index), color));
        return;
    }
    const auto rgb = parseColorSpec(pieces[1]);
    if (!rgb) return;
    paletteOverrides_[*index] = *rgb;
    colorChanged();
}

// "?" asks; anything else is one colour specification (several in one command are not split).
void Terminal::oscDynamicColor(std::int64_t number, std::string_view payload) {
    std::optional<RGB>& slot = number == 10 ? dynamicFG_ : number == 11 ? dynamicBG_ : dynamicCursor_;
    if (payload == "?") {
        if (!onResponse) return;
        ColorRGBA color = number == 10 ? kDefaultFG : number == 11 ? kDefaultBG : kDefaultCursorQueryColor;
        if (slot) color = colorFromRgb8(*slot);
        respond(oscColorReply(std::to_string(number), color));
        return;
    }
    const auto rgb = parseColorSpec(payload);
    if (!rgb) return;
    slot = *rgb;
    colorChanged();
}

// No payload resets every entry; otherwise the listed indices, skipping what is not one.
void Terminal::oscResetPalette(std::string_view payload) {
    if (payload.empty()) {
        paletteOverrides_.fill(std::nullopt);
    } else {
        for (std::string_view piece : splitFields(payload, 0)) {
            if (const auto index = paletteIndex(piece)) paletteOverrides_[*index].reset();
        }
    }
    colorChanged();
}
