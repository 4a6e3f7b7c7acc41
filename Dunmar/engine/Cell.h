#pragma once

#include <cstdint>
#include <cstring>

// One character position of the grid or of a scrollback line. Kept at 12 bytes and trivially
// copyable: rows are moved into the scrollback, re-flowed and compared cell by cell, and a full
// scrollback holds millions of them. The colours are held in the cell itself, so a program that
// gives every word a true colour of its own costs no more memory than one that uses the palette;
// only the rest of the rendition (flags, underline colour, hyperlink), of which programs use a
// handful of combinations, is named by an id into the owning Terminal's style table.
//   ch      the character shown (a Unicode scalar, 21 bits); " " for a blank
//   width   1 ordinary, 2 left half of a wide character, 0 its right half (continuation)
//   fg, bg  colour codes (see CellColor): a palette index, a true colour, or an id of a rare value
//   style   23 bits spread over the three words (styleId()); 0 is no flags and no hyperlink
struct Cell {
    char32_t ch : 21 = U' ';
    std::uint32_t width : 2 = 1;
    std::uint32_t styleLow : 9 = 0;
    std::uint32_t fg : 25 = 7;
    std::uint32_t styleMid : 7 = 0;
    std::uint32_t bg : 25 = 0;
    std::uint32_t styleHigh : 7 = 0;

    std::uint32_t styleId() const { return styleLow | styleMid << 9 | styleHigh << 16; }
    void setStyleId(std::uint32_t id) {
        styleLow = id & 0x1FF;
        styleMid = (id >> 9) & 0x7F;
        styleHigh = (id >> 16) & 0x7F;
    }
    // The blank cell that every erase, scroll, insertion and new grid writes.
    bool isBlank() const;
};
static_assert(sizeof(Cell) == 12, "Cell must stay small: the scrollback holds millions");

// Colour codes of 25 bits as a cell holds them:
//   0 ... 255                  palette index, no true colour
//   kRgbFlag | 0xRRGGBB        a true colour over the default palette index (7 foreground, 0 background),
//                              which is what every program that sends true colours leaves there
//   kFirstRareId + id          anything else (an index beyond the palette, or a true colour over
//                              another index): an id into the terminal's table of rare colours
namespace CellColor {
constexpr std::uint32_t kRgbFlag = 1u << 24;
constexpr std::uint32_t kFirstRareId = 256;
constexpr std::uint32_t kMaxRareIds = kRgbFlag - kFirstRareId;
constexpr std::uint32_t kDefaultFg = 7;
constexpr std::uint32_t kDefaultBg = 0;
inline bool isRare(std::uint32_t code) {
    return code >= kFirstRareId && code < kRgbFlag;
}
} // namespace CellColor

// Style ids fit 23 bits.
constexpr std::uint32_t kMaxCellStyleIds = 1u << 23;

// Writes the blank cell over [first, last). Erases and scroll blank whole rows at a time; copying
// from a row of blanks is several times cheaper than writing the cell one by one.
void fillBlank(Cell* first, Cell* last);

// Writes cells that differ from a pattern only in their character, as plain 32-bit words: built
// field by field, the bit-fields make the compiler assemble every cell through the stack, which
// costs more than the write itself on the paths that print text.
class CellPattern {
public:
    CellPattern() : CellPattern(Cell{}) {}
    explicit CellPattern(const Cell& pattern) {
        std::memcpy(words_, &pattern, sizeof words_);
        words_[0] &= ~kCharMask;
    }
    // The pattern of the same rendition at another width (0, 1 or 2).
    CellPattern withWidth(std::uint32_t width) const {
        CellPattern p = *this;
        p.words_[0] = (words_[0] & ~kWidthMask) | width << kWidthShift;
        return p;
    }
    // The pattern with other colour codes.
    CellPattern withColours(std::uint32_t fg, std::uint32_t bg) const {
        CellPattern p = *this;
        p.words_[1] = (words_[1] & ~kColourMask) | fg;
        p.words_[2] = (words_[2] & ~kColourMask) | bg;
        return p;
    }
    // Word by word: gathering the three words in a local first makes the compiler copy them through
    // the stack, where a wide read of narrow writes stalls.
    void store(Cell* dst, char32_t ch) const {
        auto* bytes = reinterpret_cast<unsigned char*>(dst);
        const std::uint32_t first = std::uint32_t(ch) | words_[0];
        std::memcpy(bytes, &first, 4);
        std::memcpy(bytes + 4, &words_[1], 4);
        std::memcpy(bytes + 8, &words_[2], 4);
    }
    Cell cell(char32_t ch) const {
        Cell c;
        store(&c, ch);
        return c;
    }
    // The three words as laid out in memory, the first without its character.
    std::uint32_t word(int i) const { return words_[i]; }
    friend bool operator==(const CellPattern&, const CellPattern&) = default;

private:
    static constexpr std::uint32_t kCharMask = (1u << 21) - 1;
    static constexpr int kWidthShift = 21;
    static constexpr std::uint32_t kWidthMask = 3u << kWidthShift;
    static constexpr std::uint32_t kColourMask = (1u << 25) - 1;
    std::uint32_t words_[3];
};

// The words of Cell{} (the first being " " at width 1), as the bit-fields lay it out on the
// platforms we build for; a test holds them to the fields.
constexpr std::uint32_t kBlankCellWords[3] = {U' ' | 1u << 21, CellColor::kDefaultFg, CellColor::kDefaultBg};

inline bool Cell::isBlank() const {
    std::uint32_t w[3];
    std::memcpy(w, this, sizeof w);
    return w[0] == kBlankCellWords[0] && w[1] == kBlankCellWords[1] && w[2] == kBlankCellWords[2];
}

// Everything of a cell's rendition (colours, style and hyperlink) in two words: cells with equal
// keys are drawn alike, whatever their characters.
struct CellRenditionKey {
    std::uint64_t colours = 0;
    std::uint32_t style = 0;
    friend bool operator==(const CellRenditionKey&, const CellRenditionKey&) = default;
};
inline CellRenditionKey renditionKey(const Cell& c) {
    return {std::uint64_t(c.fg) | std::uint64_t(c.bg) << 32, c.styleId()};
}
struct CellRenditionKeyHash {
    std::size_t operator()(const CellRenditionKey& k) const noexcept {
        std::uint64_t h = (k.colours ^ std::uint64_t(k.style) << 25) * 0x9e3779b97f4a7c15ull;
        return std::size_t(h ^ (h >> 31));
    }
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
