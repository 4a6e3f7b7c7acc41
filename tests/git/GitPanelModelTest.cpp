// The panel's model kept current: the refresh off the GUI thread, the timer's two intervals, the
// watchers on HEAD and the index, a failed status, a change of folder, and the sync line.
#include "git/GitPanelModel.h"

#include "GitTestSupport.h"
#include "LocalHttpServer.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace gittest;

namespace {

// Refreshes once and waits for the snapshot to be applied.
bool refreshed(GitPanelModel& model) {
    int applied = 0;
    model.onUpdated = [&](const QString&) { ++applied; };
    model.refresh();
    const bool ok = waitFor([&] { return applied > 0 && !model.isRefreshing(); });
    model.onUpdated = nullptr;
    return ok;
}

} // namespace

TEST(GitPanelModel, WithoutAFolderNothingRefreshes) {
    GitPanelModel model;
    model.refresh();
    EXPECT_FALSE(model.isRefreshing());
    model.startRefreshing(QString());
    EXPECT_FALSE(model.isRefreshing());
}

TEST(GitPanelModel, SnapshotIsAppliedAndTheIntervalFollowsWhetherItIsARepository) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    writeFile(repo + "/new.txt", "x");
    QDir().mkpath(box.path("plain"));

    GitPanelModel model;
    QString projectName;
    model.onUpdated = [&](const QString& name) { projectName = name; };
    model.startRefreshing(repo);
    EXPECT_TRUE(model.isRefreshing());
    model.refresh(); // dropped while one runs
    ASSERT_TRUE(waitFor([&] { return !model.isRefreshing(); }));
    EXPECT_EQ(projectName, "proj");
    EXPECT_TRUE(model.isGitRepo());
    EXPECT_EQ(model.currentBranch(), "main");
    ASSERT_EQ(model.fileEntries().size(), 1u);
    EXPECT_EQ(model.fileEntries()[0].path, "new.txt");
    EXPECT_EQ(model.watchedGitRoot(), repo);
    EXPECT_EQ(model.refreshInterval(), 5000);

    model.updateCwd(box.path("plain"));
    ASSERT_TRUE(waitFor([&] { return !model.isRefreshing() && !model.isGitRepo(); }));
    EXPECT_EQ(model.refreshInterval(), 30000);
    EXPECT_FALSE(model.watchedGitRoot());
    EXPECT_TRUE(model.fileEntries().empty());

    model.updateCwd(repo);
    ASSERT_TRUE(waitFor([&] { return !model.isRefreshing() && model.isGitRepo(); }));
    EXPECT_EQ(model.refreshInterval(), 5000);

    model.stopRefreshing();
    EXPECT_EQ(model.refreshInterval(), 0);
    EXPECT_FALSE(model.watchedGitRoot());
}

TEST(GitPanelModel, ACommitMadeInATerminalShowsThroughTheWatchers) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    GitPanelModel model;
    model.repoIntervalMs = 600000; // only the watchers can notice
    model.startRefreshing(repo);
    ASSERT_TRUE(waitFor([&] { return model.watchedGitRoot().has_value() && !model.isRefreshing(); }));

    // Twice: git replaces the index by a rename, and the watch must survive the first one.
    for (const char* subject : {"made outside", "made outside again"}) {
        commitFile(repo, QStringLiteral("%1.txt").arg(subject), "x", subject);
        EXPECT_TRUE(waitFor([&] { return model.lastCommitSummary().value_or("").endsWith(subject); }, 5000))
            << subject;
    }
    git(repo, {"checkout", "-q", "-b", "topic"});
    EXPECT_TRUE(waitFor([&] { return model.currentBranch() == "topic"; }, 5000));
}

TEST(GitPanelModel, AFailedStatusKeepsTheFilesShownBefore) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    writeFile(repo + "/pending.txt", "x");
    GitPanelModel model;
    model.startRefreshing(repo);
    ASSERT_TRUE(waitFor([&] { return !model.isRefreshing() && model.fileEntries().size() == 1; }));

    writeFile(repo + "/.git/index", "not an index");
    ASSERT_TRUE(refreshed(model));
    EXPECT_TRUE(model.isGitRepo());
    EXPECT_TRUE(model.statusFailed());
    ASSERT_EQ(model.fileEntries().size(), 1u) << "not \"nothing to do\"";
    EXPECT_EQ(model.fileEntries()[0].path, "pending.txt");
}

TEST(GitPanelModel, AHungFetchEndsAtItsLimitAndRefreshingGoesOn) {
    Sandbox box;
    LocalHttpServer silent(true);
    const QString repo = makeClonedRepo(box, "r");
    git(repo, {"remote", "set-url", "origin", silent.url().toString() + "/r.git"});
    GitPanelModel model;
    model.timeLimits.networkMs = 300;
    model.startRefreshing(repo);
    ASSERT_TRUE(waitFor([&] { return !model.isRefreshing(); }));
    commitFile(repo, "later.txt", "x", "later");
    EXPECT_TRUE(refreshed(model));
    EXPECT_EQ(model.ahead(), 1);
}

TEST(GitPanelModel, SignedInRefreshSetsTheSyncLine) {
    Sandbox box;
    const QString repo = makeClonedRepo(box, "r");
    commitFile(repo, "a", "a", "ahead");
    GitPanelModel model;
    ASSERT_TRUE(waitFor([&] { return model.github().initialTokenResolved(); }));
    model.startRefreshing(repo);
    ASSERT_TRUE(waitFor([&] { return !model.isRefreshing(); }));
    EXPECT_FALSE(model.syncLine()) << "not signed in: the line is left alone";

    model.github().setToken("t0ken");
    std::optional<SyncLine> reported;
    model.onSyncLine = [&](const SyncLine& line) { reported = line; };
    ASSERT_TRUE(refreshed(model));
    ASSERT_TRUE(reported);
    EXPECT_EQ(reported->text, "↑ 1 change to push");
    EXPECT_TRUE(reported->uploadVisible);
    EXPECT_FALSE(reported->updateVisible);
}

TEST(GitPanelModel, DiffsNameTheirFileAfterTheSeparatorAndRunInTheTopLevel) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    commitFile(repo, "--output=README.md", "one\n", "odd name");
    writeFile(repo + "/--output=README.md", "two\n");
    QDir().mkpath(repo + "/sub");
    writeFile(repo + "/staged.txt", "staged\n");
    git(repo, {"add", "staged.txt"});
    GitPanelModel model;
    model.startRefreshing(repo + "/sub");
    ASSERT_TRUE(waitFor([&] { return !model.isRefreshing() && model.fileEntries().size() == 2; }));

    QStringList diffs;
    for (const GitFileEntry& entry : model.fileEntries())
        model.loadDiff(entry, [&](const QString& diff) { diffs << diff; });
    ASSERT_TRUE(waitFor([&] { return diffs.size() == 2; }));
    diffs.sort();
    EXPECT_TRUE(diffs[0].contains("-one\n+two")) << diffs[0].toStdString();
    EXPECT_TRUE(diffs[1].contains("+staged")) << "the staged change of a file added to the index";
    EXPECT_EQ(readFile(repo + "/README.md"), "hello\n") << "no file was written by the diff";

    bool answered = false;
    model.loadDiff({"never-changed.txt", ' ', 'M'}, [&](const QString& diff) {
        answered = true;
        EXPECT_EQ(diff, "No diff available");
    });
    EXPECT_TRUE(waitFor([&] { return answered; }));
}
