// The built program, started as users start it: one copy per user, the crash line of a fatal
// signal, and SIGTERM saving before a clean exit.
#include "ProgramHarness.h"
#include "platform/Defaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace programtest;
using namespace std::chrono_literals;

namespace {

constexpr auto kStartTimeout = 30s;

// A private home, runtime folder and settings folder for each started copy.
struct UserFolders {
    QTemporaryDir root;
    QString home() const { return root.filePath("home"); }
    QString runtime() const { return root.filePath("run"); }
    QString config() const { return root.filePath("config"); }
    QString log() const { return root.filePath("program.log"); }
    // The program's state folder when XDG_STATE_HOME is not set.
    QString state() const { return QDir(home()).filePath(".local/state/dunmar"); }

    UserFolders() {
        QDir().mkpath(home());
        QDir().mkpath(runtime());
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir().mkpath(config());
    }

    std::vector<std::string> environment(const QString& runtimeDir) const {
        std::vector<std::string> env{
            "HOME=" + home().toStdString(),
            "XDG_RUNTIME_DIR=" + runtimeDir.toStdString(),
            "XDG_CONFIG_HOME=" + config().toStdString(),
            "QT_QPA_PLATFORM=offscreen",
            "LANG=C.UTF-8",
        };
        if (const char* path = std::getenv("PATH")) env.push_back(std::string("PATH=") + path);
        return env;
    }
    std::vector<std::string> environment() const { return environment(runtime()); }
};

std::unique_ptr<Program> start(const UserFolders& user, const std::vector<std::string>& env) {
    auto program = std::make_unique<Program>(DUNMAR_EXECUTABLE, env, user.log().toStdString());
    EXPECT_TRUE(program->started());
    return program;
}

// The SIGTERM handler is installed right after the lock is taken, so catching SIGTERM means the
// copy holds the lock and will answer the signal.
void expectRunning(Program& program, const UserFolders& user) {
    ASSERT_TRUE(program.waitUntilCatching(SIGTERM, kStartTimeout))
        << "the program did not start; its output:\n"
        << readFile(user.log().toStdString());
}

void expectCleanExit(Program& program) {
    program.sendSignal(SIGTERM);
    const std::optional<int> status = program.waitForExit(kStartTimeout);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status)) << "status " << *status;
    EXPECT_EQ(WEXITSTATUS(*status), 0);
}

} // namespace

TEST(Program, ASecondCopyOfTheSameUserLeavesAtOnceWithStatusZero) {
    UserFolders user;
    // A lock file left behind by a crashed copy does not count: the lock decides.
    QFile stale(QDir(user.runtime()).filePath("Dunmar.lock"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    auto first = start(user, user.environment());
    expectRunning(*first, user);

    auto second = start(user, user.environment());
    const std::optional<int> status = second->waitForExit(kStartTimeout);
    ASSERT_TRUE(status.has_value()) << "the second copy kept running";
    EXPECT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    EXPECT_TRUE(first->isRunning());

    expectCleanExit(*first);
}

TEST(Program, AnotherUsersRunningCopyDoesNotBlockAStart) {
    UserFolders user;
    UserFolders otherUser;
    auto theirs = start(otherUser, otherUser.environment());
    expectRunning(*theirs, otherUser);

    // Same machine, same temporary folder, but a runtime folder of its own.
    auto mine = start(user, user.environment());
    expectRunning(*mine, user);
    EXPECT_TRUE(QFile::exists(QDir(user.runtime()).filePath("Dunmar.lock")));
    EXPECT_TRUE(theirs->isRunning());
    EXPECT_TRUE(mine->isRunning());

    expectCleanExit(*mine);
    expectCleanExit(*theirs);
}

TEST(Program, WithoutARuntimeFolderTheLockIsInAPrivateFolderOfTheUser) {
    UserFolders user;
    const std::vector<std::string> env = user.environment(QString()); // XDG_RUNTIME_DIR empty
    auto first = start(user, env);
    expectRunning(*first, user);
    const QString folder = QDir(user.home()).filePath(".cache/dunmar");
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath("Dunmar.lock")));
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
    // The second copy finds the first through the socket beside the lock, and leaves.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return QFileInfo::exists(QDir(folder).filePath("Dunmar.sock")); }, 30000));
    auto second = start(user, env);
    const std::optional<int> status = second->waitForExit(kStartTimeout);
    ASSERT_TRUE(status.has_value()) << "the second copy kept running";
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    expectCleanExit(*first);
}

