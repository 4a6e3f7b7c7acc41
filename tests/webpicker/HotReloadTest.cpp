// Hot reload: the watcher of a file or a folder on its own, and the connected tab reloading in a real
// headless Chromium when its file is saved in place or by rename, or its folder changes.
#include "ConnectedSidebar.h"
#include "webpicker/HotReloadWatcher.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace {

void write(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(content);
}

// As most editors save: a new file renamed over the old one.
void saveByRename(const QString& path, const QByteArray& content) {
    write(path + ".tmp", content);
    ASSERT_EQ(::rename(QFile::encodeName(path + ".tmp").constData(), QFile::encodeName(path).constData()), 0);
}

// a/b/c/deep is at depth 4, a/b/near at depth 3.
void makeTree(const QString& root) {
    QDir(root).mkpath("a/b/c");
    write(root + "/a/b/near", "1");
    write(root + "/a/b/c/deep", "1");
    write(root + "/.hidden", "1");
}

} // namespace

TEST(HotReloadWatcher, ScansToDepthThreeAndDropsStaleScans) {
    QTemporaryDir dir;
    makeTree(dir.path());
    const HotReloadWatcher::Snapshot snapshot = HotReloadWatcher::scanMtimes(dir.path());
    EXPECT_TRUE(snapshot.contains(dir.filePath("a/b/near")));
    EXPECT_TRUE(snapshot.contains(dir.filePath("a/b/c")));
    EXPECT_TRUE(snapshot.contains(dir.filePath(".hidden")));
    EXPECT_FALSE(snapshot.contains(dir.filePath("a/b/c/deep")));
    EXPECT_EQ(snapshot.size(), 5);

    // A scan that ends after its watch was stopped changes nothing and reports nothing.
    HotReloadWatcher watcher;
    int changes = 0;
    watcher.onChange = [&] { ++changes; };
    watcher.setPollIntervalMs(1);
    watcher.watchFolder(dir.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher.isScanRunning(); }, 15000));
    watcher.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.isScanRunning(); }, 15000));
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(watcher.snapshot().isEmpty());
}

TEST(HotReloadWatcher, FollowsAFileReplacedByRenameAndReportsALostOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("page.html");
    write(path, "1");
    HotReloadWatcher watcher;
    int changes = 0, lost = 0;
    watcher.onChange = [&] { ++changes; };
    watcher.onFileLost = [&] { ++lost; };
    watcher.setReplaceWaitMs(200);
    ASSERT_TRUE(watcher.watchFile(path));
    saveByRename(path, "2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes >= 1; }, 15000));
    // Still watching the new file.
    write(path, "3");
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes >= 2; }, 15000));
    QFile::remove(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return lost == 1; }, 15000));
    EXPECT_FALSE(watcher.isWatchingFile());
    EXPECT_FALSE(watcher.watchFile(dir.filePath("missing.html")));
}

using HotReload = testsupport::ConnectedSidebarTest;

TEST_F(HotReload, ReloadsTheTabForItsFileAndForItsFolder) {
    pages().addPage("/project", "<!doctype html><title>project</title>");
    connectTo("/project");
    auto timeOrigin = [&] { return eval("performance.timeOrigin").toDouble(); };

    // A page opened from a file: that file is watched.
    QTemporaryDir files;
    const QString path = files.filePath("my page.html");
    write(path, "<!doctype html><title>file</title>");
    const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    sidebar->connection().cdp().cdpCommand("Page.navigate", {{"url", url}},
                                           [](std::optional<QJsonObject>) {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return eval("document.title").toString() == "file"; }, 20000));
    ui(*sidebar).hotReloadButton()->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ui(*sidebar).watchStatusLabel()->text() == "● my page.html"; }, 20000));
    EXPECT_TRUE(ui(*sidebar).watchFolderButton()->isHidden());

    double before = timeOrigin();
    write(path, "<!doctype html><title>saved</title>");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return timeOrigin() != before && eval("document.title") == QJsonValue("saved"); }, 20000));
    EXPECT_EQ(ui(*sidebar).watchStatusLabel()->text(), "↺ reloaded");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ui(*sidebar).watchStatusLabel()->text() == "● my page.html"; }, 15000));

    before = timeOrigin();
    saveByRename(path, "<!doctype html><title>renamed</title>");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return timeOrigin() != before && eval("document.title") == QJsonValue("renamed"); }, 20000));
    before = timeOrigin();
    write(path, "<!doctype html><title>again</title>");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return timeOrigin() != before && eval("document.title") == QJsonValue("again"); }, 20000));

    // Off stops the watch at once.
    ui(*sidebar).hotReloadButton()->click();
    EXPECT_FALSE(sidebar->hotReload().watcher().isWatchingFile());

    // A served page: the stored project folder is polled, to depth 3.
    QTemporaryDir project;
    makeTree(project.path());
    defaults->setValue("webPickerWatchFolder", project.path());
    open("/project");
    sidebar->hotReload().watcher().setPollIntervalMs(50);
    ui(*sidebar).hotReloadButton()->click();
    const QString folderName = QDir(project.path()).dirName();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return ui(*sidebar).watchStatusLabel()->text() == "● 5 files in " + folderName; }, 20000))
        << ui(*sidebar).watchStatusLabel()->text().toStdString();
    EXPECT_FALSE(ui(*sidebar).watchFolderButton()->isHidden());

    before = timeOrigin();
    write(project.filePath("a/b/c/deep"), "changed at depth 4");
    const quint64 scans = sidebar->hotReload().watcher().scansCompleted();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sidebar->hotReload().watcher().scansCompleted() >= scans + 2; }, 15000));
    EXPECT_EQ(timeOrigin(), before) << "a change at depth 4 does not reload";

    write(project.filePath("a/b/near"), "changed at depth 3");
    ASSERT_TRUE(QTest::qWaitFor([&] { return timeOrigin() != before; }, 20000));

    // Without a usable folder the row waits for one.
    ui(*sidebar).hotReloadButton()->click();
    defaults->setValue("webPickerWatchFolder", project.filePath("gone"));
    ui(*sidebar).hotReloadButton()->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return !ui(*sidebar).watchRow()->isHidden() && !ui(*sidebar).watchFolderButton()->isHidden() &&
                   !sidebar->hotReload().watcher().isWatchingFolder();
        },
        10000));
}
