#include "engine/Renditions.h"

namespace {

constexpr std::uint64_t kRgbPresent = 1u << 24;

std::uint64_t packRgb(const std::optional<RGB>& c) {
    return c ? kRgbPresent | std::uint64_t(c->r) << 16 | std::uint64_t(c->g) << 8 | c->b : 0;
}

std::optional<RGB> unpackRgb(std::uint64_t v) {
    if (!(v & kRgbPresent)) return std::nullopt;
    return RGB{std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
    std::uint64_t h = a * 0x9e3779b97f4a7c15ull ^ b * 0xc2b2ae3d27d4eb4full;
    h ^= h >> 32;
    h *= 0xd6e8feb86659fd93ull;
    return h ^ (h >> 29);
}

// Flag bits of CellStyle::flags, in TextAttrs order.
constexpr std::uint64_t kBold = 1u << 0;
constexpr std::uint64_t kDim = 1u << 1;
constexpr std::uint64_t kItalic = 1u << 2;
constexpr std::uint64_t kInverse = 1u << 3;
constexpr std::uint64_t kHidden = 1u << 4;
constexpr std::uint64_t kStrikethrough = 1u << 5;
constexpr std::uint64_t kOverline = 1u << 6;
static_assert(CellStyle::kProtectedBit == 1u << 7);

CellStyle styleOf(const TextAttrs& a, std::uint32_t linkId) {
    CellStyle s;
    s.flags = (a.bold ? kBold : 0) | (a.dim ? kDim : 0) | (a.italic ? kItalic : 0) |
              (a.inverse ? kInverse : 0) | (a.hidden ? kHidden : 0) | (a.strikethrough ? kStrikethrough : 0) |
              (a.overline ? kOverline : 0) | (a.isProtected ? CellStyle::kProtectedBit : 0) |
              std::uint64_t(a.underline) << 8 | std::uint64_t(a.blink) << 16 |
              std::uint64_t(std::uint16_t(~a.ulColor)) << 24;
    s.underlineRgbAndLink = packRgb(a.ulRGB) | std::uint64_t(linkId) << 32;
    return s;
}

} // namespace

std::uint64_t CellStyleHash::operator()(const CellStyle& s) const noexcept {
    return mix(s.flags, s.underlineRgbAndLink);
}

std::uint64_t RareColorHash::operator()(const RareColor& c) const noexcept {
    return mix(std::uint64_t(c.index), c.rgb);
}

Renditions::Renditions() : styles_(kMaxCellStyleIds), rareColors_(CellColor::kMaxRareIds) {}

std::uint32_t Renditions::rareColorCode(std::int64_t index, const std::optional<RGB>& rgb,
                                        std::uint32_t defaultIndex) {
    bool inserted = false;
    const auto id = rareColors_.intern(RareColor{index, packRgb(rgb)}, inserted);
    updateCompactionDue();
    if (id) return CellColor::kFirstRareId + *id;
    // Every rare id is taken by a cell still kept (a hostile program on a huge screen): the colour is
    // kept as nearly as a cell can hold it.
    return rgb ? CellColor::kRgbFlag | std::uint32_t(packRgb(rgb) & 0xFFFFFF) : defaultIndex;
}

void Renditions::decodeColor(std::uint32_t code, std::uint32_t defaultIndex, std::int64_t& index,
                             std::optional<RGB>& rgb) const {
    if (code < CellColor::kFirstRareId) {
        index = code;
        rgb.reset();
    } else if (code & CellColor::kRgbFlag) {
        index = defaultIndex;
        rgb = unpackRgb(code);
    } else {
        const RareColor& rare = rareColors_.get(code - CellColor::kFirstRareId);
        index = rare.index;
        rgb = unpackRgb(rare.rgb);
    }
}

std::uint32_t Renditions::styleId(const CellStyle& style) {
    bool inserted = false;
    auto id = styles_.intern(style, inserted);
    if (!id && style.linkId() != 0) {
        // Every style id is taken by a cell still kept (a hostile program on a huge screen): the
        // rendition is kept without its link rather than lost.
        CellStyle unlinked = style;
        unlinked.underlineRgbAndLink &= 0xFFFFFFFFu;
        id = styles_.intern(unlinked, inserted);
    }
    updateCompactionDue();
    if (!id) return 0;
    if (inserted && style.isProtected()) ++protectedStyles_;
    return *id;
}

CellPattern Renditions::encode(const TextAttrs& attrs, std::uint32_t linkId) {
    Cell c;
    c.fg = colorCode(attrs.fg, attrs.fgRGB, CellColor::kDefaultFg);
    c.bg = colorCode(attrs.bg, attrs.bgRGB, CellColor::kDefaultBg);
    const CellStyle style = styleOf(attrs, linkId);
    c.setStyleId(style == CellStyle{} ? 0 : styleId(style));
    return CellPattern(c);
}

TextAttrs Renditions::decode(const Cell& cell) const {
    TextAttrs a;
    decodeColor(cell.fg, CellColor::kDefaultFg, a.fg, a.fgRGB);
    decodeColor(cell.bg, CellColor::kDefaultBg, a.bg, a.bgRGB);
    const std::uint32_t id = cell.styleId();
    if (id == 0) return a;
    const CellStyle& s = styles_.get(id);
    a.bold = s.flags & kBold;
    a.dim = s.flags & kDim;
    a.italic = s.flags & kItalic;
    a.inverse = s.flags & kInverse;
    a.hidden = s.flags & kHidden;
    a.strikethrough = s.flags & kStrikethrough;
    a.overline = s.flags & kOverline;
    a.isProtected = s.isProtected();
    a.underline = std::uint8_t(s.flags >> 8);
    a.blink = std::uint8_t(s.flags >> 16);
    a.ulColor = std::int16_t(~std::uint16_t(s.flags >> 24));
    a.ulRGB = unpackRgb(s.underlineRgbAndLink);
    return a;
}

void Renditions::LiveIds::markLive(std::span<const Cell> cells) {
    for (const Cell& c : cells) {
        styles_[c.styleId()] = true;
        if (CellColor::isRare(c.fg)) rareColors_[c.fg - CellColor::kFirstRareId] = true;
        if (CellColor::isRare(c.bg)) rareColors_[c.bg - CellColor::kFirstRareId] = true;
    }
}

Renditions::LiveIds Renditions::startCompaction() const {
    LiveIds live;
    live.styles_.assign(styles_.size(), false);
    live.rareColors_.assign(rareColors_.size(), false);
    return live;
}

std::uint32_t Renditions::compact(const LiveIds& live, std::uint32_t currentLinkId) {
    styles_.compact(live.styles_);
    rareColors_.compact(live.rareColors_);
    protectedStyles_ = 0;
    styles_.forEachValue([&](const CellStyle& s) { protectedStyles_ += s.isProtected(); });
    if (!links_.needsCompaction()) {
        updateCompactionDue();
        return currentLinkId;
    }

    // The links in use are those of the styles in use, and the current one.
    std::vector<bool> liveLinks(links_.size(), false);
    styles_.forEachValue([&](const CellStyle& s) { liveLinks[s.linkId()] = true; });
    if (currentLinkId < liveLinks.size()) liveLinks[currentLinkId] = true;
    const std::vector<std::uint32_t> linkMap = links_.compact(liveLinks);
    styles_.rewriteLive([&](CellStyle& s) {
        const std::uint32_t newId = linkMap[s.linkId()];
        s.underlineRgbAndLink = (s.underlineRgbAndLink & 0xFFFFFFFFu) | std::uint64_t(newId) << 32;
    });
    updateCompactionDue();
    return currentLinkId < linkMap.size() ? linkMap[currentLinkId] : 0;
}

std::size_t Renditions::memoryFootprint() const {
    return styles_.memoryFootprint() + rareColors_.memoryFootprint() + links_.memoryFootprint();
}
