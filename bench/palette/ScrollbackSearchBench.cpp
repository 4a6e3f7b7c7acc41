// The scrollback search over a full scrollback (10,000 lines) and screen at 200 columns: the time
// per search for a query that is rare, one that is frequent, and one that matches nowhere.
#include "engine/Terminal.h"
#include "palette/ScrollbackSearch.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kCols = 200;
constexpr int kRows = 50;
constexpr int kLines = 10000 + kRows;
constexpr int kRuns = 20;

// Lines of mixed text as a build log prints them; every hundredth mentions the rare word.
std::string output() {
    std::string s;
    for (int i = 0; i < kLines; ++i) {
        std::string line = "[" + std::to_string(i) + "] compiling src/module_" + std::to_string(i % 97) +
                           ".cpp -O2 -Wall -Wextra -I include -o build/obj/file.o";
        if (i % 100 == 0) line += " warning: Needle unused";
        while (int(line.size()) < kCols - 1) line += " lorem ipsum dolor";
        line.resize(kCols - 1);
        s += line + "\r\n";
    }
    return s;
}

void measure(const Terminal& term, const char* query) {
    std::vector<double> ms;
    std::vector<SearchHighlight> found;
    // As typing repeats a search: the list keeps its storage from one search to the next.
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        findScrollbackMatches(term, QString::fromLatin1(query), found);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-10s %8zu matches   median %7.2f ms   best %7.2f ms   (target < 20 ms)\n", query,
                found.size(), ms[ms.size() / 2], ms.front());
}

} // namespace

int main() {
    Terminal term(kCols, kRows);
    const std::string bytes = output();
    term.process(std::string_view(bytes));
    std::printf("scrollback %zu lines, %d columns\n", term.scrollback().size(), kCols);
    measure(term, "needle");
    measure(term, "o");
    measure(term, "absent-word");
    return 0;
}
