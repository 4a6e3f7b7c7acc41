// The panel's operations on real repositories with local bare remotes: commit, the two-click
// undo, push, the smart pull around the user's changes and stashes, ignoring files, init, and
// creating a repository on the service with its first push.
#include "git/GitPanelActions.h"

#include "GitTestSupport.h"
#include "LocalHttpServer.h"
#include "git/GitPanelModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace gittest;

namespace {

struct Panel {
    explicit Panel(const QString& cwd, GitHubEndpoints endpoints = {})
        : model(std::move(endpoints)), actions(model) {
        actions.onFeedbackChanged = [this] {
            if (actions.feedbackVisible()) feedbacks << actions.feedback().text;
        };
        model.startRefreshing(cwd);
        EXPECT_TRUE(settled());
    }
    bool settled() {
        return waitFor([this] {
            return !model.isRefreshing() && !actions.saving() && !actions.uploading() &&
                   !actions.updating() && !actions.creatingRepo() && !actions.checkingToken();
        });
    }
    // Waits for the next feedback line.
    QString nextFeedback() {
        const qsizetype seen = feedbacks.size();
        waitFor([&] { return feedbacks.size() > seen; }, 30000);
        settled();
        return feedbacks.value(seen);
    }
    GitPanelModel model;
    GitPanelActions actions;
    QStringList feedbacks;
};

} // namespace

TEST(GitPanelActions, SaveCommitsEverythingWithTheUsersIdentityAndHooks) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    writeFile(repo + "/README.md", "changed\n");
    writeFile(repo + "/new file.txt", "new\n");
    // A button runs git as the user's shell would: their hooks run.
    writeFile(repo + "/.git/hooks/pre-commit", "#!/bin/sh\ntouch .git/hook-ran\n");
    QFile::setPermissions(repo + "/.git/hooks/pre-commit",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Panel p(repo);

    EXPECT_FALSE(p.actions.saveClicked("   \n"));
    EXPECT_EQ(p.actions.feedback().text, "Please describe what you changed first.");
    EXPECT_FALSE(p.actions.saving()) << "an empty message never reaches git";

    EXPECT_TRUE(p.actions.saveClicked("  Tidy up  "));
    EXPECT_TRUE(p.actions.saving());
    EXPECT_EQ(p.nextFeedback(), "✓  Saved: Tidy up");
    EXPECT_TRUE(p.actions.feedback().success);
    EXPECT_EQ(git(repo, {"log", "-1", "--pretty=%an <%ae>|%s"}), "Test Person <test@example.org>|Tidy up");
    EXPECT_TRUE(QFile::exists(repo + "/.git/hook-ran"));
    EXPECT_TRUE(git(repo, {"status", "--porcelain"}).isEmpty());
    EXPECT_TRUE(waitFor([&] { return p.model.fileEntries().empty() && !p.model.isRefreshing(); }));

    // Nothing left to commit: git explains on standard output only.
    EXPECT_TRUE(p.actions.saveClicked("again"));
    EXPECT_TRUE(p.nextFeedback().startsWith("Error: "));
    EXPECT_FALSE(p.actions.feedback().success);
}

TEST(GitPanelActions, FeedbackHidesAfterItsTimeAndANewOneGetsItsFullTime) {
    Sandbox box;
    Panel p(makeRepo(box, "r"));
    p.actions.feedbackMs = 200;
    p.actions.showFeedback("one", true);
    p.actions.showFeedback("two", false);
    EXPECT_TRUE(p.actions.feedbackVisible());
    EXPECT_TRUE(waitFor([&] { return !p.actions.feedbackVisible(); }, 5000));
    EXPECT_EQ(p.actions.feedback().text, "two");
}

TEST(GitPanelActions, UndoNeedsASecondClickWhileItAsks) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    commitFile(repo, "a.txt", "a", "second");
    Panel p(repo);

    p.actions.undoCommitClicked();
    EXPECT_TRUE(p.actions.undoConfirming());
    EXPECT_EQ(git(repo, {"log", "-1", "--pretty=%s"}), "second") << "the first click only asks";
    p.actions.undoCommitClicked();
    EXPECT_FALSE(p.actions.undoConfirming());
    EXPECT_EQ(p.nextFeedback(), "Commit zurückgesetzt");
    EXPECT_EQ(git(repo, {"log", "-1", "--pretty=%s"}), "first");
    EXPECT_EQ(git(repo, {"status", "--porcelain"}), "A  a.txt") << "a soft reset keeps the work staged";

    // Once the question has run out, a click asks again instead of resetting.
    p.actions.undoConfirmMs = 100;
    p.actions.undoCommitClicked();
    ASSERT_TRUE(waitFor([&] { return !p.actions.undoConfirming(); }, 5000));
    p.actions.undoCommitClicked();
    EXPECT_TRUE(p.actions.undoConfirming());
    EXPECT_EQ(git(repo, {"log", "-1", "--pretty=%s"}), "first");

    // In a repository without a parent commit the reset fails and says so.
    p.actions.resetUndoConfirmState();
    p.actions.undoCommitClicked();
    p.actions.undoCommitClicked();
    EXPECT_FALSE(p.nextFeedback().isEmpty());
    EXPECT_FALSE(p.actions.feedback().success);
}

