// The end of a shell, replacing it, the fallback shell, and the job and mode controls.
#include "ShellHarness.h"
#include "terminalview/ChildReaper.h"

#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
bool processIsGone(pid_t pid) {
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

int reapedTimes(const QSignalSpy& spy, pid_t pid) {
    int times = 0;
    for (const QList<QVariant>& call : spy)
        if (call.at(0).value<pid_t>() == pid) ++times;
    return times;
}

bool waitForForegroundJob(const PtySession& session) {
    return QTest::qWaitFor([&] { return ::tcgetpgrp(session.masterFd()) != ::getpgid(session.childPid()); },
                           20000);
}
} // namespace

TEST_F(PtyTest, AnEndedShellIsReportedOnceAndReapedOnce) {
    QSignalSpy reaped(&ChildReaper::shared(), &ChildReaper::reaped);
    const struct {
        const char* shell;
        QString input; // empty: the shell ends by itself
    } cases[] = {
        {"/bin/bash", "exit\r"}, {"/bin/zsh", "exit\r"}, {"/bin/sh", "exit 3\r"}, {"/bin/false", ""}};
    for (const auto& c : cases) {
        ShellHarness harness(settings());
        ASSERT_TRUE(harness.start(c.shell));
        const pid_t pid = harness.session.childPid();
        if (!c.input.isEmpty()) harness.session.write(c.input);
        ASSERT_TRUE(QTest::qWaitFor([&] { return harness.endedCount > 0; }, 20000)) << c.shell;
        EXPECT_FALSE(harness.session.isRunning());
        EXPECT_EQ(harness.session.childPid(), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return processIsGone(pid); }, 20000))
            << c.shell << " left a zombie";
        // Reaped and reported: whatever was still queued about this shell runs now.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ChildReaper::shared().isWatching(pid); }, 20000));
        testsupport::drainEvents();
        EXPECT_EQ(harness.endedCount, 1) << c.shell;
        EXPECT_EQ(reapedTimes(reaped, pid), 1) << c.shell;

        // Nothing reaches a shell that has gone, and nothing is counted.
        harness.session.write(QByteArrayView("x", 1));
        harness.session.killForegroundProcess();
        harness.session.resetTermiosModes();
        EXPECT_EQ(harness.session.counters().writeBytes, quint64(c.input.size()));
    }
}

TEST_F(PtyTest, ClosingTheSessionHangsUpItsShellEvenWhileOtherShellsRun) {
    QSignalSpy reaped(&ChildReaper::shared(), &ChildReaper::reaped);
    auto first = std::make_unique<ShellHarness>(settings());
    ASSERT_TRUE(first->start("/bin/bash"));
    ASSERT_TRUE(first->waitReady());
    const pid_t pid = first->session.childPid();
    // A later shell must not inherit the first one's master, or the first would never hang up.
    ShellHarness second(settings());
    ASSERT_TRUE(second.start("/bin/sh"));
    ASSERT_EQ(second.run("echo up"), "up\n");

    first.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return processIsGone(pid); }, 20000));
    EXPECT_EQ(reapedTimes(reaped, pid), 1);
    EXPECT_EQ(second.run("echo still"), "still\n");
}

TEST_F(PtyTest, ShellsStartWhileAnotherThreadChangesTheEnvironment) {
    // A forked child that called setenv could wait forever for the environment lock that this
    // thread held at the moment of the fork; every shell must come up regardless.
    std::atomic<bool> stop = false;
    std::thread changer([&] {
        for (unsigned i = 0; !stop; ++i) ::setenv("DUNMAR_ENV_PROBE", (i & 1) ? "a" : "b", 1);
    });
    for (int i = 0; i < 12; ++i) {
        ShellHarness harness(settings());
        ASSERT_TRUE(harness.start("/bin/sh"));
        EXPECT_EQ(harness.run("echo up", 10000), "up\n") << "shell " << i;
    }
    stop = true;
    changer.join();
    ::unsetenv("DUNMAR_ENV_PROBE");
}

TEST_F(PtyTest, SwitchingTheShellKeepsTheHistoryFileAndReportsNoExit) {
    QSignalSpy reaped(&ChildReaper::shared(), &ChildReaper::reaped);
    ShellHarness harness(settings(), "KEEP-ME");
    ASSERT_TRUE(harness.start("/bin/bash"));
    const QByteArray historyFile = QFile::encodeName(home.path() + "/.local/state/dunmar/history/KEEP-ME");
    EXPECT_EQ(harness.run("echo $HISTFILE"), historyFile + "\n");
    ASSERT_TRUE(harness.session.shellReady());
    const pid_t first = harness.session.childPid();
    harness.session.setWindowSize(33, 99, 0, 0);

    harness.session.switchShell("/bin/sh");
    EXPECT_FALSE(harness.session.shellReady());
    EXPECT_EQ(harness.session.currentShell(), "/bin/sh");
    const pid_t second = harness.session.childPid();
    EXPECT_GT(second, 0);
    EXPECT_NE(second, first);
    EXPECT_EQ(harness.run("echo $HISTFILE"), historyFile + "\n");
    EXPECT_EQ(harness.run("ps -o args= -p $$").trimmed(), "/bin/sh -l");
    EXPECT_EQ(harness.run("stty size"), "33 99\n") << "the new shell starts with the current size";
    EXPECT_TRUE(harness.session.shellReady());
    EXPECT_EQ(harness.firstOutputCount, 2);

    EXPECT_TRUE(QTest::qWaitFor([&] { return processIsGone(first); }, 20000));
    EXPECT_EQ(reapedTimes(reaped, first), 1);
    testsupport::drainEvents();
    EXPECT_EQ(harness.endedCount, 0);
}

