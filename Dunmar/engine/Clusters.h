#pragma once

#include "engine/Cell.h"
#include "engine/InternTables.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// A character with the marks that follow it and do not compose with it (x + U+0332, a letter with
// two accents of which only one has a precomposed form, an emoji with its variation selector or
// keycap), held in one cell. Cells name a cluster by a character code above the last scalar, so a
// cell stays 12 bytes and plain text never touches the table.
struct Cluster {
    // Base and marks; the unused tail is 0. Marks beyond this many are dropped: no script needs
    // more on one character, and the bound keeps a stream of marks from growing a cell.
    static constexpr std::size_t kMaxScalars = 8;
    std::array<char32_t, kMaxScalars> scalars{};

    std::u32string_view text() const {
        std::size_t n = 0;
        while (n < kMaxScalars && scalars[n] != 0) ++n;
        return {scalars.data(), n};
    }
    friend bool operator==(const Cluster&, const Cluster&) = default;
};
struct ClusterHash {
    std::uint64_t operator()(const Cluster& c) const noexcept;
};

// Cell character codes from here on name a cluster (kFirstClusterCode + id); below it they are
// the scalar itself.
constexpr char32_t kFirstClusterCode = 0x110000;
inline bool isClusterCode(char32_t code) {
    return code >= kFirstClusterCode;
}

// The clusters a terminal's cells name, interned: equal clusters share one code. Like the tables
// of renditions, it drops the clusters no cell names any more once it has grown (compact()).
class ClusterTable {
public:
    ClusterTable();

    // The code of the character `code` followed by `mark`: the precomposed scalar where the two
    // compose canonically (e + U+0301 is U+00E9), else a cluster of both. When the cluster would be
    // longer than Cluster::kMaxScalars, or no id is free, `code` comes back unchanged.
    char32_t append(char32_t code, char32_t mark);

    // The scalars a code stands for: the cluster's, or the one scalar (held in `one`).
    std::u32string_view text(char32_t code, char32_t& one) const {
        if (isClusterCode(code)) return clusters_.get(code - kFirstClusterCode).text();
        one = code;
        return {&one, 1};
    }
    // The first scalar: the base of a cluster, the code itself otherwise.
    char32_t base(char32_t code) const {
        return isClusterCode(code) ? clusters_.get(code - kFirstClusterCode).scalars[0] : code;
    }

    bool needsCompaction() const { return clusters_.needsCompaction(); }
    // Compaction: markLive() on every row kept, then compact(). Codes in use do not change.
    void startCompaction() { live_.assign(clusters_.size(), false); }
    void markLive(std::span<const Cell> cells);
    void compact();

    std::size_t size() const { return clusters_.size(); }
    std::size_t memoryFootprint() const { return clusters_.memoryFootprint(); }

    // Ids handed out at most. A cluster costs 32 bytes beside the cell that names it; beyond this
    // many live clusters further marks are dropped rather than the table growing without end.
    static constexpr std::uint32_t kMaxIds = 1u << 18;

private:
    char32_t codeOf(std::u32string_view scalars, char32_t fallback);

    StableInternTable<Cluster, ClusterHash> clusters_;
    std::vector<bool> live_;
    // The codes of recent pairs of a character and one mark that do not compose: text in a script
    // that writes its marks apart repeats the same few, and a lookup here skips hashing the cluster.
    // Emptied when the table is compacted, which may hand a dropped code to another cluster.
    struct RecentPair {
        char32_t base = 0;
        char32_t mark = 0; // 0: empty
        char32_t code = 0;
    };
    std::array<RecentPair, 256> recentPairs_{};
};
