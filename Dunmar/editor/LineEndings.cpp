#include "editor/LineEndings.h"

#include <QHash>
#include <algorithm>
#include <optional>

namespace lineendings {
namespace {

// Edits beyond this many between old and new lines are not worth finding one by one: the lines of
// a change that large pair up in order instead.
constexpr int kMaxEditDistance = 1000;

quint64 fingerprint(QStringView line) {
    return quint64(qHash(line, 0x9e3779b97f4a7c15ULL));
}

std::vector<quint64> fingerprintsOf(const QString& text) {
    std::vector<quint64> out;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) break;
        out.push_back(fingerprint(QStringView(text).mid(start, end - start)));
        start = end + 1;
    }
    out.push_back(fingerprint(QStringView(text).mid(start)));
    return out;
}

// For each new line in [0, m), the old line in [0, n) it still is, or -1: a shortest edit script
// (Myers) between the two, none when they are more than `maxD` edits apart.
std::optional<std::vector<int>> matchLines(const quint64* a, int n, const quint64* b, int m, int maxD) {
    const int offset = maxD + 1;
    std::vector<int> v(2 * offset + 1, 0);
    // trace[d] keeps v[-d .. d] as it was before round d.
    std::vector<std::vector<int>> trace;
    int found = -1;
    for (int d = 0; d <= maxD && found < 0; ++d) {
        trace.emplace_back(v.begin() + offset - d, v.begin() + offset + d + 1);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                                   : v[offset + k - 1] + 1;
            int y = x - k;
            while (x < n && y < m && a[x] == b[y]) ++x, ++y;
            v[offset + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) return std::nullopt;
    std::vector<int> match(m, -1);
    int x = n, y = m;
    for (int d = found; d > 0; --d) {
        const std::vector<int>& before = trace[d]; // v[-d .. d] before round d
        auto at = [&before, d](int k) { return before[k + d]; };
        const int k = x - y;
        const int prevK = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? k + 1 : k - 1;
        const int prevX = at(prevK);
        const int prevY = prevX - prevK;
        while (x > prevX && y > prevY) match[--y] = --x;
        x = prevX;
        y = prevY;
    }
    while (x > 0 && y > 0) match[--y] = --x;
    return match;
}

QString spelled(Break b) {
    switch (b) {
    case Break::crlf:
        return QStringLiteral("\r\n");
    case Break::cr:
        return QStringLiteral("\r");
    case Break::lf:
        break;
    }
    return QStringLiteral("\n");
}

} // namespace

std::shared_ptr<const Lines> mixedBreaksOf(QStringView text) {
    auto lines = std::make_shared<Lines>();
    bool kinds[3] = {false, false, false};
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r') continue;
        Break b = Break::lf;
        const qsizetype lineEnd = i;
        if (text[i] == u'\r') {
            b = i + 1 < text.size() && text[i + 1] == u'\n' ? Break::crlf : Break::cr;
            if (b == Break::crlf) ++i;
        }
        kinds[int(b)] = true;
        lines->fingerprints.push_back(fingerprint(text.mid(start, lineEnd - start)));
        lines->breaks.push_back(b);
        start = i + 1;
    }
    if (int(kinds[0]) + int(kinds[1]) + int(kinds[2]) < 2) return nullptr;
    lines->fingerprints.push_back(fingerprint(text.mid(start)));
    return lines;
}

QString spell(const QString& text, const Lines& old, Break fallback, std::shared_ptr<const Lines>* written) {
    const std::vector<quint64> now = fingerprintsOf(text);
    const int n = int(old.fingerprints.size());
    const int m = int(now.size());

    // Lines alike at the start and the end need no search; the edits lie between them.
    int prefix = 0;
    while (prefix < n && prefix < m && old.fingerprints[prefix] == now[prefix]) ++prefix;
    int suffix = 0;
    while (suffix < n - prefix && suffix < m - prefix &&
           old.fingerprints[n - 1 - suffix] == now[m - 1 - suffix])
        ++suffix;
    std::vector<int> match(m, -1);
    for (int i = 0; i < prefix; ++i) match[i] = i;
    for (int i = 0; i < suffix; ++i) match[m - 1 - i] = n - 1 - i;
    const int oldMid = n - prefix - suffix, newMid = m - prefix - suffix;
    if (newMid > 0 && oldMid > 0) {
        if (const std::optional<std::vector<int>> inner =
                matchLines(old.fingerprints.data() + prefix, oldMid, now.data() + prefix, newMid,
                           std::min(kMaxEditDistance, oldMid + newMid))) {
            for (int j = 0; j < newMid; ++j)
                if ((*inner)[j] >= 0) match[prefix + j] = prefix + (*inner)[j];
        }
    }

    // The break of old line `i`, where it had one.
    auto breakOf = [&old](int i) -> std::optional<Break> {
        if (i >= 0 && i < int(old.breaks.size())) return old.breaks[i];
        return std::nullopt;
    };
    auto lines = std::make_shared<Lines>();
    lines->fingerprints = now;
    lines->breaks.reserve(m > 0 ? m - 1 : 0);
    // The old line of the next kept line after each new line (n after the last one).
    std::vector<int> nextKept(m, n);
    for (int j = m - 2; j >= 0; --j) nextKept[j] = match[j + 1] >= 0 ? match[j + 1] : nextKept[j + 1];
    // Between two kept lines, the k-th changed line stands where the k-th old line of that gap stood.
    int lastOld = -1;  // the old line of the last kept line
    int sinceKept = 0; // changed lines since it
    std::optional<Break> above;
    for (int j = 0; j + 1 < m; ++j) {
        std::optional<Break> b;
        if (match[j] >= 0) {
            lastOld = match[j];
            sinceKept = 0;
            b = breakOf(match[j]);
        } else {
            // Only an old line of this gap counts: the next kept line's own break is not this one's.
            const int stood = lastOld + 1 + sinceKept++;
            if (stood < nextKept[j]) b = breakOf(stood);
        }
        if (!b) b = above;
        if (!b) b = fallback;
        lines->breaks.push_back(*b);
        above = b;
    }

    QString out;
    out.reserve(text.size() + text.size() / 16);
    qsizetype start = 0;
    for (const Break b : lines->breaks) {
        const qsizetype end = text.indexOf(u'\n', start);
        out += QStringView(text).mid(start, end - start);
        out += spelled(b);
        start = end + 1;
    }
    out += QStringView(text).mid(start);
    if (written) *written = std::move(lines);
    return out;
}

} // namespace lineendings
