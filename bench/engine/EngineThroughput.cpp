// Throughput of the engine against libvterm on the same bytes, in the same process: each workload
// goes through a 200 x 50 terminal in 32768-byte pieces, as the view feeds shell output.
// Prints Google Benchmark's own lines, then one table of MB/s (10^6 bytes per second) for both
// emulators and their ratio; with --benchmark_repetitions the table takes the best repetition.
#include "Workloads.h"
#include "engine/Terminal.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vterm.h>

using namespace benchwork;

namespace {

void feedDunmar(Terminal& terminal, const std::string& bytes) {
    for (std::size_t off = 0; off < bytes.size(); off += kPieceBytes) {
        terminal.process(std::string_view(bytes).substr(off, kPieceBytes));
    }
}

void feedVterm(VTerm* vt, const std::string& bytes) {
    for (std::size_t off = 0; off < bytes.size(); off += kPieceBytes) {
        vterm_input_write(vt, bytes.data() + off, std::min(kPieceBytes, bytes.size() - off));
    }
}

// Both emulators are measured in the state of a terminal that has been in use for a while: one
// untimed pass of the workload first, which fills the engine's scrollback (allocating its 10,000
// rows, a cost paid once per terminal), then timed passes over the same terminal.
void runDunmar(benchmark::State& state, const std::string* bytes) {
    auto terminal = std::make_unique<Terminal>(kCols, kRows);
    feedDunmar(*terminal, *bytes);
    for (auto _ : state) {
        feedDunmar(*terminal, *bytes);
        benchmark::DoNotOptimize(terminal->cursorX());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes->size()));
}

// libvterm with its screen layer, UTF-8 on and the alternate screen allowed. It keeps no
// scrollback of its own (lines that leave the top are offered to a callback, set by nobody here),
// so it does a little less work than the engine, whose scrollback holds 10,000 lines.
void runVterm(benchmark::State& state, const std::string* bytes) {
    VTerm* vt = vterm_new(kRows, kCols);
    vterm_set_utf8(vt, 1);
    VTermScreen* screen = vterm_obtain_screen(vt);
    vterm_screen_enable_altscreen(screen, 1);
    vterm_screen_reset(screen, 1);
    feedVterm(vt, *bytes);
    for (auto _ : state) {
        feedVterm(vt, *bytes);
        VTermScreenCell cell;
        vterm_screen_get_cell(screen, VTermPos{0, 0}, &cell);
        benchmark::DoNotOptimize(cell);
    }
    vterm_free(vt);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes->size()));
}

// Prints as the console reporter does and remembers each benchmark's best rate.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            auto it = run.counters.find("bytes_per_second");
            if (it == run.counters.end()) continue;
            double& best = best_[run.run_name.function_name];
            best = std::max(best, double(it->second.value));
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Bytes per second of a benchmark, 0 when it did not run (filtered out).
    double best(const std::string& name) const {
        auto it = best_.find(name);
        return it == best_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> best_;
};

} // namespace

int main(int argc, char** argv) {
    const std::vector<Workload> workloads = makeWorkloads(workloadBytesFromEnv());
    for (const Workload& w : workloads) {
        benchmark::RegisterBenchmark(("dunmar/" + w.name).c_str(), runDunmar, &w.bytes)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("libvterm/" + w.name).c_str(), runVterm, &w.bytes)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nThroughput, %dx%d, %zu-byte pieces, MB = 10^6 bytes (best of the repetitions)\n", kCols,
                kRows, kPieceBytes);
    std::printf("%-16s %10s %14s %14s %8s\n", "workload", "MiB", "dunmar MB/s", "libvterm MB/s", "ratio");
    for (const Workload& w : workloads) {
        const double ours = reporter.best("dunmar/" + w.name) / 1e6;
        const double peer = reporter.best("libvterm/" + w.name) / 1e6;
        if (ours == 0 && peer == 0) continue; // filtered out
        std::printf("%-16s %10.1f %14.1f %14.1f ", w.name.c_str(), double(w.bytes.size()) / (1024 * 1024),
                    ours, peer);
        if (ours > 0 && peer > 0) {
            std::printf("%7.1fx\n", ours / peer);
        } else {
            std::printf("%8s\n", "-");
        }
    }
    return 0;
}
