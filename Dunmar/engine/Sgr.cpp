// Select Graphic Rendition: edits the pen that put() gives to every character it writes.
#include "engine/Terminal.h"

#include <algorithm>

namespace {

std::uint8_t byteValue(std::int64_t v) {
    return std::uint8_t(std::clamp<std::int64_t>(v, 0, 255));
}

std::int16_t shortValue(std::int64_t v) {
    return std::int16_t(std::clamp<std::int64_t>(v, -32768, 32767));
}

} // namespace

// The pen is edited in place, and only the part that a code touches is marked for packing again:
// a colour change (by far the most common) repacks two words and never looks up the style table.
void Terminal::doSGR(const CsiParams& params) {
    TextAttrs& a = attrs_;
    // The shape most programs send for every coloured word: one 256-colour foreground or
    // background, taken without the general loop.
    if (params.size() == 3 && params[1] == 5 && (params[0] == 38 || params[0] == 48)) {
        const bool fg = params[0] == 38;
        (fg ? a.fg : a.bg) = params[2];
        (fg ? a.fgRGB : a.bgRGB).reset();
        penStale_ |= kPenColours;
        return;
    }
    std::uint8_t touched = 0;
    const std::size_t count = params.size();
    for (std::size_t i = 0; i < count;) {
        const std::int64_t code = params[i];
        std::size_t step = 1;
        std::uint8_t part = kPenStyle;
        switch (code) {
        case 0:
            a = TextAttrs();
            // Without a link the plain rendition packs to the plain pattern: nothing to look up.
            if (penLinkId_ == 0) {
                pen_ = CellPattern();
                penStale_ = 0;
                touched = 0;
                part = 0;
            } else {
                part = kPenStyle | kPenColours;
            }
            break;
        case 1:
            a.bold = true;
            break;
        case 2:
            a.dim = true;
            break;
        case 3:
            a.italic = true;
            break;
        case 4:
            if (const auto group = params.sub(i); group.empty()) {
                a.underline = 1;
            } else {
                a.underline = byteValue(group.size() > 1 ? group[1] : group[0]);
            }
            break;
        case 5:
            a.blink = 1;
            break;
        case 6:
            a.blink = 2;
            break;
        case 7:
            a.inverse = true;
            break;
        case 8:
            a.hidden = true;
            break;
        case 9:
            a.strikethrough = true;
            break;
        case 21:
            a.underline = 2;
            break;
        case 22:
            a.bold = a.dim = false;
            break;
        case 23:
            a.italic = false;
            break;
        case 24:
            a.underline = 0;
            break;
        case 25:
            a.blink = 0;
            break;
        case 27:
            a.inverse = false;
            break;
        case 28:
            a.hidden = false;
            break;
        case 29:
            a.strikethrough = false;
            break;
        case 38:
        case 48: {
            // Only the semicolon forms are read; a colon form leaves the code alone in the list.
            const bool fg = code == 38;
            part = kPenColours;
            if (i + 4 < count && params[i + 1] == 2) {
                RGB rgb{byteValue(params[i + 2]), byteValue(params[i + 3]), byteValue(params[i + 4])};
                (fg ? a.fgRGB : a.bgRGB) = rgb;
                step = 5;
            } else if (i + 2 < count && params[i + 1] == 5) {
                (fg ? a.fg : a.bg) = params[i + 2];
                (fg ? a.fgRGB : a.bgRGB).reset();
                step = 3;
            }
            break;
        }
        case 39:
            a.fg = 7;
            a.fgRGB.reset();
            part = kPenColours;
            break;
        case 49:
            a.bg = 0;
            a.bgRGB.reset();
            part = kPenColours;
            break;
        case 53:
            a.overline = true;
            break;
        case 55:
            a.overline = false;
            break;
        case 58:
            if (const auto group = params.sub(i); group.empty()) {
                if (i + 4 < count && params[i + 1] == 2) {
                    a.ulRGB =
                        RGB{byteValue(params[i + 2]), byteValue(params[i + 3]), byteValue(params[i + 4])};
                    a.ulColor = -1;
                    step = 5;
                } else if (i + 2 < count && params[i + 1] == 5) {
                    a.ulColor = shortValue(params[i + 2]);
                    a.ulRGB.reset();
                    step = 3;
                }
            } else {
                const std::int64_t kind = group.size() > 1 ? group[1] : group[0];
                if (kind == 2 && group.size() >= 6) {
                    a.ulRGB = RGB{byteValue(group[3]), byteValue(group[4]), byteValue(group[5])};
                    a.ulColor = -1;
                } else if (kind == 5 && group.size() >= 3) {
                    a.ulColor = shortValue(group[2]);
                    a.ulRGB.reset();
                }
            }
            break;
        case 59:
            a.ulColor = -1;
            a.ulRGB.reset();
            break;
        default:
            part = kPenColours;
            if (code >= 30 && code <= 37) {
                a.fg = code - 30;
                a.fgRGB.reset();
            } else if (code >= 40 && code <= 47) {
                a.bg = code - 40;
                a.bgRGB.reset();
            } else if (code >= 90 && code <= 97) {
                a.fg = code - 82;
                a.fgRGB.reset();
            } else if (code >= 100 && code <= 107) {
                a.bg = code - 92;
                a.bgRGB.reset();
            } else {
                part = 0;
            }
            break;
        }
        touched |= part;
        i += step;
    }
    penStale_ |= touched;
}
