#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Cells a scalar takes when printed: 0 (combining and other zero-width scalars), 1 or 2 (wide
// East Asian characters and emoji). The widths are those of the C library's wcwidth(), which the
// shells, editors and pagers in the terminal use to place their text: any other answer puts the
// rest of a line in the wrong columns. Runs for every printed character: Latin is answered
// inline, everything else by a two-stage table (CharWidthTable.cpp, generated from wcwidth() by
// scripts/generate-char-widths): each block of 256 scalars names a row of two-bit widths.
namespace charwidth {
constexpr std::size_t kBlockCount = 0x110000 / 256;
extern const std::array<std::uint8_t, kBlockCount> kBlockOf; // per block: its row of kBlocks
extern const std::uint8_t kBlocks[][64];                     // the distinct rows of widths
} // namespace charwidth
inline int unicodeWidth(char32_t c) {
    if (c < 0x0300) return c < 0x20 || (c >= 0x7F && c <= 0x9F) ? 0 : 1;
    if (c >= 0x110000) return 1;
    const std::uint8_t packed = charwidth::kBlocks[charwidth::kBlockOf[c >> 8]][(c & 0xFF) >> 2];
    return (packed >> ((c & 3) * 2)) & 3;
}

// True for scalars of the right-to-left scripts (Hebrew, Arabic, Syriac, Thaana, ...).
bool isStrongRTL(std::uint32_t v);