TEST(Program, AFatalSignalWritesTheCrashLineAndEndsByThatSignal) {
    UserFolders user;
    auto program = start(user, user.environment());
    ASSERT_TRUE(program->waitUntilCatching(SIGSEGV, kStartTimeout)) << readFile(user.log().toStdString());

    const QString crashLog = QDir(user.state()).filePath("crash.log");
    QFile old(crashLog);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older report that the new line replaces\n");
    old.close();

    program->sendSignal(SIGSEGV);
    const std::optional<int> status = program->waitForExit(kStartTimeout);
    ASSERT_TRUE(status.has_value());
    ASSERT_TRUE(WIFSIGNALED(*status)) << "status " << *status;
    EXPECT_EQ(WTERMSIG(*status), SIGSEGV);
    EXPECT_EQ(readFile(crashLog.toStdString()), "Dunmar crashed with signal 11\n");
}

TEST(Program, SigtermSavesAndExitsWithStatusZeroWithoutAsking) {
    UserFolders user;
    // The former product's folder is taken over during the launch, after the entry point has made
    // the new, empty folder; once its file shows up the launch is under way.
    QDir(user.home()).mkpath(".pocketshell");
    QFile former(QDir(user.home()).filePath(".pocketshell/notes.txt"));
    ASSERT_TRUE(former.open(QIODevice::WriteOnly));
    former.write("kept");
    former.close();

    auto program = start(user, user.environment());
    expectRunning(*program, user);
    const QString takenOver = QDir(user.state()).filePath("notes.txt");
    // The copy is renamed into place first; the former folder goes right after.
    const QString formerFolder = QDir(user.home()).filePath(".pocketshell");
    ASSERT_TRUE(
        waitFor([&] { return QFile::exists(takenOver) && !QFileInfo::exists(formerFolder); }, kStartTimeout));

    expectCleanExit(*program);

    QFile stored(QDir(user.config()).filePath("dunmar/defaults.json"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << "nothing was saved";
    const QJsonObject saved = QJsonDocument::fromJson(stored.readAll()).object();
    EXPECT_TRUE(saved.value("sessionTabs").isArray());
    EXPECT_TRUE(saved.contains("sessionActiveTab"));
    EXPECT_TRUE(saved.value("windowFrame").isString());
    EXPECT_TRUE(saved.contains("windowWidth"));
    EXPECT_TRUE(saved.contains("windowHeight"));
    EXPECT_TRUE(saved.contains("dockedWindowX"));
}

TEST(Program, TheFolderOfEarlierVersionsMovesToTheStateFolderAndNothingElseIsMadeInHome) {
    UserFolders user;
    QDir(user.home()).mkpath(".glimmerdock/history");
    QFile history(QDir(user.home()).filePath(".glimmerdock/history/TAB-1"));
    ASSERT_TRUE(history.open(QIODevice::WriteOnly));
    history.write("make\n");
    history.close();

    auto program = start(user, user.environment());
    expectRunning(*program, user);
    // The first shell runs: the launch is through.
    ASSERT_TRUE(waitFor([&] { return !childrenOf(program->pid()).empty(); }, kStartTimeout))
        << readFile(user.log().toStdString());
    expectCleanExit(*program);

    EXPECT_EQ(readFile(QDir(user.state()).filePath("history/TAB-1").toStdString()), "make\n");
    const QStringList homeEntries =
        QDir(user.home()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(homeEntries, QStringList{".local"});
}

// Settings, crash log and shell histories written before they were kept private (0644 files in
// 0755 folders) are private once the program has started.
TEST(Program, ThePrivateFilesOfEarlierRunsArePrivateAfterAStart) {
    UserFolders user;
    const QString settingsFolder = QDir(user.config()).filePath("dunmar");
    const QStringList folders{settingsFolder, user.state(), QDir(user.state()).filePath("history")};
    const QStringList files{QDir(settingsFolder).filePath("defaults.json"),
                            QDir(user.state()).filePath("crash.log"),
                            QDir(user.state()).filePath("history/TAB-1")};
    for (const QString& folder : folders) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    }
    for (const QString& path : files) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(path.endsWith(".json") ? "{}" : "x\n");
        f.close();
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    }
    const auto modeOf = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };

    auto program = start(user, user.environment());
    expectRunning(*program, user);
    // The first shell runs: the launch is through.
    ASSERT_TRUE(waitFor([&] { return !childrenOf(program->pid()).empty(); }, kStartTimeout))
        << readFile(user.log().toStdString());
    for (const QString& folder : folders) EXPECT_EQ(modeOf(folder), 0700u) << folder.toStdString();
    for (const QString& path : files) EXPECT_EQ(modeOf(path), 0600u) << path.toStdString();
    expectCleanExit(*program);
    EXPECT_EQ(modeOf(files[0]), 0600u) << "the settings written at the end";
}

