// Many panes flooding output at once (`yes` in each), and how long the event loop is kept from
// everything else meanwhile: typing, painting and timers wait that long. A 2 ms timer records the
// gaps between its ticks; the report gives their median, 99th percentile and maximum.
//
//   busy_panes_bench [panes=20] [seconds=5]
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; the first pane is shown,
// the others are hidden, as tabs behind the one on show are.
#include "terminalview/TerminalView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int panes = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const int seconds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;

    QTemporaryDir home;
    PtySessionSettings settings{home.path(), {}};
    std::vector<std::unique_ptr<TerminalView>> views;
    for (int i = 0; i < panes; ++i) {
        views.push_back(
            std::make_unique<TerminalView>(nullptr, QRect(0, 0, 900, 600), "/bin/sh", QString(), QString(), settings));
        if (i == 0) views.back()->show();
    }
    QElapsedTimer startup;
    startup.start();
    while (startup.elapsed() < 10000 &&
           !std::all_of(views.begin(), views.end(), [](const auto& v) { return v->shellReady(); }))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (auto& view : views) view->writePTY(QStringLiteral("exec yes\r"));

    std::vector<qint64> gaps;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sinceTick.isValid()) gaps.push_back(sinceTick.nsecsElapsed() / 1000);
        sinceTick.restart();
    });
    QTimer::singleShot(500, [&] { // let the floods get going
        sinceTick.invalidate();
        ticker.start();
    });
    QTimer::singleShot(500 + seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();

    quint64 bytes = 0;
    for (const auto& view : views) bytes += view->perf.readBytes;
    std::sort(gaps.begin(), gaps.end());
    const auto at = [&](double q) {
        return gaps.empty() ? 0 : gaps[std::size_t(q * double(gaps.size() - 1))];
    };
    std::printf("panes %d, %d s: event-loop gap median %.1f ms, p99 %.1f ms, max %.1f ms; "
                "visible pane read %.1f MB, all panes %.1f MB\n",
                panes, seconds, at(0.5) / 1000.0, at(0.99) / 1000.0, at(1.0) / 1000.0,
                double(views.front()->perf.readBytes) / 1e6, double(bytes) / 1e6);
    return 0;
}
