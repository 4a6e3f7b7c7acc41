// A suggestion is looked up on every typed key. With a history of HistoryIndex::kMaxEntries lines
// the lookup through the index is compared with walking the newest-first list until the first line
// that continues the typed text, which is what a plain list costs (worst when nothing matches).
#include "terminalview/HistoryIndex.h"

#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// Commands of the shape a real history has: few distinct first words, many distinct arguments.
QStringList history() {
    static const QStringList verbs = {"git status", "git commit -m",   "cd",  "ls -la",   "make -j8",
                                      "vim",        "docker run --rm", "ssh", "grep -rn", "python3"};
    QStringList lines;
    lines.reserve(qsizetype(HistoryIndex::kMaxEntries));
    for (std::size_t i = 0; i < HistoryIndex::kMaxEntries; ++i)
        lines.append(verbs[qsizetype(i % std::size_t(verbs.size()))] + QStringLiteral(" arg%1").arg(i));
    return lines;
}

const QStringList& lines() {
    static const QStringList all = history();
    return all;
}

const HistoryIndex& index() {
    static const HistoryIndex built(lines());
    return built;
}

const char* const kPrefixes[] = {"g", "git st", "vim arg4999", "zzz"};

void BM_IndexLookup(benchmark::State& state) {
    const QString prefix = QString::fromLatin1(kPrefixes[state.range(0)]);
    const HistoryIndex& history = index();
    for (auto _ : state) benchmark::DoNotOptimize(history.bestMatch(prefix));
    state.SetLabel(kPrefixes[state.range(0)]);
}
BENCHMARK(BM_IndexLookup)->DenseRange(0, 3);

void BM_ListScan(benchmark::State& state) {
    const QString prefix = QString::fromLatin1(kPrefixes[state.range(0)]);
    const QStringList& history = lines();
    for (auto _ : state) {
        std::optional<QString> found;
        for (const QString& line : history)
            if (line.startsWith(prefix) && line != prefix) {
                found = line;
                break;
            }
        benchmark::DoNotOptimize(found);
    }
    state.SetLabel(kPrefixes[state.range(0)]);
}
BENCHMARK(BM_ListScan)->DenseRange(0, 3);

void BM_IndexBuild(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(HistoryIndex(lines()));
}
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
