#include "engine/CharWidth.h"

#include <array>
#include <cstddef>

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

constexpr Range kZeroWidth[] = {
    {0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},   {0x20D0, 0x20FF},
    {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xE0100, 0xE01EF},
};

constexpr Range kWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33BF},   {0x3400, 0x4DBF},   {0x4E00, 0xA4CF},
    {0xA960, 0xA97C}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF01, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F000, 0x1FBFF}, {0x20000, 0x2FA1F}, {0x30000, 0x3134F},
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

// The width of a scalar from U+0300 on, from the ranges above: the definition that the table
// below is made from, and the answer beyond the BMP.
constexpr int widthFromRanges(char32_t c) {
    if (c <= 0x036F) return 0;
    if (c < 0x1100) return 1;
    // The ranges do not overlap, so the largest blocks can be tested first.
    if (c >= 0x4E00 && c <= 0xA4CF) return 2;
    if (c >= 0xAC00 && c <= 0xD7A3) return 2;
    if (c >= 0x1F000 && c <= 0x1FBFF) return 2; // emoji and pictographs
    if (inRanges(c, kZeroWidth)) return 0;
    if (inRanges(c, kWide)) return 2;
    return 1;
}

// The widths of the BMP in two stages, made at compile time: each block of 256 scalars names a
// row of widths (most blocks share the row of all 1, or of all 2), so a lookup is two loads.
constexpr std::size_t kMaxDistinctBlocks = 32;
static_assert(kMaxDistinctBlocks == charwidth::kMaxBlocks);
struct BmpWidths {
    std::array<std::uint8_t, 256> blockOf{};
    std::array<std::array<std::uint8_t, 256>, kMaxDistinctBlocks> blocks{};
    std::size_t distinct = 0;
};

// True when a range of either list starts or ends strictly inside [lo, hi].
template <std::size_t N> constexpr bool splits(char32_t lo, char32_t hi, const Range (&ranges)[N]) {
    for (const Range& r : ranges) {
        if ((r.first > lo && r.first <= hi) || (r.last >= lo && r.last < hi)) return true;
    }
    return false;
}

// Blocks that no range splits have one width throughout: they are told apart from the others by
// the ranges alone, which keeps the work small enough for the compilers' limits on constant
// evaluation. Rows 0 and 1 are all 1 and all 2; every split block gets a row of its own.
constexpr BmpWidths makeBmpWidths() {
    BmpWidths t;
    for (std::size_t i = 0; i < 256; ++i) {
        t.blocks[0][i] = 1;
        t.blocks[1][i] = 2;
    }
    t.distinct = 2;
    for (std::size_t b = 0; b < 256; ++b) {
        const char32_t lo = char32_t(b << 8);
        const char32_t hi = lo + 0xFF;
        // Below U+0300 unicodeWidth() answers inline; the table is not asked.
        const bool split = lo <= 0x036F || splits(lo, hi, kZeroWidth) || splits(lo, hi, kWide);
        if (!split && widthFromRanges(lo) != 0) {
            t.blockOf[b] = std::uint8_t(widthFromRanges(lo) - 1);
            continue;
        }
        if (t.distinct == kMaxDistinctBlocks) throw "kMaxDistinctBlocks is too small";
        for (std::size_t i = 0; i < 256; ++i) {
            const char32_t c = lo + char32_t(i);
            t.blocks[t.distinct][i] = std::uint8_t(c < 0x0300 ? 1 : widthFromRanges(c));
        }
        t.blockOf[b] = std::uint8_t(t.distinct++);
    }
    return t;
}

constexpr BmpWidths kBmpWidths = makeBmpWidths();

} // namespace

namespace charwidth {
constexpr std::array<std::uint8_t, 256> kBlockOf = kBmpWidths.blockOf;
constexpr std::array<std::array<std::uint8_t, 256>, kMaxBlocks> kBlocks = kBmpWidths.blocks;
} // namespace charwidth

int unicodeWidthBeyondBmp(char32_t c) {
    return widthFromRanges(c);
}

bool isStrongRTL(std::uint32_t v) {
    return v >= 0x0590 && inRanges(char32_t(v), kRTL);
}
