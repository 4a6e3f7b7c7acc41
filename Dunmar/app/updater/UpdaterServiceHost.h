#pragma once

#include "updater/UpdaterHost.h"

#include <QString>
#include <optional>

class AppDelegate;
class Defaults;
class InstanceServer;
class Updater;

// The controller as the updater sees it: toasts in its window, the setting in its store, its editor
// tabs, its saved tabs and its way out, and the entry point's single instance: its lock and the
// socket on which it listens.
class UpdaterServiceHost final : public UpdaterHost {
public:
    UpdaterServiceHost(AppDelegate& app, Defaults& defaults, int lockFd, InstanceServer* instanceServer);

    void showUpdateToast(const QString& badge, const QString& text, const QColor& badgeColor,
                         double dismissAfter, std::function<void()> onClick) override;
    void showDownloadProgressToast(double fraction) override;
    void dismissDownloadProgressToast() override;
    bool autoCheckUpdates() const override;
    bool hasUnsavedEditorTabs() const override;
    void saveSessionForRelaunch() override;
    void releaseInstanceLock() override;
    void retakeInstanceLock() override;
    void quitForRelaunch() override;

private:
    AppDelegate& app_;
    Defaults& defaults_;
    int lockFd_;
    InstanceServer* instanceServer_;
};

// Puts the real updater in the controller's place for it and returns it. `defaults` is the
// controller's settings store, `lockFd` the entry
// point's held lock and `instanceServer` its socket; `previousInstallBackup` what "--post-update"
// handed over.
Updater& installUpdaterService(AppDelegate& app, Defaults& defaults, int lockFd,
                               InstanceServer& instanceServer, std::optional<QString> previousInstallBackup);

// The argument a copy that has just installed this one passes: "--post-update <backup folder>".
std::optional<QString> postUpdateBackupArgument(int argc, char** argv);

// A freshly installed copy may start a moment before its predecessor has let the lock go: it asks
// again for a few seconds before it counts as a second instance.
int acquireLockAfterUpdate(const std::string& lockPath, std::string* problem);
