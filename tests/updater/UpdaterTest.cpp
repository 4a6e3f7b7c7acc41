// The updates as the user meets them: scheduled and manual checks with their toasts, the download
// with its progress, the hand-over to the installed copy, and the migration from the former name.
#include "updater/Updater.h"

#include "DunmarVersion.h"
#include "UpdaterTestSupport.h"
#include "localisation/Loc.h"
#include "support/Waits.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace updatertest;

namespace {

const QString kLatest = QStringLiteral("/repos/KASPELL/Dunmar/releases/latest");

struct UpdaterFixture : testing::Test {
    QTemporaryDir temp;
    QTemporaryDir installParent;
    ReleaseServer server;
    QString root = installParent.filePath("dunmar");
    QString lockPath = temp.filePath("Dunmar.lock");
    QString marker = temp.filePath("started");
    RecordingHost* host = nullptr;
    std::unique_ptr<Updater> updater;

    void SetUp() override {
        Loc::setEnvironment({[] { return std::string("en"); }, [](const std::string&) {},
                             [] { return std::vector<std::string>{"en"}; }});
        makeInstall(root, kAppIdentifier, "1.0.0");
    }
    void TearDown() override { Loc::setEnvironment({}); }

    // The new copy records its arguments and whether it could take the lock the old one held.
    QByteArray newCopyScript() const {
        return "#!/bin/sh\nif flock -n '" + QFile::encodeName(lockPath) +
               "' true; then state=locked; else "
               "state=busy; fi\necho \"$state $*\" > '" +
               QFile::encodeName(marker) + "'\n";
    }
    void publish(const QString& tag, const QByteArray& script, const QString& identifier = kAppIdentifier) {
        const QString archive = temp.filePath("published.tar.gz");
        writeTarGz(archive, installEntries("dunmar", identifier, tag.mid(1), script));
        server.setRoute(kLatest,
                        {200, releaseJson(server, tag, {kAsset, kAsset + ".sha256", kAsset + ".minisig"})});
        server.setRoute("/download/" + kAsset, {200, readFile(archive)});
        server.setRoute("/download/" + kAsset + ".sha256", {200, sha256Hex(archive)});
        server.setRoute("/download/" + kAsset + ".minisig", {200, sign(archive)});
    }
    void start(std::optional<RunningInstall> install, std::optional<QString> backup = std::nullopt) {
        auto recording = std::make_unique<RecordingHost>(lockPath);
        host = recording.get();
        UpdaterOptions options;
        options.checker = checkerOptions(server, temp.path());
        options.install = std::move(install);
        options.previousInstallBackup = std::move(backup);
        options.relaunchDelayMs = 0;
        options.migrationDelayMs = 0;
        updater = std::make_unique<Updater>(std::move(recording), std::move(options));
    }
    QStringList toastTexts() const {
        QStringList texts;
        for (const auto& t : host->toasts) texts.append(t.badge + " " + t.text);
        return texts;
    }
    int latestRequests() const { return server.requests().count(kLatest); }
};

} // namespace

TEST_F(UpdaterFixture, automaticChecksFollowTheSettingAndToastANewerRelease) {
    publish("v1.2.0", "#!/bin/sh\n");
    start(runningInstall(root));
    host->autoCheck = false;
    updater->scheduleUpdateCheck(0);
    EXPECT_FALSE(updater->updateCheckTimer().isActive());

    host->autoCheck = true;
    updater->scheduleUpdateCheck(0);
    EXPECT_TRUE(updater->updateCheckTimer().isActive());
    EXPECT_EQ(updater->updateCheckTimer().interval(), 3 * 24 * 3600 * 1000);
    QTRY_COMPARE_WITH_TIMEOUT(host->toasts.size(), 1, 10000);
    EXPECT_EQ(toastTexts(), QStringList{QString::fromUtf8("UPDATE v1.2.0 available — click to install")});
    EXPECT_EQ(host->toasts[0].dismissAfter, 12.0);
    EXPECT_TRUE(host->toasts[0].onClick);
    EXPECT_EQ(updater->pendingReleaseTag(), "v1.2.0");

    host->autoCheck = false;
    updater->scheduleUpdateCheck(0);
    EXPECT_FALSE(updater->updateCheckTimer().isActive());
    EXPECT_EQ(latestRequests(), 1);
}

