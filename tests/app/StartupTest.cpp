// The pieces the entry point runs before the main loop: the lock, the state folder with the move
// of earlier folders into it, the crash records and the SIGTERM hand-over.
#include "app/process/CrashReporter.h"
#include "app/process/InstanceServer.h"
#include "app/process/ProgramFolder.h"
#include "app/process/SingleInstanceLock.h"
#include "app/process/TermSignalHandler.h"
#include "platform/GitPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(SingleInstanceLock, TheFolderIsTheUsersOwn) {
    struct Case {
        const char* runtime;
        const char* cache;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/run/user/1000", "/c", "/h", "/run/user/1000"},
        {"/run/user/1000/", nullptr, "/h", "/run/user/1000"},
        {nullptr, "/home/u/.cache/", "/home/u", "/home/u/.cache/dunmar"},
        {nullptr, nullptr, "/home/u", "/home/u/.cache/dunmar"},
        {"", "relative", "/home/u", "/home/u/.cache/dunmar"}, // only absolute folders count
        {"relative/dir", nullptr, "/home/v/", "/home/v/.cache/dunmar"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(instancelock::lockFolderFor(c.runtime, c.cache, c.home), c.expected)
            << (c.runtime ? c.runtime : "(unset)");
    EXPECT_EQ(instancelock::lockFilePath("/run/user/7"), "/run/user/7/Dunmar.lock");
    EXPECT_EQ(instancelock::socketFilePath("/run/user/7"), "/run/user/7/Dunmar.sock");
}

TEST(SingleInstanceLock, WithoutARuntimeFolderTheLockLivesInAPrivateCacheFolder) {
    QTemporaryDir cache;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const bool runtimeWasSet = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    const bool cacheWasSet = qEnvironmentVariableIsSet("XDG_CACHE_HOME");
    qputenv("XDG_RUNTIME_DIR", "/nonexistent/run/user");
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    const std::string folder = instancelock::defaultLockFolder();
    EXPECT_EQ(folder, cache.path().toStdString() + "/dunmar");
    std::string problem;
    ASSERT_TRUE(instancelock::ensurePrivateFolder(folder, &problem)) << problem;
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(instancelock::defaultLockFolder(), runtime.path().toStdString());
    runtimeWasSet ? qputenv("XDG_RUNTIME_DIR", savedRuntime) : qunsetenv("XDG_RUNTIME_DIR");
    cacheWasSet ? qputenv("XDG_CACHE_HOME", savedCache) : qunsetenv("XDG_CACHE_HOME");
}

TEST(SingleInstanceLock, AFolderOrLockOthersCouldTouchIsRefusedAndSaysWhy) {
    QTemporaryDir dir;
    const std::string open = dir.filePath("open").toStdString();
    ::mkdir(open.c_str(), 0777);
    ::chmod(open.c_str(), 0777);
    std::string problem;
    EXPECT_FALSE(instancelock::ensurePrivateFolder(open, &problem));
    EXPECT_NE(problem.find("other users"), std::string::npos) << problem;

    const std::string link = dir.filePath("link").toStdString();
    const std::string mine = dir.filePath("mine").toStdString();
    ASSERT_TRUE(instancelock::ensurePrivateFolder(mine));
    ASSERT_EQ(::symlink(mine.c_str(), link.c_str()), 0);
    EXPECT_FALSE(instancelock::ensurePrivateFolder(link, &problem)) << "a link to a folder was trusted";

    if (::geteuid() == 0) {
        // A lock file made by another user first (only root can stage that here).
        const std::string path = instancelock::lockFilePath(mine);
        writeFile(QString::fromStdString(path), "");
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        problem.clear();
        EXPECT_EQ(instancelock::acquire(path, &problem), -1);
        EXPECT_NE(problem.find("another user"), std::string::npos) << problem;
    }
}

TEST(SingleInstanceLock, ASecondStartAsksTheRunningCopyToShowItsWindow) {
    QTemporaryDir dir;
    const std::string socket = instancelock::socketFilePath(dir.path().toStdString());
    EXPECT_FALSE(instancelock::askToShow(socket)) << "no copy is listening yet";
    InstanceServer server(QString::fromStdString(socket));
    ASSERT_TRUE(server.isListening());
    int shown = 0;
    server.onShowRequested = [&shown] { ++shown; };
    EXPECT_TRUE(instancelock::askToShow(socket));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 1; }, 5000));
}

