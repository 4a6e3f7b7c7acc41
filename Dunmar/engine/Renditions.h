#pragma once

#include "engine/Cell.h"
#include "engine/InternTables.h"
#include "engine/TextAttrs.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// What a cell's style id names: the flags, the underline and its colour, and the hyperlink. Packed
// into two words so that comparing and hashing are cheap; Style{} is the plain style without a link.
struct CellStyle {
    // bold, dim, italic, inverse, hidden, strikethrough, overline, protected in bits 0-7, the
    // underline style in 8-15, blink in 16-23, the complement of ulColor in 24-39 (so that the
    // default -1 is 0)
    std::uint64_t flags = 0;
    // ulRGB in bits 0-23 with bit 24 telling it is present, the hyperlink id in bits 32-63
    std::uint64_t underlineRgbAndLink = 0;

    std::uint32_t linkId() const { return std::uint32_t(underlineRgbAndLink >> 32); }
    bool isProtected() const { return flags & kProtectedBit; }
    friend bool operator==(const CellStyle&, const CellStyle&) = default;

    static constexpr std::uint64_t kProtectedBit = 1u << 7;
};

// A colour that a cell cannot hold in its 25 bits (see CellColor): kept exactly, for TextAttrs
// equality.
struct RareColor {
    std::int64_t index = 0;
    std::uint64_t rgb = 0; // bit 24 tells a true colour is present
    friend bool operator==(const RareColor&, const RareColor&) = default;
};

struct CellStyleHash {
    std::uint64_t operator()(const CellStyle& s) const noexcept;
};
struct RareColorHash {
    std::uint64_t operator()(const RareColor& c) const noexcept;
};

// Turns TextAttrs and a hyperlink into the words of a cell and back, through the terminal's
// tables of styles, rare colours and links. The common renditions (palette colours, true colours
// over the default index, no flags) are packed without touching a table.
class Renditions {
public:
    Renditions();

    // The pattern, at width 1, of cells written with `attrs` under link `linkId`.
    CellPattern encode(const TextAttrs& attrs, std::uint32_t linkId);
    TextAttrs decode(const Cell& cell) const;
    // `pattern` with the colours of `attrs` (its style and link kept).
    CellPattern recolour(const CellPattern& pattern, const TextAttrs& attrs) {
        return pattern.withColours(colorCode(attrs.fg, attrs.fgRGB, CellColor::kDefaultFg),
                                   colorCode(attrs.bg, attrs.bgRGB, CellColor::kDefaultBg));
    }

    std::uint32_t internLink(std::string_view uri) {
        const std::uint32_t id = links_.intern(uri);
        updateCompactionDue();
        return id;
    }
    std::string_view linkOf(const Cell& cell) const {
        return links_.get(styles_.get(cell.styleId()).linkId());
    }

    // True once any protected rendition was written: erases skip the per-cell test otherwise.
    bool mayHaveProtected() const { return protectedStyles_ > 0; }
    bool isProtected(const Cell& cell) const {
        return protectedStyles_ > 0 && styles_.get(cell.styleId()).isProtected();
    }

    // Compaction: when needsCompaction(), the owner marks every cell it keeps (markLive() on each
    // row) and calls compact(). Style and colour ids keep their values, so no cell is rewritten;
    // links are renumbered inside the style table, and the owner's current link id comes back
    // renumbered.
    bool needsCompaction() const { return compactionDue_; }
    class LiveIds {
    public:
        void markLive(std::span<const Cell> cells);

    private:
        friend class Renditions;
        std::vector<bool> styles_;
        std::vector<bool> rareColors_;
    };
    LiveIds startCompaction() const;
    std::uint32_t compact(const LiveIds& live, std::uint32_t currentLinkId);

    // Bytes held by the tables (capacities; allocator overhead excluded).
    std::size_t memoryFootprint() const;

private:
    // A palette index, or a true colour over the default index, is packed right here; the rest
    // goes to the table of rare colours.
    std::uint32_t colorCode(std::int64_t index, const std::optional<RGB>& rgb, std::uint32_t defaultIndex) {
        if (!rgb) {
            if (std::uint64_t(index) < 256) return std::uint32_t(index);
        } else if (index == std::int64_t(defaultIndex)) {
            return CellColor::kRgbFlag | std::uint32_t(rgb->r) << 16 | std::uint32_t(rgb->g) << 8 | rgb->b;
        }
        return rareColorCode(index, rgb, defaultIndex);
    }
    std::uint32_t rareColorCode(std::int64_t index, const std::optional<RGB>& rgb,
                                std::uint32_t defaultIndex);
    void decodeColor(std::uint32_t code, std::uint32_t defaultIndex, std::int64_t& index,
                     std::optional<RGB>& rgb) const;
    std::uint32_t styleId(const CellStyle& style);

    StableInternTable<CellStyle, CellStyleHash> styles_;
    StableInternTable<RareColor, RareColorHash> rareColors_;
    HyperlinkTable links_;
    std::size_t protectedStyles_ = 0;
    // Whether a table asks for compaction, worked out whenever one changes: asked before every
    // change of the pen, which must stay cheap.
    bool compactionDue_ = false;
    void updateCompactionDue() {
        compactionDue_ =
            styles_.needsCompaction() || rareColors_.needsCompaction() || links_.needsCompaction();
    }
};
