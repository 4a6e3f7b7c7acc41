// One refresh's snapshot of real repositories: branch, remote and the counts against it, the
// changed files with hostile names, detached HEAD, a large status, and a remote that never answers.
#include "git/RepositorySnapshot.h"

#include "GitTestSupport.h"
#include "LocalHttpServer.h"

#include <QDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace gittest;

namespace {
const GitTimeLimits kLimits;

QStringList tagged(const RepositorySnapshot& snap) {
    QStringList out;
    for (const GitFileEntry& e : snap.entries) out << statusTagStyle(statusTag(e.x, e.y)).text + " " + e.path;
    out.sort();
    return out;
}
} // namespace

TEST(RepositorySnapshot, OutsideARepositoryOnlyTheProjectNameIsKnown) {
    Sandbox box;
    QDir().mkpath(box.path("plain"));
    const RepositorySnapshot snap = takeRepositorySnapshot(box.path("plain"), kLimits);
    EXPECT_FALSE(snap.isRepo);
    EXPECT_FALSE(snap.topLevel);
    EXPECT_EQ(snap.projectName, "plain");
    EXPECT_TRUE(snap.entries.empty());
    EXPECT_FALSE(takeRepositorySnapshot(box.path("gone"), kLimits).isRepo);
}

TEST(RepositorySnapshot, BranchRemoteAndCountsOnEitherSide) {
    Sandbox box;
    QString bare;
    const QString clone = makeClonedRepo(box, "proj", &bare);
    QDir().mkpath(clone + "/sub");
    RepositorySnapshot snap = takeRepositorySnapshot(clone + "/sub", kLimits);
    EXPECT_TRUE(snap.isRepo);
    EXPECT_EQ(snap.topLevel, clone);
    EXPECT_EQ(snap.projectName, "sub") << "the folder followed, not the top level";
    EXPECT_EQ(snap.branch, "main");
    EXPECT_TRUE(snap.hasRemote);
    EXPECT_EQ(std::make_pair(snap.ahead, snap.behind), std::make_pair(0, 0));
    EXPECT_TRUE(snap.lastCommit && snap.lastCommit->endsWith(" first"));

    // Two commits here, one pushed from elsewhere: the refresh's fetch sees the remote's.
    commitFile(clone, "a.txt", "a", "local one");
    commitFile(clone, "b.txt", "b", "local two");
    const QString other = cloneOf(box, bare, "other");
    pushFile(other, "c.txt", "c", "remote one");
    snap = takeRepositorySnapshot(clone, kLimits);
    EXPECT_EQ(std::make_pair(snap.ahead, snap.behind), std::make_pair(2, 1));
    EXPECT_EQ(snap.lastCommit->section(' ', 1), "local two");
}

TEST(RepositorySnapshot, WithoutRemoteOrCommitsOrBranch) {
    Sandbox box;
    const QString fresh = box.path("fresh");
    QDir().mkpath(fresh);
    git(fresh, {"init", "-q"});
    RepositorySnapshot snap = takeRepositorySnapshot(fresh, kLimits);
    EXPECT_TRUE(snap.isRepo);
    EXPECT_FALSE(snap.hasRemote);
    EXPECT_FALSE(snap.lastCommit) << "no commit yet";

    const QString repo = makeRepo(box, "r");
    commitFile(repo, "x", "1", "second");
    git(repo, {"checkout", "-q", "--detach", "HEAD~1"});
    snap = takeRepositorySnapshot(repo, kLimits);
    EXPECT_EQ(snap.branch, "") << "a detached HEAD has no branch";
}

