#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The plain searches of the editor, free of any view.
namespace textsearch {

struct Range {
    int location = 0;
    int length = 0;
    bool operator==(const Range&) const = default;
};

// Every occurrence of `query` in `text`, literally and ignoring case, each search starting at the
// end of the previous match (so matches never overlap). Empty for an empty query.
std::vector<Range> findAll(const QString& text, const QString& query);

// The partner of the bracket at the caret or, failing that, the one before it: both positions, or
// none. Scans at most `limit` characters each way, without regard to strings or comments.
inline constexpr int kBracketScanLimit = 10000;
std::optional<std::pair<int, int>> matchBracket(const std::function<QChar(int)>& charAt, int length,
                                                int caret, int limit = kBracketScanLimit);

} // namespace textsearch
