#include "app/updater/UpdaterServiceHost.h"

#include "app/AppDelegate.h"
#include "app/process/InstanceServer.h"
#include "app/process/SingleInstanceLock.h"
#include "app/updater/DownloadProgressToast.h"
#include "platform/Defaults.h"
#include "settings/SettingsKeys.h"
#include "updater/Updater.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <sys/file.h>
#include <thread>

UpdaterServiceHost::UpdaterServiceHost(AppDelegate& app, Defaults& defaults, int lockFd,
                                       InstanceServer* instanceServer)
    : app_(app), defaults_(defaults), lockFd_(lockFd), instanceServer_(instanceServer) {}

void UpdaterServiceHost::showUpdateToast(const QString& badge, const QString& text, const QColor& badgeColor,
                                         double dismissAfter, std::function<void()> onClick) {
    app_.showGenericToast(badge, text, badgeColor, dismissAfter, ToastService::kDefaultIdentifier,
                          std::move(onClick));
}

void UpdaterServiceHost::showDownloadProgressToast(double fraction) {
    downloadprogress::show(app_.toasts(), fraction);
}

void UpdaterServiceHost::dismissDownloadProgressToast() {
    downloadprogress::dismiss(app_.toasts());
}

bool UpdaterServiceHost::autoCheckUpdates() const {
    return defaults_.boolean(settings::kAutoCheckUpdates);
}

bool UpdaterServiceHost::hasUnsavedEditorTabs() const {
    const std::vector<bool> dirty = app_.workspace().tabs().tabEditorDirty();
    return std::find(dirty.begin(), dirty.end(), true) != dirty.end();
}

void UpdaterServiceHost::saveSessionForRelaunch() {
    app_.saveSession();
    defaults_.synchronize();
}

void UpdaterServiceHost::releaseInstanceLock() {
    if (instanceServer_) instanceServer_->stopListening();
    if (lockFd_ >= 0) ::flock(lockFd_, LOCK_UN);
}

void UpdaterServiceHost::retakeInstanceLock() {
    if (lockFd_ >= 0) ::flock(lockFd_, LOCK_EX | LOCK_NB);
    if (instanceServer_) instanceServer_->listenAgain();
}

void UpdaterServiceHost::quitForRelaunch() {
    app_.terminateWithoutConfirmation();
}

Updater& installUpdaterService(AppDelegate& app, Defaults& defaults, int lockFd,
                               InstanceServer& instanceServer, std::optional<QString> previousInstallBackup) {
    UpdaterOptions options;
    // Taken now: once an update has moved this install aside, the running executable's own path
    // names the backup.
    options.install = runningInstallOf(QCoreApplication::applicationFilePath());
    options.previousInstallBackup = std::move(previousInstallBackup);
    auto updater = std::make_unique<Updater>(
        std::make_unique<UpdaterServiceHost>(app, defaults, lockFd, &instanceServer), std::move(options));
    Updater& result = *updater;
    app.services().updater = std::move(updater);
    return result;
}

std::optional<QString> postUpdateBackupArgument(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--post-update") == 0) return QString::fromLocal8Bit(argv[i + 1]);
    return std::nullopt;
}

int acquireLockAfterUpdate(const std::string& lockPath, std::string* problem) {
    constexpr auto kPatience = std::chrono::seconds(5);
    constexpr auto kRetryEvery = std::chrono::milliseconds(100);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        const int fd = instancelock::acquire(lockPath, problem);
        if (fd >= 0 || (problem && !problem->empty()) || std::chrono::steady_clock::now() >= deadline)
            return fd;
        std::this_thread::sleep_for(kRetryEvery);
    }
}
