#include "updater/Updater.h"

#include "DunmarVersion.h"
#include "localisation/Loc.h"
#include "localisation/LocFormat.h"
#include "updater/UpdaterHost.h"

#include <QPointer>
#include <QProcess>
#include <cmath>

namespace {

const QString kUpdateBadge = QStringLiteral("UPDATE");
const QString kRenamedBadge = QStringLiteral("RENAMED");
const QColor kGreen = QColor::fromRgbF(0.18f, 0.55f, 0.34f);
const QColor kRed = QColor::fromRgbF(0.6f, 0.2f, 0.18f);
const QColor kGrey = QColor::fromRgbF(0.35f, 0.35f, 0.35f);
const QColor kMigrationBlue = QColor::fromRgbF(0.18f, 0.45f, 0.8f);
// The migration's toasts stay as long as the toast of a found update: the retry one asks to be
// clicked and must stay long enough for that.
constexpr double kUpdateToastSeconds = 12.0;

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString formatted(const std::string& format, const QString& argument) {
    const std::string value = argument.toStdString();
    return text(dunmar::loc::fillFormat(format, {std::string_view(value)}));
}

} // namespace

Updater::Updater(std::unique_ptr<UpdaterHost> host, UpdaterOptions options, QObject* parent)
    : QObject(parent), host_(std::move(host)), options_(std::move(options)),
      updateChecker_(std::make_unique<UpdateChecker>(options_.checker)) {
    updateChecker_->onBeforeInstall = [this] { return refusalBeforeInstall(); };
    updateCheckTimer_.setInterval(options_.checkIntervalMs);
    connect(&updateCheckTimer_, &QTimer::timeout, this, &Updater::silentUpdateCheck);
    firstCheck_.setSingleShot(true);
    connect(&firstCheck_, &QTimer::timeout, this, &Updater::silentUpdateCheck);
}

Updater::~Updater() = default;

void Updater::applicationDidFinishLaunching() {
    if (options_.previousInstallBackup && options_.install)
        removeUpdateBackup(*options_.previousInstallBackup, options_.install->root);
    if (options_.install && options_.install->identifier == kLegacyAppIdentifier)
        QTimer::singleShot(options_.migrationDelayMs, this, &Updater::startMigrationToDunmar);
}

void Updater::scheduleUpdateCheck(double initialDelaySeconds) {
    updateCheckTimer_.stop();
    firstCheck_.stop();
    if (!host_->autoCheckUpdates() || !options_.install) return;
    firstCheck_.start(static_cast<int>(std::max(0.0, initialDelaySeconds) * 1000));
    updateCheckTimer_.start();
}

void Updater::silentUpdateCheck() {
    if (!host_->autoCheckUpdates()) return;
    const QPointer<Updater> self(this);
    updateChecker_->checkForUpdate([self](UpdateChecker::CheckResult result) {
        if (!self) return;
        const auto* release = std::get_if<std::optional<GitHubRelease>>(&result);
        if (!release || !*release) return;
        self->pendingRelease_ = **release;
        self->showUpdateToast((*release)->tagName);
    });
}

void Updater::manualCheckForUpdate() {
    if (!options_.install) return showNotAnInstallToast();
    host_->showUpdateToast(kUpdateBadge, text(Loc::checking()), kGrey, 3.0);
    const QPointer<Updater> self(this);
    updateChecker_->checkForUpdate([self](UpdateChecker::CheckResult result) {
        if (!self) return;
        if (const auto* release = std::get_if<std::optional<GitHubRelease>>(&result)) {
            if (*release) {
                self->pendingRelease_ = **release;
                self->showUpdateToast((*release)->tagName);
            } else {
                self->host_->showUpdateToast(
                    kUpdateBadge, formatted(Loc::alreadyUpToDate(), QString::fromLatin1(kAppVersion)), kGreen,
                    6.0);
            }
            return;
        }
        self->host_->showUpdateToast(kUpdateBadge, text(Loc::checkFailed()), kRed, 6.0);
    });
}

void Updater::installPendingUpdate() {
    if (!pendingRelease_) {
        host_->showUpdateToast(kUpdateBadge, text(Loc::noUpdateAvailable()), kGrey, 6.0);
        return;
    }
    startUpdateDownload(*pendingRelease_);
}

std::optional<QString> Updater::pendingReleaseTag() const {
    if (!pendingRelease_) return std::nullopt;
    return pendingRelease_->tagName;
}

