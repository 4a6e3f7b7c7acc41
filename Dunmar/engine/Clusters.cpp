#include "engine/Clusters.h"

#include "engine/Compose.h"

#include <string>

static_assert(kFirstClusterCode + ClusterTable::kMaxIds <= (1u << 21), "cluster codes must fit a cell");

std::uint64_t ClusterHash::operator()(const Cluster& c) const noexcept {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (char32_t s : c.scalars) {
        if (s == 0) break;
        h = (h ^ s) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 29;
    }
    return h;
}

ClusterTable::ClusterTable() : clusters_(kMaxIds) {}

char32_t ClusterTable::append(char32_t code, char32_t mark) {
    if (!isClusterCode(code)) {
        // The common case, an accented letter, composes to one scalar through a cache.
        const ComposedMark composed = composeWithMark(code, mark);
        if (composed.whole) return composed.first;
        RecentPair& recent = recentPairs_[(code * 31 + mark) & (recentPairs_.size() - 1)];
        if (recent.base == code && recent.mark == mark) return recent.code;
        const char32_t pair[2] = {code, mark};
        // Unchanged base: the pair is its own composition. Otherwise part of the mark went into
        // the base (é + U+0323 is U+1EB9 U+0301), and the cluster holds the composition.
        const char32_t result = composed.first == code
                                    ? codeOf(std::u32string_view(pair, 2), code)
                                    : codeOf(normalizeNfc(std::u32string_view(pair, 2)), code);
        if (result != code) recent = {code, mark, result};
        return result;
    }
    const std::u32string_view current = clusters_.get(code - kFirstClusterCode).text();
    if (current.size() >= Cluster::kMaxScalars) return code;
    std::u32string text(current);
    text.push_back(mark);
    // A later mark may compose with the base where an earlier one did not (canonical order puts
    // marks below before marks above), so the whole cluster is normalised again.
    const std::u32string normalised = normalizeNfc(text);
    if (normalised.size() == 1) return normalised[0];
    return codeOf(normalised, code);
}

char32_t ClusterTable::codeOf(std::u32string_view scalars, char32_t fallback) {
    if (scalars.empty() || scalars.size() > Cluster::kMaxScalars) return fallback;
    Cluster cluster;
    std::copy(scalars.begin(), scalars.end(), cluster.scalars.begin());
    bool inserted = false;
    const std::optional<std::uint32_t> id = clusters_.intern(cluster, inserted);
    if (!id) return fallback;
    return kFirstClusterCode + *id;
}

void ClusterTable::markLive(std::span<const Cell> cells) {
    for (const Cell& c : cells) {
        if (isClusterCode(c.ch)) {
            const std::size_t id = c.ch - kFirstClusterCode;
            if (id < live_.size()) live_[id] = true;
        }
    }
}

void ClusterTable::compact() {
    clusters_.compact(live_);
    recentPairs_.fill({});
    live_.clear();
    live_.shrink_to_fit();
}