TEST(GitPanelActions, UploadPushesToTheRemoteOrAsksForANewRepository) {
    Sandbox box;
    QString bare;
    const QString repo = makeClonedRepo(box, "r", &bare);
    commitFile(repo, "a.txt", "a", "to push");
    Panel p(repo);
    EXPECT_EQ(p.model.ahead(), 1);
    p.actions.uploadClicked();
    EXPECT_TRUE(p.actions.uploading());
    EXPECT_EQ(p.nextFeedback(), "✓  Uploaded!");
    EXPECT_EQ(git(bare, {"log", "-1", "--pretty=%s", "main"}), "to push");
    EXPECT_TRUE(waitFor([&] { return p.model.ahead() == 0 && !p.model.isRefreshing(); }));

    Panel local(makeRepo(box, "local"));
    int overlays = 0;
    local.actions.onShowNewRepoOverlay = [&] { ++overlays; };
    local.actions.uploadClicked();
    EXPECT_EQ(overlays, 1);
    EXPECT_FALSE(local.actions.uploading());
}

TEST(GitPanelActions, SmartPullMergesDivergedWorkAndKeepsTheUsersOwnStash) {
    Sandbox box;
    QString bare;
    const QString repo = makeClonedRepo(box, "r", &bare);
    const QString other = cloneOf(box, bare, "other");

    // The user's own older stash, which must survive every pull below.
    writeFile(repo + "/README.md", "users stashed work\n");
    git(repo, {"stash", "push", "-q", "-m", "mine"});
    const QString usersStash = git(repo, {"rev-parse", "refs/stash"});

    struct Case {
        const char* name;
        std::function<void()> dirty;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"dirty tracked file",
         [&] {
             commitFile(repo, "local.txt", "committed\n", "local");
             writeFile(repo + "/local.txt", "edited\n");
         },
         [&] { EXPECT_EQ(readFile(repo + "/local.txt"), "edited\n"); }},
        {"untracked files only", [&] { writeFile(repo + "/scratch.txt", "mine\n"); },
         [&] { EXPECT_EQ(readFile(repo + "/scratch.txt"), "mine\n"); }},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pushFile(other, QStringLiteral("remote%1.txt").arg(round), "r\n", "remote work");
        commitFile(repo, QStringLiteral("mine%1.txt").arg(round), "m\n", "local work");
        ++round;
        c.dirty();

        Panel p(repo);
        p.actions.updateClicked();
        EXPECT_TRUE(p.actions.updating());
        EXPECT_EQ(p.nextFeedback(), "✓  Updated!");
        EXPECT_TRUE(p.actions.feedback().success);
        EXPECT_TRUE(QFile::exists(repo + QStringLiteral("/remote%1.txt").arg(round - 1))) << "merged";
        c.check();
        EXPECT_EQ(git(repo, {"rev-parse", "refs/stash"}), usersStash);
        EXPECT_EQ(git(repo, {"stash", "list"}).count('\n'), 0) << "one stash, the user's";
        git(repo, {"stash", "-q"}); // keep the next round's tree to its own change
        git(repo, {"stash", "drop", "-q"});
        git(repo, {"clean", "-qfd"});
    }
}

TEST(GitPanelActions, SmartPullWithAConflictAbortsAndRestoresTheWork) {
    Sandbox box;
    QString bare;
    const QString repo = makeClonedRepo(box, "r", &bare);
    const QString other = cloneOf(box, bare, "other");
    pushFile(other, "README.md", "theirs\n", "theirs");
    commitFile(repo, "README.md", "ours\n", "ours");
    writeFile(repo + "/notes.txt", "uncommitted\n");
    git(repo, {"add", "notes.txt"});

    Panel p(repo);
    p.actions.updateClicked();
    EXPECT_EQ(p.nextFeedback(), "⚠  Conflict in: README.md\nPlease resolve manually in Terminal.");
    EXPECT_FALSE(p.actions.feedback().success);
    EXPECT_EQ(gitStatus(repo, {"rev-parse", "-q", "--verify", "MERGE_HEAD"}), 1) << "no half-done merge";
    EXPECT_EQ(readFile(repo + "/README.md"), "ours\n");
    EXPECT_EQ(readFile(repo + "/notes.txt"), "uncommitted\n");
    EXPECT_EQ(gitStatus(repo, {"rev-parse", "-q", "--verify", "refs/stash"}), 1);
}

