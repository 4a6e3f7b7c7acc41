#pragma once

#include "engine/Rgb.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// The rendition of a character. This is the public value type that the SGR handler edits and the
// view reads; cells do not carry it whole but in a packed form (the colours in the cell, the rest
// by an id into the terminal's style table, see Renditions), so a cell stays small.
struct TextAttrs {
    std::int64_t fg = 7; // palette index; fgRGB wins when present
    std::int64_t bg = 0; // palette index; bgRGB wins when present
    bool bold = false;
    bool dim = false;
    bool italic = false;
    std::uint8_t underline = 0; // style number, 0 = none
    std::uint8_t blink = 0;     // 0 = none, 1 = slow, 2 = rapid
    bool inverse = false;
    bool hidden = false;
    bool strikethrough = false;
    bool overline = false;
    std::optional<RGB> fgRGB;
    std::optional<RGB> bgRGB;
    std::int16_t ulColor = -1; // palette index of the underline colour, -1 = the foreground's
    std::optional<RGB> ulRGB;
    // Spared by every erase ("protected" is a C++ keyword, hence the name).
    bool isProtected = false;

    // Equal when all sixteen fields are equal.
    friend bool operator==(const TextAttrs&, const TextAttrs&) = default;
};