TEST(SingleInstanceLock, TheLockNotTheFileDecides) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("Dunmar.lock").toStdString();
    writeFile(QString::fromStdString(path), ""); // a file left by a crashed copy

    const int first = instancelock::acquire(path);
    ASSERT_GE(first, 0);
    EXPECT_EQ(instancelock::acquire(path), -1) << "a second holder got the lock";
    EXPECT_TRUE(::fcntl(first, F_GETFD) & FD_CLOEXEC) << "shells started later would inherit the lock";
    ::close(first);

    const int again = instancelock::acquire(path);
    EXPECT_GE(again, 0) << "the lock outlived its holder";
    ::close(again);
    EXPECT_EQ(readAll(QString::fromStdString(path)), QByteArray()) << "the lock file is never written";
}

TEST(SingleInstanceLock, ANewLockFileIsPrivate) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("Dunmar.lock").toStdString();
    const int fd = instancelock::acquire(path);
    ASSERT_GE(fd, 0);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u & ~static_cast<unsigned>(::umask(::umask(0))));
    ::close(fd);
    EXPECT_EQ(instancelock::acquire(dir.filePath("missing/Dunmar.lock").toStdString()), -1);
}

TEST(GitPath, FirstExecutableCandidateElseTheUsualPlace) {
    const QStringList places = gitpath::candidates();
    ASSERT_EQ(places, QStringList({"/usr/bin/git", "/usr/local/bin/git", "/opt/homebrew/bin/git"}));
    auto only = [](QStringList present) {
        return [present](const QString& p) { return present.contains(p); };
    };
    EXPECT_EQ(gitpath::choose(places, only({"/usr/local/bin/git", "/opt/homebrew/bin/git"})),
              "/usr/local/bin/git");
    EXPECT_EQ(gitpath::choose(places, only({"/opt/homebrew/bin/git"})), "/opt/homebrew/bin/git");
    EXPECT_EQ(gitpath::choose(places, only({"/usr/bin/git", "/opt/homebrew/bin/git"})), "/usr/bin/git");
    EXPECT_EQ(gitpath::choose(places, only({})), "/usr/bin/git");
    // A folder or a plain file at the place is not a git to run.
    QTemporaryDir dir;
    writeFile(dir.filePath("git"), "not a program");
    EXPECT_FALSE(gitpath::isExecutableFile(dir.filePath("git")));
    EXPECT_FALSE(gitpath::isExecutableFile(dir.path()));
    QFile::setPermissions(dir.filePath("git"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(gitpath::isExecutableFile(dir.filePath("git")));
}

// The program's folder is the state folder; the folders of earlier versions and of the former name
// are moved into it.
struct FolderFixture : testing::Test {
    QTemporaryDir home;
    QString former() const { return programfolder::formerPath(home.path()); }
    QString earlier() const { return programfolder::earlierPath(home.path()); }
    QString current() const { return home.filePath(".local/state/dunmar"); }
    void makeFormer() {
        ASSERT_TRUE(QDir().mkpath(former() + "/themes"));
        writeFile(former() + "/history", "ls\ncd /tmp\n");
        writeFile(former() + "/themes/night", "dark");
        ASSERT_EQ(::symlink("history", QFile::encodeName(former() + "/latest").constData()), 0);
    }
    void makeEarlier() {
        ASSERT_TRUE(QDir().mkpath(earlier() + "/history"));
        writeFile(earlier() + "/crash.log", "Dunmar crashed with signal 11\n");
        writeFile(earlier() + "/history/TAB-1", "make\n");
    }
    // The home folder's own entries.
    QStringList homeEntries() const {
        return QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

// The takeover runs during the launch, after the entry point has created the state folder.
TEST_F(FolderFixture, TheNewFolderMadeAtStartDoesNotPreventTheTakeover) {
    makeFormer();
    ASSERT_TRUE(programfolder::ensurePrivate(current())); // what the entry point does first
    EXPECT_EQ(programfolder::takeOverFormerFolder(home.path(), current()), programfolder::Takeover::tookOver);
    EXPECT_EQ(readAll(current() + "/history"), "ls\ncd /tmp\n");
    EXPECT_EQ(readAll(current() + "/themes/night"), "dark");
    EXPECT_EQ(QFileInfo(current() + "/latest").symLinkTarget(), current() + "/history");
    EXPECT_FALSE(QFileInfo::exists(former()));
    EXPECT_EQ(QDir(current() + "/..").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"dunmar"})
        << "no staging copy is left beside it";
}

TEST_F(FolderFixture, WithoutANewFolderTheFormerOneIsMovedOver) {
    makeFormer();
    EXPECT_EQ(programfolder::takeOverFormerFolder(home.path(), current()), programfolder::Takeover::tookOver);
    EXPECT_EQ(readAll(current() + "/themes/night"), "dark");
    EXPECT_FALSE(QFileInfo::exists(former()));
}

TEST_F(FolderFixture, ANewFolderInUseAndAMissingFormerOneAreLeftAlone) {
    EXPECT_EQ(programfolder::takeOverFormerFolder(home.path(), current()),
              programfolder::Takeover::nothingToTakeOver);
    EXPECT_FALSE(QFileInfo::exists(current()));

    makeFormer();
    ASSERT_TRUE(programfolder::ensurePrivate(current()));
    writeFile(current() + "/crash.log", "Dunmar crashed with signal 11\n");
    EXPECT_EQ(programfolder::takeOverFormerFolder(home.path(), current()),
              programfolder::Takeover::folderInUse);
    EXPECT_EQ(readAll(former() + "/history"), "ls\ncd /tmp\n");
    EXPECT_FALSE(QFileInfo::exists(current() + "/history"));
}

TEST_F(FolderFixture, AFailedCopyLeavesBothFoldersAsTheyWere) {
    makeFormer();
    // A named pipe cannot be copied as a file.
    ASSERT_EQ(::mkfifo(QFile::encodeName(former() + "/pipe").constData(), 0600), 0);
    ASSERT_TRUE(programfolder::ensurePrivate(current()));
    EXPECT_EQ(programfolder::takeOverFormerFolder(home.path(), current()), programfolder::Takeover::failed);
    EXPECT_EQ(readAll(former() + "/history"), "ls\ncd /tmp\n");
    EXPECT_TRUE(QDir(current()).isEmpty());
    EXPECT_EQ(QDir(current() + "/..").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"dunmar"});
}

// ~/.glimmerdock goes into the state folder once, whole or into one the usage log already made;
// afterwards the home folder holds nothing of the program's but .local.
TEST_F(FolderFixture, TheEarlierFolderMovesIntoTheStateFolderOnce) {
    for (const bool stateFolderInUse : {false, true}) {
        SCOPED_TRACE(stateFolderInUse ? "into a state folder in use" : "into no state folder");
        QDir(home.path()).removeRecursively();
        QDir().mkpath(home.path());
        makeEarlier();
        if (stateFolderInUse) {
            ASSERT_TRUE(programfolder::ensurePrivate(current()));
            writeFile(current() + "/aiusage.log", "[2031-01-01 00:00:00 +0000] HTTP 200\n");
        }
        EXPECT_EQ(programfolder::moveEarlierFolder(home.path(), current()), programfolder::Move::moved);
        EXPECT_EQ(readAll(current() + "/crash.log"), "Dunmar crashed with signal 11\n");
        EXPECT_EQ(readAll(current() + "/history/TAB-1"), "make\n");
        EXPECT_EQ(QFileInfo::exists(current() + "/aiusage.log"), stateFolderInUse);
        EXPECT_EQ(QFileInfo(current()).permissions() &
                      (QFile::ReadGroup | QFile::ReadOther | QFile::ExeGroup | QFile::ExeOther),
                  QFile::Permissions());
        EXPECT_EQ(homeEntries(), QStringList{".local"});

        EXPECT_EQ(programfolder::moveEarlierFolder(home.path(), current()),
                  programfolder::Move::nothingToMove);
        EXPECT_EQ(homeEntries(), QStringList{".local"});
        EXPECT_EQ(readAll(current() + "/crash.log"), "Dunmar crashed with signal 11\n");
    }
}

TEST_F(FolderFixture, WhatTheStateFolderAlreadyHasStaysInTheEarlierFolder) {
    makeEarlier();
    ASSERT_TRUE(programfolder::ensurePrivate(current()));
    writeFile(current() + "/crash.log", "newer\n");
    EXPECT_EQ(programfolder::moveEarlierFolder(home.path(), current()), programfolder::Move::partlyMoved);
    EXPECT_EQ(readAll(current() + "/crash.log"), "newer\n");
    EXPECT_EQ(readAll(current() + "/history/TAB-1"), "make\n");
    EXPECT_EQ(readAll(earlier() + "/crash.log"), "Dunmar crashed with signal 11\n") << "nothing is lost";
    EXPECT_FALSE(QFileInfo::exists(earlier() + "/history"));
}

TEST(CrashReport, TextOfAnUncaughtException) {
    crash::CrashReport report;
    report.exceptionName = "std::runtime_error";
    report.reason = "disk full";
    report.frames = {"0 Dunmar 0x1 main", "1 libc 0x2 start"};
    report.when = 1700000000; // 2023-11-14 22:13:20 UTC
    EXPECT_EQ(crash::formatCrashReport(report),
              "=== Dunmar Crash Report ===\nDate: 2023-11-14 22:13:20 +0000\nException: std::runtime_error\n"
              "Reason: disk full\nStack Trace:\n0 Dunmar 0x1 main\n1 libc 0x2 start\n"
              "===================================");
    report.reason.reset();
    report.frames.clear();
    EXPECT_NE(crash::formatCrashReport(report).find("\nReason: unknown\nStack Trace:\n\n===="),
              std::string::npos);
}

TEST(CrashReport, SignalLine) {
    char line[64];
    for (int sig : {4, 6, 11, 134}) {
        const std::size_t n = crash::formatSignalLine(sig, line, sizeof line);
        EXPECT_EQ(std::string(line, n), "Dunmar crashed with signal " + std::to_string(sig) + "\n");
    }
    EXPECT_EQ(crash::formatSignalLine(11, line, 10), 10u); // cut, never past the buffer
    EXPECT_EQ(crash::fatalSignals(), (std::vector<int>{SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP}));
}

namespace {
[[noreturn]] void throwDiskFull() {
    throw std::runtime_error("the disk is full");
}
// Nothing catches the exception: like one escaping the main loop, it ends in std::terminate.
void throwUncaught(const std::string& logPath) noexcept {
    crash::setupCrashReporting(logPath);
    throwDiskFull();
}
} // namespace

TEST(CrashReportDeathTest, AnUncaughtExceptionKeepsItsReportAndEndsByAbort) {
    GTEST_FLAG_SET(death_test_style, "fast");
    QTemporaryDir dir;
    const std::string log = dir.filePath("crash.log").toStdString();
    writeFile(dir.filePath("crash.log"), "Dunmar crashed with signal 11\n");
    EXPECT_EXIT(throwUncaught(log), testing::KilledBySignal(SIGABRT), "");

    const std::string text = readAll(QString::fromStdString(log)).toStdString();
    // The abort that follows the report must not replace it with the signal line.
    EXPECT_EQ(text.rfind("=== Dunmar Crash Report ===\nDate: ", 0), 0u) << text;
    EXPECT_NE(text.find("\nException: std::runtime_error\nReason: the disk is full\nStack Trace:\n"),
              std::string::npos)
        << text;
    const std::size_t stackStart = text.find("Stack Trace:\n");
    EXPECT_GE(std::count(text.begin() + static_cast<long>(stackStart), text.end(), '\n'), 3) << "no stack:\n"
                                                                                             << text;
    EXPECT_TRUE(text.ends_with("\n===================================")) << text;
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("crash.log.tmp")));
}

