#include "engine/InternTables.h"

#include <algorithm>

namespace {

// Below this many entries a table is never compacted: ordinary output uses a few dozen renditions
// and links, and compaction walks every cell of the grid and the scrollback.
constexpr std::size_t kMinCompactionLimit = 16384;

// Ids must fit the Cell's fields: the link id has 30 bits.
constexpr std::size_t kMaxLinkIds = (1u << 30) - 1;

// Text of all hyperlinks kept at once: compaction starts at the first figure; links beyond the
// second stay unlinked until output scrolls the old ones away.
constexpr std::size_t kMinLinkByteLimit = std::size_t(4) << 20;
constexpr std::size_t kMaxLinkBytes = std::size_t(64) << 20;

std::uint64_t packRGB(const std::optional<RGB>& c) {
    return c ? (1u << 24) | (std::uint64_t(c->r) << 16) | (std::uint64_t(c->g) << 8) | c->b : 0;
}

// After a compaction the next one waits until the table has grown by as much again, so the cost
// of walking the cells is paid at most once per that many new values.
std::size_t nextLimit(std::size_t liveCount) {
    return std::max(kMinCompactionLimit, liveCount * 2);
}

} // namespace

// Every field packed into two words and mixed by multiplication: this runs for every rendition a
// program switches to, so it has to be cheap as well as spread the colours over the table.
std::size_t TextAttrsHash::operator()(const TextAttrs& a) const noexcept {
    std::uint64_t flags =
        std::uint64_t(a.bold) | std::uint64_t(a.dim) << 1 | std::uint64_t(a.italic) << 2 |
        std::uint64_t(a.inverse) << 3 | std::uint64_t(a.hidden) << 4 | std::uint64_t(a.strikethrough) << 5 |
        std::uint64_t(a.overline) << 6 | std::uint64_t(a.isProtected) << 7 | std::uint64_t(a.underline) << 8 |
        std::uint64_t(a.blink) << 16 | std::uint64_t(std::uint16_t(a.ulColor)) << 24 | packRGB(a.ulRGB) << 39;
    std::uint64_t h = std::uint64_t(a.fg) * 0x9e3779b97f4a7c15ull;
    h ^= std::uint64_t(a.bg) * 0xc2b2ae3d27d4eb4full;
    h ^= (packRGB(a.fgRGB) | packRGB(a.bgRGB) << 25) * 0x165667b19e3779f9ull;
    h ^= flags * 0xd6e8feb86659fd93ull;
    h ^= h >> 32;
    h *= 0x9e3779b97f4a7c15ull;
    return std::size_t(h ^ (h >> 29));
}

AttrTable::AttrTable() : limit_(kMinCompactionLimit) {
    entries_.emplace_back();
    rebuildIndex(64);
}

namespace {

constexpr std::uint64_t kEmptySlot = ~std::uint64_t(0);

std::uint64_t makeSlot(std::uint32_t id, std::size_t hash) {
    return std::uint64_t(std::uint32_t(hash)) << 32 | id;
}

std::uint32_t slotId(std::uint64_t slot) {
    return std::uint32_t(slot);
}

std::uint32_t slotHash(std::uint64_t slot) {
    return std::uint32_t(slot >> 32);
}

} // namespace

// Rebuilds the index at `slotCount` slots (a power of two) from the slots alone.
void AttrTable::rebuildIndex(std::size_t slotCount) {
    std::vector<std::uint64_t> old = std::move(slots_);
    slots_.assign(slotCount, kEmptySlot);
    if (old.empty()) {
        insertIndex(makeSlot(0, TextAttrsHash()(entries_[0])));
        return;
    }
    for (std::uint64_t slot : old) {
        if (slot != kEmptySlot) insertIndex(slot);
    }
}

void AttrTable::insertIndex(std::uint64_t slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = slotHash(slot) & mask;
    while (slots_[i] != kEmptySlot) i = (i + 1) & mask;
    slots_[i] = slot;
}

