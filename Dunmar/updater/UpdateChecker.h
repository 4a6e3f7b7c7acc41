#pragma once

#include "updater/GitHubRelease.h"
#include "updater/InstallManifest.h"
#include "updater/Installer.h"
#include "updater/ReleaseKey.h"
#include "updater/UpdateError.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <variant>

class QNetworkReply;

// Where releases come from and what they are checked against. The defaults are the program's;
// tests point them at a server of their own.
struct UpdateCheckerOptions {
    QUrl apiBase{QStringLiteral("https://api.github.com")};
    QString releasePath = QStringLiteral("/repos/KASPELL/Dunmar/releases/latest");
    // The service's web host, then its release-asset host (where the web host's links redirect).
    QStringList allowedUpdateHosts{QStringLiteral("github.com"),
                                   QStringLiteral("objects.githubusercontent.com")};
    QString localVersion; // the running version; kAppVersion when empty
    QString assetSuffix;  // platformAssetSuffix() when empty
    QByteArray publicKey{kReleasePublicKey};
    QList<QSslCertificate> extraCaCertificates;
    int checkTimeoutMs = 15000;
    // The archive, checksum and signature downloads end when no byte has arrived for this long, so
    // that a stalled download cannot hold the one update in flight for ever.
    int assetTimeoutMs = 60000;
    QString temporaryDirectory = QDir::tempPath();
};

// The one updater of the process: asks for the latest release, and downloads, verifies and installs
// one. Everything runs on the main thread; the blocking steps (hashing, verifying, unpacking,
// swapping) run on a worker and report back here. Only one download and installation runs at a
// time: a second request while one is in flight is refused.
class UpdateChecker : public QObject {
    Q_OBJECT
public:
    explicit UpdateChecker(UpdateCheckerOptions options = {}, QObject* parent = nullptr);
    ~UpdateChecker() override;

    const UpdateCheckerOptions& options() const { return options_; }

    // The latest release when it is newer than the running version, none when it is not.
    using CheckResult = std::variant<std::optional<GitHubRelease>, UpdateError>;
    void checkForUpdate(std::function<void(CheckResult)> done);

    // Downloads the release's archive (reporting the fraction received while the server announced
    // a length), checks its SHA-256 against the release's checksum asset and its signature against
    // the program's key, and installs it in place of `install`. On success the new install is in
    // place and the old one is its backup; relaunching is the caller's.
    using InstallResult = std::variant<InstalledUpdate, UpdateError>;
    void downloadAndInstall(const GitHubRelease& release, const RunningInstall& install,
                            std::function<void(double)> onProgress, std::function<void(InstallResult)> done);

    // Asked right before the swap; an error given here stops the installation with that error.
    std::function<std::optional<UpdateError>()> onBeforeInstall;

    // Whether a download or installation runs, or an installed update waits for its relaunch.
    bool isUpdateInFlight() const { return inFlight_; }
    // The installed update was rolled back (its relaunch failed): another may run.
    void endUpdate() { inFlight_ = false; }

private:
    using FetchResult = std::variant<QByteArray, UpdateError>;
    QNetworkRequest makeRequest(const QUrl& url, int timeoutMs) const;
    void fetch(const QUrl& url, int timeoutMs, std::function<void(FetchResult)> done);
    void verifyAndInstall(const QString& archive, const GitHubRelease& release,
                          const RunningInstall& install);
    void finishUpdate(InstallResult result);

    UpdateCheckerOptions options_;
    QNetworkAccessManager network_;
    bool inFlight_ = false;
    std::function<void(InstallResult)> installDone_;
};
