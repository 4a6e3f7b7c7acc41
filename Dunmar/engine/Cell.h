#pragma once

#include <cstdint>
#include <cstring>

// One character position of the grid or of a scrollback line. Kept at 12 bytes and trivially
// copyable: rows are moved into the scrollback, re-flowed and compared cell by cell, and a full
// scrollback holds millions of them.
//   ch      the character shown (a Unicode scalar); " " for a blank
//   attrId  the rendition, an id into the owning Terminal's attribute table; 0 is TextAttrs()
//   linkId  the hyperlink, an id into the owning Terminal's hyperlink table; 0 is none
//   width   1 ordinary, 2 left half of a wide character, 0 its right half (continuation)
struct Cell {
    char32_t ch = U' ';
    std::uint32_t attrId = 0;
    std::uint32_t linkId : 30 = 0;
    std::uint32_t width : 2 = 1;

    // The blank cell that every erase, scroll, insertion and new grid writes.
    bool isBlank() const { return ch == U' ' && attrId == 0 && linkId == 0 && width == 1; }
};
static_assert(sizeof(Cell) <= 16, "Cell must stay small: the scrollback holds millions");
static_assert(sizeof(Cell) == 12);

// Writes the blank cell over [first, last). Erases and scrolls blank whole rows at a time; copying
// from a row of blanks is several times cheaper than writing the twelve-byte cell one by one.
void fillBlank(Cell* first, Cell* last);

// Writes cells that differ from a pattern only in their character, as plain 32-bit words: built
// field by field, the bit-fields make the compiler assemble every cell through the stack, which
// costs more than the write itself on the paths that print text.
class CellPattern {
public:
    explicit CellPattern(const Cell& pattern) { std::memcpy(words_, &pattern, sizeof words_); }
    // The pattern of a rendition, link and width, made without a Cell in memory: the word of the
    // bit-fields is the sum of each field times the word that field alone makes (found once).
    CellPattern(std::uint32_t attrId, std::uint32_t linkId, std::uint32_t width) {
        static const std::uint32_t linkUnit = CellPattern(Cell{U'\0', 0, 1, 0}).linkWord();
        static const std::uint32_t widthUnit = CellPattern(Cell{U'\0', 0, 0, 1}).linkWord();
        words_[0] = U' ';
        words_[1] = attrId;
        words_[2] = linkId * linkUnit + width * widthUnit;
    }
    // Word by word: gathering the three words in a local first makes the compiler copy them through
    // the stack, where a wide read of narrow writes stalls.
    void store(Cell* dst, char32_t ch) const {
        auto* bytes = reinterpret_cast<unsigned char*>(dst);
        const std::uint32_t first = ch;
        std::memcpy(bytes, &first, 4);
        std::memcpy(bytes + 4, &words_[1], 4);
        std::memcpy(bytes + 8, &words_[2], 4);
    }
    // The rendition word and the word of link and width, as laid out in memory.
    std::uint32_t attrWord() const { return words_[1]; }
    std::uint32_t linkWord() const { return words_[2]; }

private:
    std::uint32_t words_[3];
};

// A cursor position on the visible grid with its deferred-wrap flag.
struct CursorState {
    std::int64_t x = 0;
    std::int64_t y = 0;
    bool pendingWrap = false; // the last column was just written; the wrap waits for the next character
};

// Bits of the per-row line attribute byte.
namespace LineAttr {
constexpr std::uint8_t sizeMask = 0x03;     // 0 single, 1 double width, 2 double-height top, 3 bottom
constexpr std::uint8_t softWrapped = 0x08;  // the text continues on the next row because put wrapped
constexpr std::uint8_t reflowedLast = 0x10; // last row of a line that a resize re-flowed
} // namespace LineAttr
