// The current folder of another process, read from /proc.
#include "platform/ProcessCwd.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(ProcessCwd, ReadsAnotherProcesssFolder) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::chdir(QFile::encodeName(folder).constData()) != 0) ::_exit(1);
        const char byte = 1;
        (void)!::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(cwdForPid(child), folder);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(cwdForPid(::getpid()), QDir::currentPath());
}

TEST(ProcessCwd, AnUnreadableProcessGivesOurOwnFolderNeverEmptyText) {
    const QString ours = QDir::currentPath();
    for (pid_t pid : {pid_t(0), pid_t(-5), pid_t(999999999)}) EXPECT_EQ(cwdForPid(pid), ours) << pid;

    // A process that has ended and been reaped has no folder any more.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(cwdForPid(child), ours);
    EXPECT_FALSE(cwdForPid(child).isEmpty());
}
