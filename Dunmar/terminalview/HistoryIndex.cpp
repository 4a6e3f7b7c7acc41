#include "terminalview/HistoryIndex.h"

#include <algorithm>
#include <climits>
#include <numeric>

HistoryIndex::HistoryIndex(QStringList newestFirst) : entries_(std::move(newestFirst)) {
    if (std::size_t(entries_.size()) > kMaxEntries) entries_.resize(qsizetype(kMaxEntries));
    const std::size_t n = size();
    sorted_.resize(n);
    std::iota(sorted_.begin(), sorted_.end(), 0);
    std::sort(sorted_.begin(), sorted_.end(), [this](int a, int b) { return entries_[a] < entries_[b]; });
    minTree_.assign(2 * n, INT_MAX);
    for (std::size_t i = 0; i < n; ++i) minTree_[n + i] = sorted_[i];
    for (std::size_t i = n; i-- > 1;) minTree_[i] = std::min(minTree_[2 * i], minTree_[2 * i + 1]);
}

std::pair<std::size_t, std::size_t> HistoryIndex::prefixRun(const QString& prefix) const {
    const auto lessThanPrefix = [this, &prefix](int index) { return entries_[index] < prefix; };
    auto first = std::partition_point(sorted_.begin(), sorted_.end(), lessThanPrefix);
    // The lines are distinct and the prefix itself sorts before every longer line that starts
    // with it, so an equal line can only be the first of the run.
    if (first != sorted_.end() && entries_[*first] == prefix) ++first;
    const auto last = std::partition_point(
        first, sorted_.end(), [this, &prefix](int index) { return entries_[index].startsWith(prefix); });
    return {std::size_t(first - sorted_.begin()), std::size_t(last - sorted_.begin())};
}

int HistoryIndex::newestIn(std::size_t first, std::size_t last) const {
    const std::size_t n = size();
    int best = INT_MAX;
    for (std::size_t lo = first + n, hi = last + n; lo < hi; lo /= 2, hi /= 2) {
        if (lo & 1) best = std::min(best, minTree_[lo++]);
        if (hi & 1) best = std::min(best, minTree_[--hi]);
    }
    return best;
}

std::optional<QString> HistoryIndex::bestMatch(const QString& prefix) const {
    if (prefix.isEmpty() || entries_.isEmpty()) return std::nullopt;
    const auto [first, last] = prefixRun(prefix);
    if (first >= last) return std::nullopt;
    return entries_[newestIn(first, last)];
}

QStringList HistoryIndex::matches(const QString& prefix) const {
    if (prefix.isEmpty() || entries_.isEmpty()) return {};
    const auto [first, last] = prefixRun(prefix);
    std::vector<int> found(sorted_.begin() + qsizetype(first), sorted_.begin() + qsizetype(last));
    std::sort(found.begin(), found.end());
    QStringList result;
    result.reserve(qsizetype(found.size()));
    for (int index : found) result.append(entries_[index]);
    return result;
}