TEST_F(PtyTest, AShellThatIsNotInstalledFallsBackToTheLoginShell) {
    qputenv("SHELL", "/bin/bash");
    ShellHarness harness(settings());
    ASSERT_TRUE(harness.start("/nonexistent/zsh"));
    EXPECT_EQ(harness.session.currentShell(), "/bin/bash");
    EXPECT_EQ(harness.run("echo hi"), "hi\n");
    EXPECT_EQ(harness.run("ps -o args= -p $$").trimmed(), "/bin/bash --login");
    EXPECT_EQ(harness.endedCount, 0);
}

TEST_F(PtyTest, KillingTheForegroundJobSparesTheShell) {
    ShellHarness harness(settings());
    ASSERT_TRUE(harness.start("/bin/bash"));
    ASSERT_EQ(harness.run("echo ready"), "ready\n");
    const pid_t shell = harness.session.childPid();

    harness.session.killForegroundProcess(); // only the shell: nothing is sent
    EXPECT_EQ(harness.run("echo alive"), "alive\n");

    harness.session.write(QString("sleep 100\r"));
    ASSERT_TRUE(waitForForegroundJob(harness.session));
    const pid_t job = ::tcgetpgrp(harness.session.masterFd());
    harness.session.killForegroundProcess();
    EXPECT_TRUE(QTest::qWaitFor([&] { return processIsGone(job); }, 20000));
    EXPECT_EQ(harness.run("echo alive"), "alive\n");
    EXPECT_EQ(harness.session.childPid(), shell);
}

TEST_F(PtyTest, ResettingTheModesRestoresTheAttributesAndSendsOneControlL) {
    // dash leaves the terminal's modes alone (bash and zsh save and restore them around jobs), so
    // what the terminal does with the Control-L shows the modes it arrived under.
    ShellHarness harness(settings());
    ASSERT_TRUE(harness.start("/bin/sh"));
    ASSERT_EQ(harness.run("stty -echo -icanon -isig"), "");
    harness.session.write(QString("sleep 100\r"));
    ASSERT_TRUE(waitForForegroundJob(harness.session));
    const pid_t job = ::tcgetpgrp(harness.session.masterFd());
    termios changed{};
    ASSERT_EQ(::tcgetattr(harness.session.masterFd(), &changed), 0);
    ASSERT_EQ(changed.c_lflag & ECHO, 0u);

    const PtyCounters before = harness.session.counters();
    const qint64 from = harness.mark();
    harness.session.resetTermiosModes();
    termios restored{};
    ASSERT_EQ(::tcgetattr(harness.session.masterFd(), &restored), 0);
    const termios& saved = harness.session.savedTermios();
    EXPECT_EQ(restored.c_lflag, saved.c_lflag);
    EXPECT_EQ(restored.c_iflag, saved.c_iflag);
    EXPECT_EQ(harness.session.counters().writeBytes - before.writeBytes, 1u);
    EXPECT_EQ(harness.session.counters().writeCount - before.writeCount, 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return processIsGone(job); }, 20000));
    // The terminal echoes the Control-L only because echo was already back on when it arrived.
    EXPECT_TRUE(harness.waitFor("\x0c", from, 20000)) << harness.outputSince(from).toHex(' ').toStdString();
    EXPECT_EQ(harness.outputSince(from).count('\x0c'), 1);
    // Control-U drops the Control-L from the line being typed; the shell goes on.
    harness.session.write(QByteArrayView("\x15", 1));
    EXPECT_EQ(harness.run("echo back"), "back\n");
}

TEST_F(PtyTest, CallbacksMaySwitchTheShellOrDeleteTheSession) {
    // The owner answers output and the end of output synchronously; the session must not touch
    // itself afterwards.
    ShellHarness harness(settings());
    ASSERT_TRUE(harness.start("/bin/bash"));
    const auto collect = harness.session.onOutput;
    bool switched = false;
    harness.session.onOutput = [&](QByteArrayView piece) {
        collect(piece);
        if (!switched && QByteArray(piece.data(), piece.size()).contains("switch42")) {
            switched = true;
            harness.session.switchShell("/bin/sh");
        }
    };
    harness.session.write(QString("echo switch$((6*7))\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return switched; }, 20000));
    EXPECT_EQ(harness.run("ps -o args= -p $$").trimmed(), "/bin/sh -l");

    auto* session = new PtySession(QString(), settings());
    bool deleted = false;
    session->onOutputEnded = [&] {
        delete session;
        deleted = true;
    };
    ASSERT_TRUE(session->start("/bin/sh"));
    session->write(QString("exit\r"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return deleted; }, 20000));
    testsupport::drainEvents(); // nothing queued reaches the deleted session
}
