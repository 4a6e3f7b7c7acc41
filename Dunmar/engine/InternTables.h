#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Cells name the parts of their rendition that do not fit in them by id. Each Terminal interns the
// distinct values it has written, so equal values share one id (id equality is value equality).
// Hostile output can mint a new value per cell (an underline colour or a link per character); when
// a table grows past its limit the Terminal drops the ids that no cell uses any more (compact()),
// so a table never outgrows the cells that refer to it by more than a fixed margin.

// Below this many entries a table is never compacted: ordinary output uses a few dozen values, and
// compaction walks every cell of the grid and the scrollback.
constexpr std::size_t kMinCompactionLimit = 16384;

// Values by id, ids handed out once per distinct value and kept while the value lives. `Value`
// is a small plain value with ==; `Hash` gives it 64 well-mixed bits. Id 0 is Value{} for good.
template <class Value, class Hash> class StableInternTable {
public:
    explicit StableInternTable(std::uint32_t maxIds)
        : maxIds_(maxIds), limit_(std::min<std::size_t>(kMinCompactionLimit, maxIds)) {
        entries_.emplace_back();
        rebuildIndex(64);
    }

    // The id of a value; nothing when every id below maxIds is taken by a value still in use.
    // `inserted` tells whether the value is new.
    std::optional<std::uint32_t> intern(const Value& value, bool& inserted) {
        inserted = false;
        // Programs switch back and forth between a few values; the last one found answers most
        // lookups without hashing.
        if (entries_[lastFound_] == value) return lastFound_;
        const std::uint64_t hash = Hash()(value);
        const std::size_t mask = slots_.size() - 1;
        const std::uint32_t tag = std::uint32_t(hash);
        for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
            const std::uint64_t slot = slots_[i];
            if (slot == kEmptySlot) break;
            if (slotHash(slot) == tag && entries_[slotId(slot)] == value) return lastFound_ = slotId(slot);
        }
        std::uint32_t id;
        if (!freeIds_.empty()) {
            id = freeIds_.back();
            freeIds_.pop_back();
            entries_[id] = value;
        } else if (entries_.size() < maxIds_) {
            id = std::uint32_t(entries_.size());
            entries_.push_back(value);
        } else {
            ++refused_;
            return std::nullopt;
        }
        inserted = true;
        if (inUse() * 2 > slots_.size()) rebuildIndex(slots_.size() * 2);
        insertIndex(makeSlot(id, hash));
        return lastFound_ = id;
    }
    const Value& get(std::uint32_t id) const { return id < entries_.size() ? entries_[id] : entries_[0]; }
    // One past the largest id handed out.
    std::size_t size() const { return entries_.size(); }
    bool needsCompaction() const { return inUse() >= limit_ || refused_ >= kRefusalsBeforeCompaction; }

    // Drops the values whose ids are not marked in `live` (indexed by id; id 0 is always kept).
    // The ids of the values kept do not change, so no cell has to be rewritten; the ids dropped
    // are handed out again to new values.
    void compact(const std::vector<bool>& live) {
        auto isLive = [&](std::uint32_t id) { return id == 0 || (id < live.size() && live[id]); };
        std::vector<std::uint64_t> old = std::move(slots_);
        freeIds_.clear();
        std::size_t kept = 0;
        for (std::uint64_t slot : old) {
            if (slot != kEmptySlot && isLive(slotId(slot))) ++kept;
        }
        std::size_t want = 64;
        while (want < kept * 2 + 2) want *= 2;
        slots_.assign(want, kEmptySlot);
        for (std::uint64_t slot : old) {
            if (slot != kEmptySlot && isLive(slotId(slot))) insertIndex(slot);
        }
        for (std::uint32_t id = std::uint32_t(entries_.size()); id-- > 1;) {
            if (!isLive(id)) {
                entries_[id] = Value{}; // so that walks over the live values see a harmless one
                freeIds_.push_back(id);
            }
        }
        lastFound_ = 0;
        refused_ = 0;
        // After a compaction the next one waits until the table has grown by as much again, so
        // the cost of walking the cells is paid at most once per that many new values.
        limit_ = std::min<std::size_t>(std::max(kMinCompactionLimit, kept * 2), maxIds_);
    }

    // Rewrites the live values in place (f(Value&)); f must keep distinct values distinct.
    template <class F> void rewriteLive(F&& f) {
        std::vector<bool> live(entries_.size(), true);
        for (std::uint32_t id : freeIds_) live[id] = false;
        for (std::size_t id = 1; id < entries_.size(); ++id) {
            if (live[id]) f(entries_[id]);
        }
        std::vector<std::uint64_t> old = std::move(slots_);
        slots_.assign(old.size(), kEmptySlot);
        for (std::uint64_t slot : old) {
            if (slot != kEmptySlot) insertIndex(makeSlot(slotId(slot), Hash()(entries_[slotId(slot)])));
        }
        lastFound_ = 0;
    }
    // Calls f(value) for every value in use (freed ids hold Value{}).
    template <class F> void forEachValue(F&& f) const {
        for (const Value& v : entries_) f(v);
    }

    // Bytes held by the entries and the index (capacities; allocator overhead excluded).
    std::size_t memoryFootprint() const {
        return entries_.capacity() * sizeof(Value) + freeIds_.capacity() * sizeof(std::uint32_t) +
               slots_.capacity() * sizeof(std::uint64_t);
    }