namespace {
[[noreturn]] void crashWithSignal(const std::string& logPath, int signal) {
    crash::setupCrashReporting(logPath);
    std::raise(signal);
    std::abort();
}
} // namespace

TEST(CrashReportDeathTest, AFatalSignalReplacesTheLogWithItsLine) {
    GTEST_FLAG_SET(death_test_style, "fast");
    QTemporaryDir dir;
    const std::string log = dir.filePath("crash.log").toStdString();
    for (int sig : {SIGBUS, SIGFPE, SIGILL}) {
        writeFile(dir.filePath("crash.log"), "=== Dunmar Crash Report ===\na much longer earlier report\n");
        EXPECT_EXIT(crashWithSignal(log, sig), testing::KilledBySignal(sig), "");
        EXPECT_EQ(readAll(dir.filePath("crash.log")).toStdString(),
                  "Dunmar crashed with signal " + std::to_string(sig) + "\n");
    }
    // Without its folder the log is not written and the crash goes on as usual.
    EXPECT_EXIT(crashWithSignal(dir.filePath("gone/crash.log").toStdString(), SIGSEGV),
                testing::KilledBySignal(SIGSEGV), "");
}

TEST(TermSignalHandler, SigtermRunsTheCallbackOnTheMainLoop) {
    TermSignalHandler handler;
    int calls = 0;
    handler.onTerminate = [&] { ++calls; };
    // Two signals before the loop gets to them count as one request.
    ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
    ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
    EXPECT_EQ(calls, 0) << "the handler itself must not run the callback";
    QElapsedTimer timer;
    timer.start();
    while (calls == 0 && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(calls, 1);

    ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
    timer.restart();
    while (calls == 1 && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(calls, 2);
}