TEST(Program, AFifoAtTheAiToolsCredentialsPathDoesNotHoldTheStart) {
    UserFolders user;
    const QString credentials = QDir(user.home()).filePath(".claude/.credentials.json");
    QDir().mkpath(QFileInfo(credentials).path());
    ASSERT_EQ(::mkfifo(QFile::encodeName(credentials).constData(), 0600), 0);

    auto program = start(user, user.environment());
    expectRunning(*program, user);
    // The usage monitor reads the credentials once the window's footer is there; its log says it
    // found no token, which the badge shows as "AI —".
    const std::string usageLog = QDir(user.state()).filePath("aiusage.log").toStdString();
    ASSERT_TRUE(waitFor([&] { return readFile(usageLog).find("No token found") != std::string::npos; },
                        kStartTimeout))
        << readFile(usageLog) << readFile(user.log().toStdString());
    EXPECT_NE(readFile(usageLog).find("Credentials file not read (not a regular file)"), std::string::npos);
    expectCleanExit(*program);
}

namespace {

// The folders the program's shells are in, sorted.
std::vector<std::string> shellFolders(const Program& program) {
    std::vector<std::string> folders;
    for (pid_t child : childrenOf(program.pid())) folders.push_back(cwdOf(child));
    std::sort(folders.begin(), folders.end());
    return folders;
}

// What a start restored, as the next save wrote it: each tab's folder, name and second pane.
struct SavedState {
    QStringList cwds, names, splitCwds, editorFiles;
    qint64 activeTab = -1;
};

SavedState readSaved(const UserFolders& user) {
    Defaults stored(QDir(user.config()).filePath("dunmar/defaults.json"));
    SavedState state;
    for (const QVariant& entry : stored.array("sessionTabs")) {
        const QVariantMap tab = entry.toMap();
        state.cwds << tab.value("cwd").toString();
        state.names << tab.value("customName").toString();
        state.splitCwds << tab.value("splitCwd").toString();
        state.editorFiles << tab.value("editorURL").toString();
    }
    state.activeTab = stored.integer("sessionActiveTab");
    return state;
}

} // namespace

TEST(Program, ARestartRestoresTheTabsItSavedAtTheEnd) {
    UserFolders user;
    const QString alpha = QDir(user.home()).filePath("alpha");
    const QString beta = QDir(user.home()).filePath("beta");
    QDir().mkpath(alpha);
    QDir().mkpath(beta);
    const QString gone = QDir(user.home()).filePath("gone.txt");
    {
        // What an earlier run left: a split tab, an entry that is no tab at all, an editor whose
        // file has gone since, and a plain tab that was on show.
        QDir().mkpath(QDir(user.config()).filePath("dunmar"));
        Defaults stored(QDir(user.config()).filePath("dunmar/defaults.json"));
        stored.setValue("defaultShellIndex", 1);
        stored.setValue(
            "sessionTabs",
            QVariantList{QVariantMap{{"shell", "/bin/bash"},
                                     {"cwd", alpha},
                                     {"customName", "alpha"},
                                     {"splitVertical", true},
                                     {"splitShell", "/bin/bash"},
                                     {"splitCwd", beta},
                                     {"splitRatio", 0.6}},
                         QStringLiteral("not a tab"),
                         QVariantMap{{"type", "editor"}, {"editorURL", gone}, {"customName", "todo"}},
                         QVariantMap{{"shell", "/bin/bash"}, {"cwd", beta}}});
        stored.setValue("sessionActiveTab", 3);
        ASSERT_TRUE(stored.synchronize());
    }
    const std::vector<std::string> expectedFolders{alpha.toStdString(), beta.toStdString(),
                                                   beta.toStdString()};

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(testing::Message() << "start " << run);
        auto program = start(user, user.environment());
        expectRunning(*program, user);
        // Three shells: the split tab's two and the plain tab's one, each in its folder.
        ASSERT_TRUE(waitFor([&] { return shellFolders(*program) == expectedFolders; }, kStartTimeout))
            << "shells in: " << testing::PrintToString(shellFolders(*program)) << "\n"
            << readFile(user.log().toStdString());
        const std::vector<pid_t> shells = childrenOf(program->pid());
        expectCleanExit(*program);
        for (pid_t shell : shells)
            EXPECT_TRUE(waitFor([shell] { return hasEnded(shell); }, kStartTimeout))
                << "shell " << shell << " outlived the program";

        const SavedState saved = readSaved(user);
        EXPECT_EQ(saved.cwds, (QStringList{alpha, "", beta}));
        EXPECT_EQ(saved.names, (QStringList{"alpha", "todo", ""}));
        EXPECT_EQ(saved.splitCwds, (QStringList{beta, "", ""}));
        EXPECT_EQ(saved.editorFiles, (QStringList{"", gone, ""})) << "the editor keeps its file";
        EXPECT_EQ(saved.activeTab, 2) << "the tab that was on show";
    }
}