private:
    // New values refused for want of ids: after this many the table is compacted again in case
    // the values that took them have scrolled away meanwhile.
    static constexpr std::size_t kRefusalsBeforeCompaction = 1024;
    static constexpr std::uint64_t kEmptySlot = ~std::uint64_t(0);
    static std::uint64_t makeSlot(std::uint32_t id, std::uint64_t hash) {
        return std::uint64_t(std::uint32_t(hash)) << 32 | id;
    }
    static std::uint32_t slotId(std::uint64_t slot) { return std::uint32_t(slot); }
    static std::uint32_t slotHash(std::uint64_t slot) { return std::uint32_t(slot >> 32); }
    std::size_t inUse() const { return entries_.size() - freeIds_.size(); }

    // Rebuilds the index at `slotCount` slots (a power of two) from the slots alone.
    void rebuildIndex(std::size_t slotCount) {
        std::vector<std::uint64_t> old = std::move(slots_);
        slots_.assign(slotCount, kEmptySlot);
        if (old.empty()) {
            insertIndex(makeSlot(0, Hash()(entries_[0])));
            return;
        }
        for (std::uint64_t slot : old) {
            if (slot != kEmptySlot) insertIndex(slot);
        }
    }
    void insertIndex(std::uint64_t slot) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = slotHash(slot) & mask;
        while (slots_[i] != kEmptySlot) i = (i + 1) & mask;
        slots_[i] = slot;
    }

    std::vector<Value> entries_;
    std::vector<std::uint32_t> freeIds_; // dropped ids, reused before the table grows
    // Open addressing: each slot holds an id (low half) and the low 32 bits of its value's hash
    // (high half), so a probe rejects other values and the index is rebuilt without reading the
    // entries, which may be many megabytes scattered in memory.
    std::vector<std::uint64_t> slots_;
    std::uint32_t maxIds_;
    std::size_t limit_;
    std::size_t refused_ = 0;
    std::uint32_t lastFound_ = 0; // the id the last intern() returned
};

class HyperlinkTable {
public:
    HyperlinkTable();

    // The id of a URI, at least 1; 0 (no hyperlink) for an empty or over-long URI, or when the
    // links still shown already hold the most text a terminal keeps for them.
    std::uint32_t intern(std::string_view uri);
    // The URI of an id; empty for 0 or an unknown id.
    std::string_view get(std::uint32_t id) const;
    std::size_t size() const { return uris_.size(); }
    bool needsCompaction() const {
        return uris_.size() >= limit_ || bytes_ >= byteLimit_ || refused_ >= kRefusalsBeforeCompaction;
    }
    std::vector<std::uint32_t> compact(const std::vector<bool>& live);
    // Bytes held by the URIs and the index, estimated for the hash map's nodes.
    std::size_t memoryFootprint() const;

    // URIs longer than this are not made into links: they are far beyond any real address and
    // every cell written under the link would keep them alive.
    static constexpr std::size_t kMaxUriBytes = 8192;

private:
    std::vector<std::string> uris_; // entry 0 is the empty "no link"
    std::unordered_map<std::string, std::uint32_t> index_;
    std::size_t bytes_ = 0;
    // Links refused for lack of room: after this many the table is compacted again in case the
    // old links have scrolled away meanwhile (rarely enough that the walk over the cells is cheap).
    static constexpr std::size_t kRefusalsBeforeCompaction = 1024;
    std::size_t refused_ = 0;
    std::size_t limit_;
    std::size_t byteLimit_;
};
