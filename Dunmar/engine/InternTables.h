#pragma once

#include "engine/TextAttrs.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Cells name their rendition and hyperlink by id. Each Terminal interns the distinct values it has
// written, so equal values share one id (id equality is value equality) and a cell stays 12 bytes.
// Hostile output can mint a new value per cell (true colours, one link per character); when a
// table grows past its limit the Terminal drops the ids that no cell uses any more (compact()),
// so a table never outgrows the cells that refer to it by more than a fixed margin.

class AttrTable {
public:
    AttrTable();

    // The id of a rendition; 0 for the default TextAttrs(). Equal values always get the same id.
    std::uint32_t intern(const TextAttrs& attrs);
    const TextAttrs& get(std::uint32_t id) const { return id < entries_.size() ? entries_[id] : entries_[0]; }
    // One past the largest id handed out.
    std::size_t size() const { return entries_.size(); }
    // True once any protected rendition was interned: erases skip the per-cell test otherwise.
    bool mayHaveProtected() const { return protectedEntries_ > 0; }
    bool isProtected(std::uint32_t id) const { return protectedEntries_ > 0 && get(id).isProtected; }
    bool needsCompaction() const { return entries_.size() - freeIds_.size() >= limit_; }

    // Drops the values whose ids are not marked in `live` (indexed by id; id 0 is always kept).
    // The ids of the values kept do not change, so no cell has to be rewritten; the ids dropped
    // are handed out again to new values.
    void compact(const std::vector<bool>& live);
    // Bytes held by the entries and the index (capacities; allocator overhead excluded).
    std::size_t memoryFootprint() const;

private:
    void rebuildIndex(std::size_t slotCount);
    void insertIndex(std::uint64_t slot);
    std::size_t inUse() const { return entries_.size() - freeIds_.size(); }

    std::vector<TextAttrs> entries_;
    std::vector<std::uint32_t> freeIds_; // dropped ids, reused before the table grows
    // Open addressing: each slot holds an id (low half) and the low 32 bits of its value's hash
    // (high half), so a probe rejects other values and the index is rebuilt without reading the
    // entries, which for a screen of true-colour pictures are many megabytes scattered in memory.
    std::vector<std::uint64_t> slots_;
    std::size_t protectedEntries_ = 0;
    std::size_t limit_;
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
