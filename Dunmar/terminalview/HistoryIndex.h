#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <optional>
#include <vector>

// The shell history lines that suggestions are taken from, newest first, each line once, with an
// index that finds the newest line starting with a typed prefix without walking the whole list: the
// lines are kept sorted as well, so the lines with a prefix form one run of the sorted order, and a
// minimum tree over that order gives the newest line of any run in logarithmic time. Immutable once
// built; built off the main thread.
class HistoryIndex {
public:
    // The newest lines kept. A history longer than this contributes its newest lines only; a
    // suggestion from older ones is rarely what the user is after, and every kept line costs memory
    // in every pane.
    static constexpr std::size_t kMaxEntries = 50000;

    HistoryIndex() = default;
    // `newestFirst` holds distinct lines, newest first; lines past kMaxEntries are dropped.
    explicit HistoryIndex(QStringList newestFirst);

    const QStringList& entries() const { return entries_; }
    std::size_t size() const { return std::size_t(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }

    // The newest line that begins with `prefix` and is not equal to it; nothing for an empty prefix.
    std::optional<QString> bestMatch(const QString& prefix) const;
    // Every line that begins with `prefix` and is not equal to it, newest first.
    QStringList matches(const QString& prefix) const;

private:
    // The run [first, last) of the sorted order whose lines begin with `prefix`, without the line
    // equal to it.
    std::pair<std::size_t, std::size_t> prefixRun(const QString& prefix) const;
    // The smallest entry index (the newest line) among sorted positions [first, last).
    int newestIn(std::size_t first, std::size_t last) const;

    QStringList entries_;
    std::vector<int> sorted_;  // entry indexes in string order
    std::vector<int> minTree_; // 2n nodes over sorted_, leaves at n ... 2n - 1
};
