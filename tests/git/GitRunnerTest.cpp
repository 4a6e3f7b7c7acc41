// The runner against real git: what the child sees of the environment, how answers are trimmed,
// failures, and the time limit that ends a command hanging on a silent remote.
#include "git/GitRunner.h"

#include "GitTestSupport.h"
#include "LocalHttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <future>
#include <gtest/gtest.h>

using namespace gittest;

namespace {
// A command of the test's own, run as a button of the panel would run it.
GitCommand command(const QStringList& args) {
    return {args, userGitEnvironment(), GitStarter::user, false};
}
GitTimeLimits limitsOf(int ms) {
    return {ms, ms};
}
} // namespace

TEST(GitRunner, ChildGetsTheUsersHomeAndAgentAndNothingElseOfTheProgramsEnvironment) {
    Sandbox box;
    qputenv("SSH_AUTH_SOCK", "/tmp/agent.sock");
    qputenv("DUNMAR_PRIVATE_SETTING", "secret");
    const QProcessEnvironment env = hardenedGit().environment;
    EXPECT_EQ(env.value("HOME"), box.home());
    EXPECT_EQ(env.value("XDG_CONFIG_HOME"), box.home() + "/.config");
    EXPECT_EQ(env.value("SSH_AUTH_SOCK"), "/tmp/agent.sock");
    EXPECT_EQ(env.value("PATH"), qEnvironmentVariable("PATH"));
    EXPECT_EQ(env.value("GIT_TERMINAL_PROMPT"), "0");
    EXPECT_EQ(env.value("LC_ALL"), "C");
    EXPECT_EQ(env.value("GIT_OPTIONAL_LOCKS"), "0");
    EXPECT_FALSE(env.contains("DUNMAR_PRIVATE_SETTING"));
    EXPECT_FALSE(userGitEnvironment().contains("GIT_OPTIONAL_LOCKS"));
    EXPECT_FALSE(userGitEnvironment().contains("DUNMAR_PRIVATE_SETTING"));

    // git itself reads the identity from the test's home.
    const QString repo = makeRepo(box, "r");
    EXPECT_EQ(runGit(command({"config", "user.email"}), repo, limitsOf(10000)), "test@example.org");
}

TEST(GitRunner, AnswersLoseTrailingLineEndsOnlyAndFailuresGiveNothing) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    commitFile(repo, "a.txt", "x", "subject with trailing blank \r");
    // The subject keeps its blank; the carriage return and git's line feed go.
    EXPECT_EQ(runGit(command({"log", "-1", "--pretty=format:%B"}), repo, limitsOf(10000)),
              "subject with trailing blank");
    EXPECT_FALSE(runGit(command({"rev-parse", "--show-toplevel"}), box.path(""), limitsOf(10000)))
        << "not a repository";
    EXPECT_FALSE(runGit(command({"status"}), box.path("missing-folder"), limitsOf(10000)));

    // Output that is not UTF-8 counts as no answer.
    git(repo, {"config", "dunmar.latin", QString::fromLatin1("caf\xe9")});
    writeFile(repo + "/.git/config", readFile(repo + "/.git/config").replace("caf\xc3\xa9", "caf\xe9"));
    EXPECT_FALSE(runGit(command({"config", "dunmar.latin"}), repo, limitsOf(10000)));

    const GitActionResult failed =
        runGitAction(command({"checkout", "no-such-branch"}), repo, limitsOf(10000));
    EXPECT_FALSE(failed.success);
    EXPECT_TRUE(failed.output.startsWith("error: pathspec")) << failed.output.toStdString();
}

TEST(GitRunner, ACommandHangingOnASilentRemoteIsStoppedAtItsTimeLimit) {
    Sandbox box;
    LocalHttpServer silent(true);
    const QString repo = makeRepo(box, "r");
    git(repo, {"remote", "add", "origin", silent.url().toString() + "/r.git"});
    const GitActionResult r = runGitAction(command({"fetch", "origin"}), repo, limitsOf(500));
    EXPECT_FALSE(r.success);
    EXPECT_TRUE(r.output.contains("did not finish")) << r.output.toStdString();
    EXPECT_FALSE(runGit(command({"ls-remote", "origin"}), repo, limitsOf(500)));
}

TEST(GitRunner, QuittingEndsACommandThatWaitsOnItsRemote) {
    Sandbox box;
    LocalHttpServer silent(true);
    const QString repo = makeRepo(box, "r");
    git(repo, {"remote", "add", "origin", silent.url().toString() + "/r.git"});
    auto fetch = std::async(std::launch::async, [&] {
        return runGitAction(command({"fetch", "origin"}), repo, limitsOf(600000));
    });
    ASSERT_TRUE(waitFor([&] { return silent.connections > 0; }));
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    ASSERT_TRUE(
        waitFor([&] { return fetch.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_FALSE(fetch.get().success);
}

TEST(GitRunner, NoFolderRunsNothing) {
    EXPECT_FALSE(runGit(command({"rev-parse", "--show-toplevel"}), QString(), limitsOf(10000)));
    EXPECT_FALSE(runGitAction(command({"init"}), QString(), limitsOf(10000)).success);
    EXPECT_FALSE(QFileInfo::exists(QDir::currentPath() + "/.git"));
}

TEST(GitRunner, ConflictedFilesListsThePathsOfAnUnfinishedMerge) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    git(repo, {"checkout", "-q", "-b", "other"});
    commitFile(repo, "my file.txt", "theirs\n", "other side");
    git(repo, {"checkout", "-q", "main"});
    commitFile(repo, "my file.txt", "ours\n", "this side");
    EXPECT_NE(gitStatus(repo, {"merge", "other"}), 0);
    EXPECT_EQ(conflictedFiles(repo, GitTimeLimits{}), QStringList{"my file.txt"});
    git(repo, {"merge", "--abort"});
    EXPECT_TRUE(conflictedFiles(repo, GitTimeLimits{}).isEmpty());
}