TEST(RepositorySnapshot, ChangedFilesWithTheirTagsAndHostileNames) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    commitFile(repo, "gone.txt", "1", "c");
    commitFile(repo, "staged.txt", "1", "c");
    commitFile(repo, "both.txt", "1", "c");
    commitFile(repo, "old name.txt", "1", "c");
    QFile::remove(repo + "/gone.txt");
    writeFile(repo + "/staged.txt", "2");
    git(repo, {"add", "staged.txt"});
    writeFile(repo + "/both.txt", "2");
    git(repo, {"add", "both.txt"});
    writeFile(repo + "/both.txt", "3");
    git(repo, {"mv", "old name.txt", "new name.txt"});
    writeFile(repo + "/README.md", "changed\n");
    for (const char* name : {"my notes.txt", "\"quoted\".txt", "caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac.txt",
                             "--output=README.md", "#x", "tab\there"})
        writeFile(repo + "/" + QString::fromUtf8(name), "new");

    const RepositorySnapshot snap = takeRepositorySnapshot(repo, kLimits);
    EXPECT_FALSE(snap.statusFailed);
    EXPECT_EQ(
        tagged(snap),
        (QStringList{"BEREIT new name.txt", "BEREIT staged.txt", "BEREIT+MOD both.txt", "DELETED gone.txt",
                     "MODIFIED README.md", "NEW \"quoted\".txt", "NEW #x", "NEW --output=README.md",
                     QStringLiteral("NEW café 日本.txt"), "NEW my notes.txt", "NEW tab\there"}));
    EXPECT_EQ(readFile(repo + "/README.md"), "changed\n") << "no name reached git as an option";
}

TEST(RepositorySnapshot, ANameThatIsNotUtf8KeepsTheListAndItsPlace) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    const QByteArray latin1Name = QFile::encodeName(repo) + "/caf\xe9.txt";
    const int fd = ::open(latin1Name.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    writeFile(repo + "/plain.txt", "x");
    const RepositorySnapshot snap = takeRepositorySnapshot(repo, kLimits);
    EXPECT_FALSE(snap.statusFailed);
    ASSERT_EQ(snap.entries.size(), 2u);
    EXPECT_TRUE(snap.entries[0].path.startsWith("caf"));
    EXPECT_EQ(snap.entries[1].path, "plain.txt");
}

TEST(RepositorySnapshot, ConflictAndDeletedAgainstConflict) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    commitFile(repo, "shared.txt", "base\n", "base");
    commitFile(repo, "removed.txt", "base\n", "base");
    git(repo, {"checkout", "-q", "-b", "other"});
    commitFile(repo, "shared.txt", "theirs\n", "theirs");
    commitFile(repo, "removed.txt", "theirs\n", "theirs");
    git(repo, {"checkout", "-q", "main"});
    commitFile(repo, "shared.txt", "ours\n", "ours");
    git(repo, {"rm", "-q", "removed.txt"});
    git(repo, {"commit", "-q", "-m", "remove"});
    EXPECT_NE(gitStatus(repo, {"merge", "other"}), 0);
    EXPECT_EQ(tagged(takeRepositorySnapshot(repo, kLimits)),
              (QStringList{"DELETED removed.txt", "KONFLIKT shared.txt"}));
}

TEST(RepositorySnapshot, TenThousandChangedFiles) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    QDir().mkpath(repo + "/many");
    for (int i = 0; i < 10000; ++i) writeFile(QStringLiteral("%1/many/file %2.txt").arg(repo).arg(i), "x");
    const RepositorySnapshot snap = takeRepositorySnapshot(repo, kLimits);
    EXPECT_EQ(snap.entries.size(), 1u) << "an untracked folder is one entry";
    git(repo, {"add", "many"});
    const RepositorySnapshot staged = takeRepositorySnapshot(repo, kLimits);
    ASSERT_EQ(staged.entries.size(), 10000u);
    EXPECT_EQ(staged.entries.front().x, 'A');
}

TEST(RepositorySnapshot, ARemoteThatNeverAnswersEndsTheFetchAtItsLimit) {
    Sandbox box;
    LocalHttpServer silent(true);
    const QString repo = makeClonedRepo(box, "r");
    git(repo, {"remote", "set-url", "origin", silent.url().toString() + "/r.git"});
    commitFile(repo, "a", "a", "ahead");
    GitTimeLimits limits;
    limits.networkMs = 500;
    const RepositorySnapshot snap = takeRepositorySnapshot(repo, limits);
    EXPECT_TRUE(snap.isRepo);
    EXPECT_TRUE(snap.hasRemote);
    EXPECT_EQ(snap.ahead, 1) << "counted against the last state fetched";
}
