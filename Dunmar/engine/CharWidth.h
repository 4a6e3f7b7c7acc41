#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Cells a scalar takes when printed: 0 (combining and other zero-width scalars), 1 or 2 (wide
// East Asian characters and emoji). Runs for every printed character: Latin is answered inline,
// the rest of the BMP by a two-stage table (made at compile time from the ranges in
// CharWidth.cpp), and only scalars beyond the BMP test ranges.
namespace charwidth {
constexpr std::size_t kMaxBlocks = 32;
extern const std::array<std::uint8_t, 256> kBlockOf;                        // per block: its row of kBlocks
extern const std::array<std::array<std::uint8_t, 256>, kMaxBlocks> kBlocks; // the distinct rows of widths
} // namespace charwidth
int unicodeWidthBeyondBmp(char32_t c);
inline int unicodeWidth(char32_t c) {
    if (c < 0x0300) return c < 0x20 || (c >= 0x7F && c <= 0x9F) ? 0 : 1;
    if (c < 0x10000) return charwidth::kBlocks[charwidth::kBlockOf[c >> 8]][c & 0xFF];
    return unicodeWidthBeyondBmp(c);
}

// True for scalars of the right-to-left scripts (Hebrew, Arabic, Syriac, Thaana, ...).
bool isStrongRTL(std::uint32_t v);
