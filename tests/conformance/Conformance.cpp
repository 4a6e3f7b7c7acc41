#include "conformance/Conformance.h"

#include "conformance/Oracles.h"
#include "conformance/TextUtil.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#ifndef CONFORMANCE_PANE_FEEDER
#error "CONFORMANCE_PANE_FEEDER must name the pane feeder executable"
#endif

namespace conformance {

namespace {

bool labelMatches(const char* pattern, const std::string& label) {
    const std::size_t n = std::strlen(pattern);
    if (n > 0 && pattern[n - 1] == '*') return label.compare(0, n - 1, pattern, n - 1) == 0;
    return label == pattern;
}

bool oracleMatches(const char* entry, const char* oracle) {
    return std::strcmp(entry, "both") == 0 || std::strcmp(entry, oracle) == 0;
}

// Rows where two screens differ (both padded to the same height).
std::vector<std::size_t> differingRows(const ScreenText& a, const ScreenText& b) {
    std::vector<std::size_t> rows;
    const std::size_t n = std::max(a.size(), b.size());
    for (std::size_t y = 0; y < n; ++y) {
        const std::string left = y < a.size() ? a[y] : std::string();
        const std::string right = y < b.size() ? b[y] : std::string();
        if (left != right) rows.push_back(y);
    }
    return rows;
}

std::string rowOf(const ScreenText& s, std::size_t y) {
    return y < s.size() ? s[y] : std::string();
}

std::string describeDifference(const Recording& recording, const Snapshot& snapshot, const char* oracle,
                               const std::vector<std::size_t>& rows, const ScreenText& ours,
                               const ScreenText& vterm, const ScreenText& tmux) {
    const std::size_t first = rows.front();
    std::string s =
        "case " + recording.caseName + ", snapshot \"" + snapshot.label + "\": our screen differs from " +
        oracle + " in " + std::to_string(rows.size()) + " line(s), first at " +
        (first < std::size_t(recording.rows) ? "row " + std::to_string(first) : std::string("the cursor")) +
        ":\n";
    s += "  ours     |" + rowOf(ours, first) + "|\n";
    s += "  libvterm |" + rowOf(vterm, first) + "|\n";
    s += "  tmux     |" + rowOf(tmux, first) + "|\n";
    s += "whole screens (ours / libvterm / tmux):\n";
    for (std::size_t y = 0; y < ours.size(); ++y) {
        const bool marked = std::find(rows.begin(), rows.end(), y) != rows.end();
        s += (marked ? "* " : "  ") + std::string(y < 10 ? " " : "") + std::to_string(y) + " |" +
             rowOf(ours, y) + "|\n";
        if (marked) {
            s += "     v|" + rowOf(vterm, y) + "|\n";
            s += "     t|" + rowOf(tmux, y) + "|\n";
        }
    }
    const std::size_t from = snapshot.offset > 300 ? snapshot.offset - 300 : 0;
    s += "stream before the snapshot: " +
         visible(std::string_view(recording.bytes).substr(from, snapshot.offset - from)) + "\n";
    return s;
}

// With CONFORMANCE_SAVE_DIR set, each case's stream and its snapshot offsets are kept there, to
// replay a difference by hand in another terminal.
void saveRecordingIfAsked(const Recording& recording) {
    const char* dir = std::getenv("CONFORMANCE_SAVE_DIR");
    if (!dir || !*dir) return;
    const std::string base = std::string(dir) + "/" + recording.caseName;
    std::ofstream(base + ".stream", std::ios::binary)
        .write(recording.bytes.data(), std::streamsize(recording.bytes.size()));
    std::ofstream offsets(base + ".snapshots");
    for (const Snapshot& snapshot : recording.snapshots)
        offsets << snapshot.offset << ' ' << snapshot.label << '\n';
}

} // namespace

std::vector<std::string> conformanceProblems(const Recording& recording) {
    saveRecordingIfAsked(recording);
    std::vector<std::string> problems;
    std::vector<ScreenText> vterm;
    std::vector<ScreenText> tmux;
    try {
        vterm = replayInLibvterm(recording);
        tmux = replayInTmux(recording, CONFORMANCE_PANE_FEEDER);
    } catch (const std::exception& e) {
        problems.push_back("case " + recording.caseName + ": " + e.what());
        return problems;
    }

    // With CONFORMANCE_SHOW set, every snapshot's screen is printed, to see what was compared.
    const bool show = std::getenv("CONFORMANCE_SHOW") != nullptr;
    // Per entry, the terminals it was needed for: bit 0 libvterm, bit 1 tmux. A "both" entry must
    // be needed for the two in one and the same snapshot.
    std::vector<unsigned> entryUsed(allowedDifferences().size(), 0);
    std::vector<unsigned> entryUsedHere(allowedDifferences().size(), 0);
    for (std::size_t i = 0; i < recording.snapshots.size(); ++i) {
        const Snapshot& snapshot = recording.snapshots[i];
        ScreenText ours;
        for (const std::string& row : snapshot.ours) ours.push_back(composed(row));
        if (show) {
            std::printf("---- %s, snapshot \"%s\" at byte %zu\n", recording.caseName.c_str(),
                        snapshot.label.c_str(), snapshot.offset);
            for (const std::string& row : ours) std::printf("|%s\n", row.c_str());
        }
        const std::pair<const char*, const ScreenText*> oracles[] = {{"libvterm", &vterm[i]},
                                                                     {"tmux", &tmux[i]}};
        std::fill(entryUsedHere.begin(), entryUsedHere.end(), 0);
        for (unsigned bit = 0; bit < 2; ++bit) {
            const auto& [name, screen] = oracles[bit];
            const std::vector<std::size_t> rows = differingRows(ours, *screen);
            if (rows.empty()) continue;
            bool allowed = false;
            for (std::size_t e = 0; e < allowedDifferences().size(); ++e) {
                const AllowedDifference& entry = allowedDifferences()[e];
                if (recording.caseName == entry.caseName && labelMatches(entry.snapshot, snapshot.label) &&
                    oracleMatches(entry.oracle, name)) {
                    entryUsedHere[e] |= 1u << bit;
                    allowed = true;
                }
            }
            if (!allowed) {
                problems.push_back(
                    describeDifference(recording, snapshot, name, rows, ours, vterm[i], tmux[i]));
            }
        }
        for (std::size_t e = 0; e < entryUsed.size(); ++e) {
            const bool both = std::strcmp(allowedDifferences()[e].oracle, "both") == 0;
            if (!both || entryUsedHere[e] == 3) entryUsed[e] |= entryUsedHere[e];
        }
    }
    for (std::size_t e = 0; e < allowedDifferences().size(); ++e) {
        const AllowedDifference& entry = allowedDifferences()[e];
        if (recording.caseName == entry.caseName && entryUsed[e] == 0) {
            problems.push_back("case " + recording.caseName + ": the allowed difference for snapshot \"" +
                               entry.snapshot + "\" against " + entry.oracle +
                               " no longer occurs; correct the table (" + entry.reason + ")");
        }
    }
    return problems;
}

} // namespace conformance
