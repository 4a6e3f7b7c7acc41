#include "engine/CharWidth.h"

#include <array>
#include <cstddef>

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

constexpr Range kRTL[] = {
    {0x0590, 0x05FF}, {0x0600, 0x06FF}, {0x0700, 0x077F}, {0x0780, 0x07BF},
    {0x08A0, 0x08FF}, {0xFB1D, 0xFDFF}, {0xFE70, 0xFEFF}, {0x10800, 0x10FFF},
};

template <std::size_t N> constexpr bool inRanges(char32_t c, const Range (&ranges)[N]) {
    for (const Range& r : ranges) {
        if (c >= r.first && c <= r.last) return true;
    }
    return false;
}

} // namespace

bool isStrongRTL(std::uint32_t v) {
    return v >= 0x0590 && inRanges(char32_t(v), kRTL);
}