TEST_F(UpdaterFixture, aCopyOutsideAnInstallNeverChecksAndSaysWhereToUpdate) {
    start(std::nullopt);
    updater->scheduleUpdateCheck(0);
    EXPECT_FALSE(updater->updateCheckTimer().isActive());
    updater->manualCheckForUpdate();
    updater->startUpdateDownload({"v1.2.0", server.url("/x"), {}, {}});
    updater->startMigrationToDunmar();
    ASSERT_EQ(host->toasts.size(), 2);
    EXPECT_EQ(host->toasts[0].text, QString::fromStdString(Loc::onlyWithAppBundle()));
    EXPECT_TRUE(host->toasts[0].text.contains("package manager"));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(UpdaterFixture, aManualCheckToastsEveryOutcomeWhateverTheSetting) {
    start(runningInstall(root));
    host->autoCheck = false;
    server.setRoute(kLatest, {200, releaseJson(server, "1.0.0", {kAsset})});
    updater->manualCheckForUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(host->toasts.size(), 2, 10000);
    EXPECT_EQ(toastTexts(), (QStringList{"UPDATE Checking...", "UPDATE Already up to date (v" +
                                                                   QString::fromLatin1(kAppVersion) + ")"}));
    EXPECT_EQ(host->toasts[0].dismissAfter, 3.0);

    server.setRoute(kLatest, {500, "down"});
    updater->manualCheckForUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(host->toasts.size(), 4, 10000);
    EXPECT_EQ(host->toasts[3].text, QString::fromUtf8("Check failed — try again later"));

    // A tag without its "v" is shown with one.
    server.setRoute(kLatest, {200, releaseJson(server, "1.2.0", {kAsset})});
    updater->manualCheckForUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(host->toasts.size(), 6, 10000);
    EXPECT_EQ(host->toasts[5].text, QString::fromUtf8("v1.2.0 available — click to install"));

    updater = nullptr;
    start(runningInstall(root));
    updater->installPendingUpdate();
    EXPECT_EQ(toastTexts(), QStringList{"UPDATE No update available"});
}

TEST_F(UpdaterFixture, aClickedUpdateInstallsAndHandsOverToTheNewCopy) {
    publish("v1.2.0", newCopyScript());
    start(runningInstall(root));
    updater->manualCheckForUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(host->toasts.size(), 2, 10000);
    host->toasts[1].onClick();

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    const QStringList backups = entriesStartingWith(installParent.path(), "Dunmar_backup_");
    ASSERT_EQ(backups.size(), 1);
    const QString backup = installParent.filePath(backups[0]);
    QTRY_COMPARE_WITH_TIMEOUT(readFile(marker).trimmed(), "locked --post-update " + QFile::encodeName(backup),
                              10000);
    EXPECT_EQ(host->quits, 1);
    EXPECT_EQ(host->sessionSaves, 1);
    EXPECT_EQ(readInstallManifest(root)->version, "1.2.0");
    EXPECT_EQ(host->toasts.last().badge, "SUCCESS");
    EXPECT_EQ(host->toasts.last().text, QString::fromUtf8("Update installed — restarting…"));
    EXPECT_EQ(host->progress.first(), 0.0);
    EXPECT_EQ(host->progressDismissed, 1);

    // The new copy is up: its predecessor's backup goes.
    updater = nullptr;
    start(runningInstall(root), backup);
    updater->applicationDidFinishLaunching();
    EXPECT_FALSE(QFileInfo::exists(backup));
}

TEST_F(UpdaterFixture, aNewCopyThatCannotStartIsRolledBack) {
    publish("v1.2.0", "#!/nonexistent/interpreter\n");
    start(runningInstall(root));
    const QMap<QString, QByteArray> before = snapshot(root);
    updater->startUpdateDownload({"v1.2.0", server.url("/download/" + kAsset),
                                  server.url("/download/" + kAsset + ".sha256"),
                                  server.url("/download/" + kAsset + ".minisig")});
    QTRY_VERIFY_WITH_TIMEOUT(!host->toasts.isEmpty() && host->toasts.last().badge == "ERROR", 10000);
    EXPECT_EQ(host->toasts.last().text, QString::fromUtf8("Relaunch failed — please restart manually"));
    EXPECT_EQ(snapshot(root), before);
    EXPECT_TRUE(entriesStartingWith(installParent.path(), "Dunmar_").isEmpty());
    EXPECT_EQ(host->quits, 0);
    EXPECT_FALSE(updater->updateChecker().isUpdateInFlight()) << "another attempt may run";
}

TEST_F(UpdaterFixture, unsavedEditorTabsOrARunningUpdateRefuseAnother) {
    publish("v1.2.0", newCopyScript());
    start(runningInstall(root));
    const GitHubRelease release{"v1.2.0", server.url("/download/" + kAsset),
                                server.url("/download/" + kAsset + ".sha256"),
                                server.url("/download/" + kAsset + ".minisig")};
    host->unsavedEditors = true;
    updater->startUpdateDownload(release);
    ASSERT_EQ(host->toasts.size(), 1);
    EXPECT_EQ(host->toasts[0].badge, "ERROR");
    EXPECT_TRUE(host->toasts[0].text.contains("unsaved")) << host->toasts[0].text.toStdString();
    EXPECT_TRUE(server.requests().isEmpty());

    // Two requests at once (the toast and the palette): the second is refused, the first installs.
    host->unsavedEditors = false;
    updater->startUpdateDownload(release);
    updater->startUpdateDownload(release);
    ASSERT_EQ(host->toasts.size(), 2);
    EXPECT_EQ(host->toasts[1].text, "An update is already in progress");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    EXPECT_EQ(server.requests().count("/download/" + kAsset), 1);
    EXPECT_EQ(entriesStartingWith(installParent.path(), "Dunmar_backup_").size(), 1);
}

TEST_F(UpdaterFixture, progressReachesTheToastOnlyOnAWholePercentChange) {
    QByteArray payload(3 * 1024 * 1024, 'x');
    server.setRoute("/download/" + kAsset, {200, payload});
    server.setRoute("/download/" + kAsset + ".sha256", {200, "0"});
    start(runningInstall(root));
    updater->startUpdateDownload({"v1.2.0", server.url("/download/" + kAsset),
                                  server.url("/download/" + kAsset + ".sha256"),
                                  server.url("/download/" + kAsset + ".minisig")});
    QTRY_COMPARE_WITH_TIMEOUT(host->progressDismissed, 1, 10000);
    ASSERT_FALSE(host->progress.isEmpty());
    QList<int> percents;
    for (double p : host->progress) percents.append(static_cast<int>(p * 100));
    for (int i = 1; i < percents.size(); ++i)
        EXPECT_NE(percents[i], percents[i - 1]) << "a repeated percentage";
    EXPECT_EQ(percents.last(), 100);
    EXPECT_EQ(host->toasts.last().text,
              QString::fromUtf8("SHA256 checksum mismatch — download may be corrupt or tampered"));
}

TEST_F(UpdaterFixture, aLegacyCopyMigratesAndRetriesAfterAFailedQuery) {
    start(runningInstall(root, kLegacyAppIdentifier));
    server.setRoute(kLatest, {503, "busy"});
    updater->applicationDidFinishLaunching();
    QTRY_COMPARE_WITH_TIMEOUT(host->toasts.size(), 2, 10000);
    EXPECT_EQ(toastTexts(),
              (QStringList{QString::fromUtf8("RENAMED pocketShell → Dunmar  Installing update…"),
                           QString::fromUtf8("RENAMED pocketShell → Dunmar  Tap to retry")}));
    EXPECT_EQ(host->toasts[1].dismissAfter, 12.0) << "a toast that asks for a tap stays long enough for one";
    EXPECT_EQ(host->toasts[0].dismissAfter, 12.0);

    publish("v1.2.0", newCopyScript(), kAppIdentifier);
    host->toasts[1].onClick();
    EXPECT_EQ(host->toasts[2].text, QString::fromUtf8("pocketShell → Dunmar  Installing update…"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    EXPECT_EQ(updater->pendingReleaseTag(), "v1.2.0");
    EXPECT_EQ(readInstallManifest(root)->identifier, kAppIdentifier);
    EXPECT_EQ(latestRequests(), 2);
}

TEST_F(UpdaterFixture, aCopyWithTheCurrentIdentifierNeverMigrates) {
    start(runningInstall(root));
    updater->applicationDidFinishLaunching();
    testsupport::drainEvents();
    EXPECT_TRUE(host->toasts.isEmpty());
    EXPECT_TRUE(server.requests().isEmpty());
}
