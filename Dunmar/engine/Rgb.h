#pragma once

#include <cstdint>

// An 8-bit red, green, blue triple: true colours in cell renditions, palette overrides and the
// default colours the shell sets, sixel colour registers.
struct RGB {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const RGB&, const RGB&) = default;
};