TEST(GitPanelActions, IgnoreWritesLinesThatNameExactlyTheFile) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    for (const char* name : {"my notes.txt", "#x", "keep.txt"}) writeFile(repo + "/" + name, "x");
    writeFile(repo + "/.gitignore", "*.log");
    Panel p(repo);

    p.actions.addToGitignore("my notes.txt");
    EXPECT_EQ(p.nextFeedback(), "→ .gitignore");
    p.actions.addToGitignore("#x");
    EXPECT_EQ(p.nextFeedback(), "→ .gitignore");
    p.actions.addToGitignore("#x");
    EXPECT_EQ(p.nextFeedback(), "Bereits ignoriert");
    EXPECT_EQ(readFile(repo + "/.gitignore"), "*.log\n/my notes.txt\n/#x\n");
    EXPECT_EQ(git(repo, {"status", "--porcelain", "--untracked-files=all"}), "?? .gitignore\n?? keep.txt");
    EXPECT_TRUE(waitFor([&] { return p.model.fileEntries().size() == 2 && !p.model.isRefreshing(); }));

    Panel outside(box.path(""));
    outside.actions.addToGitignore("x");
    EXPECT_EQ(outside.actions.feedback().text, "Kein Git-Repo");
}

TEST(GitPanelActions, AGitignoreThatCannotBeReadIsLeftAlone) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    writeFile(repo + "/a.txt", "x");
    // A FIFO in the repository's place of ".gitignore": reading it would wait for a writer forever.
    // Made once the panel has looked at the repository: git itself would wait on it too.
    Panel p(repo);
    ASSERT_TRUE(p.settled());
    const QString fifo = repo + "/.gitignore";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    p.actions.addToGitignore("a.txt");
    EXPECT_EQ(p.nextFeedback(), "Schreiben fehlgeschlagen");
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile()) << "still the FIFO";
}

TEST(GitPanelActions, InitMakesTheFolderARepository) {
    Sandbox box;
    QDir().mkpath(box.path("plain"));
    Panel p(box.path("plain"));
    EXPECT_FALSE(p.model.isGitRepo());
    p.actions.initRepoClicked();
    EXPECT_TRUE(waitFor([&] { return p.model.isGitRepo(); }));
    EXPECT_TRUE(QFileInfo(box.path("plain/.git")).isDir());
}

TEST(GitPanelActions, CreateRepositoryOnTheServiceThenTheFirstPush) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    const QString bare = box.path("hosted.git");
    git(box.path(""), {"init", "-q", "--bare", bare});
    LocalHttpServer server;
    server.handler = [&](const LocalHttpServer::Request& r) {
        if (r.method == "POST" && r.target == "/user/repos")
            return jsonResponse(201, QJsonDocument(QJsonObject{{"clone_url", bare}}).toJson());
        return jsonResponse(404, "{}");
    };
    GitHubEndpoints endpoints;
    endpoints.apiBase = server.url();
    Panel p(repo, endpoints);
    p.model.github().setToken("t0ken");
    int closed = 0;
    p.actions.onNewRepoDone = [&] { ++closed; };

    EXPECT_FALSE(p.actions.createRepoClicked("   ", false));
    EXPECT_TRUE(server.requests.isEmpty());
    EXPECT_TRUE(p.actions.createRepoClicked("My Cool Project!", true));
    EXPECT_TRUE(p.actions.creatingRepo());
    EXPECT_FALSE(p.nextFeedback().startsWith("Repo created, push failed"));
    EXPECT_TRUE(p.actions.feedback().success);
    EXPECT_EQ(closed, 1);
    ASSERT_EQ(server.requests.size(), 1);
    const QJsonObject sent = QJsonDocument::fromJson(server.requests[0].body).object();
    EXPECT_EQ(sent, (QJsonObject{{"name", "my-cool-project"}, {"private", true}, {"auto_init", false}}));
    EXPECT_EQ(git(repo, {"remote", "get-url", "origin"}), bare);
    EXPECT_EQ(git(bare, {"log", "-1", "--pretty=%s", "main"}), "first");

    // The service refuses: its message shows and nothing changes locally.
    server.handler = [](const LocalHttpServer::Request&) {
        return jsonResponse(422, R"({"message":"name already exists on this account"})");
    };
    EXPECT_TRUE(p.actions.createRepoClicked("proj", false));
    EXPECT_EQ(p.nextFeedback(), "Error: name already exists on this account");
    EXPECT_EQ(closed, 1);
}
