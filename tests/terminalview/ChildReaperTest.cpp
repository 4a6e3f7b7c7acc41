#include "support/Waits.h"
#include "terminalview/ChildReaper.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
// Waits, without running the event loop (where Qt would collect its own child), until `pid` has
// ended and waits to be collected: a zombie.
bool hasEndedUnreaped(pid_t pid) {
    const QString statPath = QStringLiteral("/proc/%1/stat").arg(pid);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        QFile stat(statPath);
        if (!stat.open(QIODevice::ReadOnly)) return false; // collected already
        const QByteArray line = stat.readAll();
        // "pid (comm) S ...": the state follows the last parenthesis.
        const qsizetype close = line.lastIndexOf(')');
        if (close >= 0 && close + 2 < line.size() && line.at(close + 2) == 'Z') return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}
} // namespace

TEST(ChildReaper, ReapsEachWatchedChildOnceWithItsStatus) {
    ChildReaper& reaper = ChildReaper::shared();
    QSignalSpy reaped(&reaper, &ChildReaper::reaped);
    // The slow child lives until the test closes its end of a pipe, after both are handed over.
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    const pid_t quick = ::fork();
    if (quick == 0) ::_exit(7);
    const pid_t slow = ::fork();
    if (slow == 0) {
        ::close(gate[1]);
        char byte;
        while (::read(gate[0], &byte, 1) > 0) {
        }
        ::_exit(0);
    }
    ::close(gate[0]);
    reaper.reap(quick);
    reaper.reap(slow);
    reaper.reap(slow); // handed over twice
    ::close(gate[1]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reaper.watchedCount() == 0; }, 20000));
    testsupport::drainEvents();
    ASSERT_EQ(reaped.size(), 2);
    for (const QList<QVariant>& call : reaped) {
        const pid_t pid = call.at(0).value<pid_t>();
        const int status = call.at(1).toInt();
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), pid == quick ? 7 : 0);
    }
}

TEST(ChildReaper, LeavesOtherChildrenToTheirOwners) {
    // Both children have ended before the reaper looks; it must take only the one it watches.
    QProcess process;
    process.start("/bin/sh", {"-c", "exit 5"});
    ASSERT_TRUE(process.waitForStarted(20000));
    const pid_t watched = ::fork();
    if (watched == 0) ::_exit(0);
    ASSERT_TRUE(hasEndedUnreaped(watched));
    ASSERT_TRUE(hasEndedUnreaped(pid_t(process.processId())));
    ChildReaper::shared().reap(watched);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ChildReaper::shared().isWatching(watched); }, 20000));
}