void Updater::showUpdateToast(const QString& version) {
    const QString shown = version.startsWith(u'v') ? version : u'v' + version;
    const QPointer<Updater> self(this);
    host_->showUpdateToast(kUpdateBadge, formatted(Loc::updateAvailable(), shown), kGreen,
                           kUpdateToastSeconds, [self] {
                               if (self && self->pendingRelease_)
                                   self->startUpdateDownload(*self->pendingRelease_);
                           });
}

void Updater::showNotAnInstallToast() {
    host_->showUpdateToast(kUpdateBadge, text(Loc::onlyWithAppBundle()), kRed, 6.0);
}

std::optional<UpdateError> Updater::refusalBeforeInstall() const {
    if (!host_->hasUnsavedEditorTabs()) return std::nullopt;
    return UpdateError::checker(
        updatecode::kUnsavedEditors,
        QStringLiteral("Save or close the editor tabs with unsaved changes, then update again"));
}

void Updater::startUpdateDownload(const GitHubRelease& release) {
    if (!options_.install) return showNotAnInstallToast();
    // Refused before anything is fetched; asked again right before the swap, since the user may
    // edit while the archive downloads.
    if (const std::optional<UpdateError> refusal = refusalBeforeInstall()) {
        host_->showUpdateToast(QStringLiteral("ERROR"), refusal->message, kRed, 8.0);
        return;
    }
    if (updateChecker_->isUpdateInFlight()) {
        host_->showUpdateToast(QStringLiteral("ERROR"), QStringLiteral("An update is already in progress"),
                               kRed, 8.0);
        return;
    }
    host_->showDownloadProgressToast(0);
    // The toast follows whole percents; every network chunk would redraw it for nothing.
    auto shownPercent = std::make_shared<int>(0);
    const QPointer<Updater> self(this);
    updateChecker_->downloadAndInstall(
        release, *options_.install,
        [self, shownPercent](double fraction) {
            const int percent = static_cast<int>(std::trunc(fraction * 100));
            if (!self || percent == *shownPercent) return;
            *shownPercent = percent;
            self->host_->showDownloadProgressToast(fraction);
        },
        [self](UpdateChecker::InstallResult result) {
            if (!self) return;
            self->host_->dismissDownloadProgressToast();
            if (const auto* error = std::get_if<UpdateError>(&result)) {
                self->host_->showUpdateToast(QStringLiteral("ERROR"), error->message, kRed, 8.0);
                return;
            }
            self->host_->showUpdateToast(QStringLiteral("SUCCESS"), text(Loc::updateInstalled()), kGreen,
                                         3.0);
            const InstalledUpdate installed = std::get<InstalledUpdate>(result);
            QTimer::singleShot(self->options_.relaunchDelayMs, self, [self, installed] {
                if (self) self->relaunch(installed);
            });
        });
}

void Updater::relaunch(const InstalledUpdate& installed) {
    const auto fail = [this, &installed](const QString& message) {
        const std::optional<QString> problem = rollBackUpdate(installed);
        host_->retakeInstanceLock();
        updateChecker_->endUpdate();
        host_->showUpdateToast(QStringLiteral("ERROR"),
                               problem ? message + QStringLiteral(": ") + *problem : message, kRed, 8.0);
    };
    // Ending the program now would lose what an editor tab holds; the old version goes back.
    if (host_->hasUnsavedEditorTabs())
        return fail(
            QStringLiteral("Update undone — save or close the editor tabs with unsaved changes first"));

    // The new copy waits for the lock a little while; this one lets it go first, so that the new
    // copy is not turned away as a second instance.
    host_->releaseInstanceLock();
    host_->saveSessionForRelaunch();
    if (!QProcess::startDetached(installed.executablePath,
                                 {QStringLiteral("--post-update"), installed.backupPath},
                                 installed.installRoot))
        return fail(QStringLiteral("Relaunch failed — please restart manually"));
    host_->quitForRelaunch();
}

void Updater::startMigrationToDunmar() {
    if (!options_.install) return;
    host_->showUpdateToast(kRenamedBadge, QStringLiteral("pocketShell → Dunmar  Installing update…"),
                           kMigrationBlue, kUpdateToastSeconds);
    const QPointer<Updater> self(this);
    updateChecker_->checkForUpdate([self](UpdateChecker::CheckResult result) {
        if (!self) return;
        if (const auto* release = std::get_if<std::optional<GitHubRelease>>(&result)) {
            if (!*release) return;
            self->pendingRelease_ = **release;
            self->startUpdateDownload(**release);
            return;
        }
        self->host_->showUpdateToast(kRenamedBadge, QStringLiteral("pocketShell → Dunmar  Tap to retry"),
                                     kRed, kUpdateToastSeconds, [self] {
                                         if (self) self->startMigrationToDunmar();
                                     });
    });
}
