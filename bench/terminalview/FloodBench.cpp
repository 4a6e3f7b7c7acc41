// A shown terminal view under a flood of output (`yes` in a real bash): how many frames it draws a
// second, how much output it takes, and how late a 10 ms timer fires at worst meanwhile. The view
// should draw about once per refresh (60 a second) however much arrives, and hand the event loop
// back between pieces of output; compare these numbers, on an otherwise idle machine, when that
// code changes. The tests check only that the view stays responsive and keeps drawing.
#include "terminalview/TerminalView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

void floodOfOutput(benchmark::State& state) {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path())); // no start-up files of the user's
    TerminalView view(nullptr, QRect(0, 0, 660, 420), QStringLiteral("/bin/bash"), QString(), QString(),
                      PtySessionSettings{home.path(), {}});
    view.show();
    if (!QTest::qWaitFor([&] { return view.shellReady(); }, 20000)) {
        state.SkipWithError("the shell did not start");
        return;
    }
    view.writePTY(QStringLiteral("yes\r"));
    const std::int64_t start = view.perf.readBytes;
    if (!QTest::qWaitFor([&] { return view.perf.readBytes > start + (1 << 20); }, 20000)) {
        state.SkipWithError("no flood");
        return;
    }

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    const std::int64_t drawsBefore = view.perf.drawCount;
    const std::int64_t bytesBefore = view.perf.readBytes;
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    for (auto _ : state) QTest::qWait(int(state.range(0)));
    ticker.stop();
    const double seconds = double(clock.elapsed()) / 1000.0;
    state.counters["frames_per_s"] = double(view.perf.drawCount - drawsBefore) / seconds;
    state.counters["MiB_per_s"] = double(view.perf.readBytes - bytesBefore) / seconds / double(1 << 20);
    state.counters["longest_timer_gap_ms"] = double(longestGap);
    view.writePTY(QByteArrayView("\x03", 1));
}
BENCHMARK(floodOfOutput)->Arg(500)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
