#pragma once

#include "updater/GitHubRelease.h"
#include "updater/InstallManifest.h"
#include "updater/UpdateChecker.h"
#include "updater/UpdaterService.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

class UpdaterHost;

struct UpdaterOptions {
    UpdateCheckerOptions checker;
    // The install the program runs from; none for a package manager's copy or a build folder,
    // which never update themselves.
    std::optional<RunningInstall> install;
    // Handed over by the copy that installed this one: its backup, removed once this copy is up.
    std::optional<QString> previousInstallBackup;
    int relaunchDelayMs = 3000;
    int migrationDelayMs = 1500;
    int checkIntervalMs = 3 * 24 * 3600 * 1000;
};

// The updates as the user meets them: the silent checks after launch and every three days while
// the setting is on, the check on demand, the toasts of every outcome, the download with its
// progress, the hand-over to the installed copy, and the migration of a copy from the time of the
// former name. Lives on the main thread for the whole process.
class Updater final : public QObject, public UpdaterService {
    Q_OBJECT
public:
    Updater(std::unique_ptr<UpdaterHost> host, UpdaterOptions options, QObject* parent = nullptr);
    ~Updater() override;

    // The launch is complete: the previous version's backup goes, and a copy that still carries
    // the former name's identifier moves over to the current release a moment later.
    void applicationDidFinishLaunching();

    // UpdaterService
    void scheduleUpdateCheck(double initialDelaySeconds) override;
    void manualCheckForUpdate() override;
    void installPendingUpdate() override;
    std::optional<QString> pendingReleaseTag() const override;

    void silentUpdateCheck();
    void showUpdateToast(const QString& version);
    void startUpdateDownload(const GitHubRelease& release);
    void startMigrationToDunmar();

    UpdateChecker& updateChecker() { return *updateChecker_; }
    const std::optional<GitHubRelease>& pendingRelease() const { return pendingRelease_; }
    const QTimer& updateCheckTimer() const { return updateCheckTimer_; }

    // The release's archive is in place: after a pause for the toast, hand over to the new copy.
    void relaunch(const InstalledUpdate& installed);

private:
    std::optional<UpdateError> refusalBeforeInstall() const;
    void showNotAnInstallToast();

    std::unique_ptr<UpdaterHost> host_;
    UpdaterOptions options_;
    std::unique_ptr<UpdateChecker> updateChecker_;
    std::optional<GitHubRelease> pendingRelease_;
    QTimer updateCheckTimer_;
    QTimer firstCheck_;
};
