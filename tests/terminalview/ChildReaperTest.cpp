#include "terminalview/ChildReaper.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(ChildReaper, ReapsEachWatchedChildOnceWithItsStatus) {
    ChildReaper& reaper = ChildReaper::shared();
    QSignalSpy reaped(&reaper, &ChildReaper::reaped);
    const pid_t quick = ::fork();
    if (quick == 0) ::_exit(7);
    const pid_t slow = ::fork();
    if (slow == 0) {
        ::usleep(200 * 1000);
        ::_exit(0);
    }
    reaper.reap(quick);
    reaper.reap(slow);
    reaper.reap(slow); // handed over twice
    EXPECT_TRUE(QTest::qWaitFor([&] { return reaper.watchedCount() == 0; }, 20000));
    QTest::qWait(20);
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
    ::usleep(100 * 1000);
    ChildReaper::shared().reap(watched);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ChildReaper::shared().isWatching(watched); }, 20000));
}