std::uint32_t AttrTable::intern(const TextAttrs& attrs) {
    // Programs switch back and forth between a few renditions (a keyword colour and the plain
    // text); the last one found answers most lookups without hashing.
    if (entries_[lastFound_] == attrs) return lastFound_;
    const std::size_t hash = TextAttrsHash()(attrs);
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = std::uint32_t(hash);
    for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
        const std::uint64_t slot = slots_[i];
        if (slot == kEmptySlot) break;
        if (slotHash(slot) == tag && entries_[slotId(slot)] == attrs) return lastFound_ = slotId(slot);
    }
    std::uint32_t id;
    if (!freeIds_.empty()) {
        id = freeIds_.back();
        freeIds_.pop_back();
        entries_[id] = attrs;
    } else {
        id = std::uint32_t(entries_.size());
        entries_.push_back(attrs);
    }
    if (attrs.isProtected) ++protectedEntries_;
    if (inUse() * 2 > slots_.size()) rebuildIndex(slots_.size() * 2);
    insertIndex(makeSlot(id, hash));
    return lastFound_ = id;
}

void AttrTable::compact(const std::vector<bool>& live) {
    auto isLive = [&](std::uint32_t id) { return id == 0 || (id < live.size() && live[id]); };
    // Every id that is neither live nor already free is dropped from the index and freed.
    std::vector<std::uint64_t> old = std::move(slots_);
    freeIds_.clear();
    const bool anyProtected = protectedEntries_ > 0;
    protectedEntries_ = 0;
    std::size_t kept = 0;
    for (std::uint64_t slot : old) {
        if (slot != kEmptySlot && isLive(slotId(slot))) ++kept;
    }
    std::size_t want = 64;
    while (want < kept * 2 + 2) want *= 2;
    slots_.assign(want, kEmptySlot);
    for (std::uint64_t slot : old) {
        if (slot == kEmptySlot || !isLive(slotId(slot))) continue;
        insertIndex(slot);
        if (anyProtected && entries_[slotId(slot)].isProtected) ++protectedEntries_;
    }
    for (std::uint32_t id = std::uint32_t(entries_.size()); id-- > 1;) {
        if (!isLive(id)) freeIds_.push_back(id); // its entry is overwritten when the id is reused
    }
    lastFound_ = 0;
    limit_ = nextLimit(kept);
}

HyperlinkTable::HyperlinkTable() : limit_(kMinCompactionLimit), byteLimit_(kMinLinkByteLimit) {
    uris_.emplace_back();
}

std::uint32_t HyperlinkTable::intern(std::string_view uri) {
    if (uri.empty() || uri.size() > kMaxUriBytes) return 0;
    auto it = index_.find(std::string(uri));
    if (it != index_.end()) return it->second;
    if (uris_.size() >= kMaxLinkIds || bytes_ + uri.size() > kMaxLinkBytes) {
        ++refused_;
        return 0;
    }
    auto id = std::uint32_t(uris_.size());
    bytes_ += uri.size();
    uris_.emplace_back(uri);
    index_.emplace(uris_.back(), id);
    return id;
}

std::string_view HyperlinkTable::get(std::uint32_t id) const {
    return id < uris_.size() ? std::string_view(uris_[id]) : std::string_view();
}

std::vector<std::uint32_t> HyperlinkTable::compact(const std::vector<bool>& live) {
    std::vector<std::uint32_t> remap(uris_.size(), 0);
    std::vector<std::string> kept;
    kept.emplace_back();
    index_.clear();
    bytes_ = 0;
    for (std::size_t id = 1; id < uris_.size(); ++id) {
        if (id >= live.size() || !live[id]) continue;
        remap[id] = std::uint32_t(kept.size());
        bytes_ += uris_[id].size();
        kept.push_back(std::move(uris_[id]));
        index_.emplace(kept.back(), remap[id]);
    }
    uris_ = std::move(kept);
    limit_ = nextLimit(uris_.size());
    byteLimit_ = std::max(kMinLinkByteLimit, bytes_ * 2);
    refused_ = 0;
    return remap;
}

std::size_t AttrTable::memoryFootprint() const {
    return entries_.capacity() * sizeof(TextAttrs) + freeIds_.capacity() * sizeof(std::uint32_t) +
           slots_.capacity() * sizeof(std::uint64_t);
}

std::size_t HyperlinkTable::memoryFootprint() const {
    auto heapBytes = [](const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; };
    std::size_t bytes = uris_.capacity() * sizeof(std::string);
    for (const std::string& uri : uris_) bytes += heapBytes(uri);
    // One node per key (a pointer, the key string and the id) and one pointer per bucket.
    bytes += index_.bucket_count() * sizeof(void*);
    for (const auto& [uri, id] : index_) bytes += sizeof(void*) + sizeof(uri) + sizeof(id) + heapBytes(uri);
    return bytes;
}
