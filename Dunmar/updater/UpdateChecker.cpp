#include "updater/UpdateChecker.h"

#include "DunmarVersion.h"
#include "platform/BoundedReply.h"
#include "updater/ChecksumFile.h"
#include "updater/OffThread.h"
#include "updater/TrustedHost.h"
#include "updater/VersionCompare.h"

#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUuid>
#include <memory>

namespace {

// What the service may send: a release description, a checksum or signature file, an archive. A
// server that sends more, or keeps sending, is cut off; the archive may take its time (a slow line
// is still a line), the small answers may not.
constexpr FetchLimits kReleaseLimits{4 * 1024 * 1024, 120000};
constexpr FetchLimits kVerificationLimits{64 * 1024, 120000};
constexpr FetchLimits kArchiveLimits{512LL * 1024 * 1024, 0};

UpdateError networkError(QNetworkReply* reply, const BoundedReply* bounded) {
    const QString cut = bounded->cutMessage();
    return {UpdateError::kNetworkDomain, static_cast<int>(reply->error()),
            cut.isEmpty() ? reply->errorString() : cut};
}

// Whether the server answered at all. A transfer cut short (a time-out, a refused redirect, a file
// that could not be written) is a failure of the transport, whatever status came before it.
bool hasHttpStatus(QNetworkReply* reply) {
    return reply->error() != QNetworkReply::OperationCanceledError &&
           reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
}

// Downloads follow a redirect only to another trusted HTTPS address: the service's links lead to
// its asset host, and nowhere else.
void guardRedirects(QNetworkReply* reply, const QStringList& allowedHosts) {
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, allowedHosts](const QUrl& url) {
        if (isTrustedUpdateURL(url, allowedHosts))
            emit reply->redirectAllowed();
        else
            reply->abort();
    });
}

} // namespace

UpdateChecker::UpdateChecker(UpdateCheckerOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    if (options_.localVersion.isEmpty()) options_.localVersion = QString::fromLatin1(kAppVersion);
    if (options_.assetSuffix.isEmpty()) options_.assetSuffix = platformAssetSuffix();
}

UpdateChecker::~UpdateChecker() = default;

QNetworkRequest UpdateChecker::makeRequest(const QUrl& url, int timeoutMs) const {
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    if (!options_.extraCaCertificates.isEmpty()) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.addCaCertificates(options_.extraCaCertificates);
        request.setSslConfiguration(ssl);
    }
    return request;
}

void UpdateChecker::checkForUpdate(std::function<void(CheckResult)> done) {
    QUrl url = options_.apiBase;
    url.setPath(options_.releasePath);
    QNetworkRequest request = makeRequest(url, options_.checkTimeoutMs);
    request.setRawHeader("Accept", "application/vnd.github.v3+json");
    QNetworkReply* reply = network_.get(request);
    BoundedReply* bounded = BoundedReply::watch(reply, kReleaseLimits);
    connect(reply, &QNetworkReply::finished, this, [this, reply, bounded, done = std::move(done)] {
        reply->deleteLater();
        if (!hasHttpStatus(reply)) {
            done(networkError(reply, bounded));
            return;
        }
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status != 200) {
            done(UpdateError::checker(updatecode::kBadAnswer,
                                      QStringLiteral("Server returned HTTP ") + QString::number(status)));
            return;
        }
        const QByteArray body = bounded->takeBody();
        if (body.isEmpty()) {
            done(
                UpdateError::checker(updatecode::kBadAnswer, QStringLiteral("No data received from server")));
            return;
        }
        std::variant<GitHubRelease, UpdateError> parsed = parseRelease(body, options_.assetSuffix);
        if (auto* error = std::get_if<UpdateError>(&parsed)) {
            done(*error);
            return;
        }
        GitHubRelease release = std::get<GitHubRelease>(parsed);
        if (isNewerVersion(release.tagName, options_.localVersion))
            done(std::optional<GitHubRelease>(release));
        else
            done(std::optional<GitHubRelease>());
    });
}

void UpdateChecker::fetch(const QUrl& url, int timeoutMs, std::function<void(FetchResult)> done) {
    QNetworkRequest request = makeRequest(url, timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply* reply = network_.get(request);
    guardRedirects(reply, options_.allowedUpdateHosts);
    BoundedReply* bounded = BoundedReply::watch(reply, kVerificationLimits);
    connect(reply, &QNetworkReply::finished, this, [reply, bounded, done = std::move(done)] {
        reply->deleteLater();
        // An answer of the server, whatever its status, is the checksum's to judge: an error page
        // simply does not match.
        if (!hasHttpStatus(reply)) {
            done(networkError(reply, bounded));
            return;
        }
        done(bounded->takeBody());
    });
}

void UpdateChecker::downloadAndInstall(const GitHubRelease& release, const RunningInstall& install,
                                       std::function<void(double)> onProgress,
                                       std::function<void(InstallResult)> done) {
    if (inFlight_) {
        done(UpdateError::checker(updatecode::kUpdateInProgress,
                                  QStringLiteral("An update is already in progress")));
        return;
    }
    if (release.downloadURL.scheme() != QStringLiteral("https")) {
        done(UpdateError::checker(updatecode::kBadAnswer, QStringLiteral("Download URL must use HTTPS")));
        return;
    }
    if (!isTrustedUpdateHost(release.downloadURL.host(), options_.allowedUpdateHosts)) {
        done(UpdateError::checker(updatecode::kBadAnswer,
                                  QStringLiteral("Download URL from unexpected host: ") +
                                      release.downloadURL.host()));
        return;
    }
    inFlight_ = true;
    installDone_ = std::move(done);

    const QString archive = options_.temporaryDirectory + QStringLiteral("/Dunmar_update_") +
                            QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() +
                            QStringLiteral(".tar.gz");
    auto file = std::make_shared<QFile>(archive);
    QFile::remove(archive);
    if (!file->open(QIODevice::WriteOnly)) {
        finishUpdate(UpdateError::checker(updatecode::kDownloadFailed, QStringLiteral("Download failed")));
        return;
    }
    QNetworkRequest request = makeRequest(release.downloadURL, options_.assetTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply* reply = network_.get(request);
    guardRedirects(reply, options_.allowedUpdateHosts);
    auto written = std::make_shared<bool>(true);
    BoundedReply* bounded =
        BoundedReply::watch(reply, kArchiveLimits, [file, written](const QByteArray& piece) {
            *written = file->write(piece) == piece.size();
            return *written;
        });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [reply, onProgress](qint64 received, qint64 total) {
                // Without an announced length the network layer still reports the end as "all of it";
                // that is no measure of progress.
                if (!reply->header(QNetworkRequest::ContentLengthHeader).isValid()) return;
                if (total >= 1 && onProgress)
                    onProgress(static_cast<double>(received) / static_cast<double>(total));
            });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, bounded, file, written, archive, release, install] {
                reply->deleteLater();
                bounded->takeBody(); // what is left goes to the file
                const bool complete = *written && file->flush() && file->error() == QFile::NoError;
                file->close();
                if (!hasHttpStatus(reply) || !complete) {
                    QFile::remove(archive);
                    finishUpdate(complete ? networkError(reply, bounded)
                                          : UpdateError::checker(updatecode::kDownloadFailed,
                                                                 QStringLiteral("Download failed")));
                    return;
                }
                verifyAndInstall(archive, release, install);
            });
}

void UpdateChecker::verifyAndInstall(const QString& archive, const GitHubRelease& release,
                                     const RunningInstall& install) {
    const auto reject = [this, archive](const UpdateError& error) {
        QFile::remove(archive);
        finishUpdate(error);
    };
    if (!release.checksumURL)
        return reject(UpdateError::checker(
            updatecode::kNoVerificationAsset,
            QStringLiteral("Update rejected: no SHA256 checksum asset found in release")));
    if (!isTrustedUpdateURL(*release.checksumURL, options_.allowedUpdateHosts))
        return reject(UpdateError::checker(
            updatecode::kUntrustedVerificationAsset,
            QStringLiteral("Update rejected: checksum URL is not from a trusted HTTPS host")));
    if (!release.signatureURL)
        return reject(
            UpdateError::checker(updatecode::kNoVerificationAsset,
                                 QStringLiteral("Update rejected: no signature asset found in release")));
    if (!isTrustedUpdateURL(*release.signatureURL, options_.allowedUpdateHosts))
        return reject(UpdateError::checker(
            updatecode::kUntrustedVerificationAsset,
            QStringLiteral("Update rejected: signature URL is not from a trusted HTTPS host")));

    fetch(*release.checksumURL, options_.assetTimeoutMs, [=, this](FetchResult checksum) {
        if (auto* error = std::get_if<UpdateError>(&checksum)) return reject(*error);
        const QByteArray expected = std::get<QByteArray>(checksum);
        runOffThread(
            this, [archive, expected] { return checksumMatches(archive, expected); },
            [=, this](bool matches) {
                if (!matches)
                    return reject(UpdateError::checker(
                        updatecode::kChecksumMismatch,
                        QStringLiteral("SHA256 checksum mismatch — download may be corrupt or tampered")));
                fetch(*release.signatureURL, options_.assetTimeoutMs, [=, this](FetchResult signature) {
                    if (auto* error = std::get_if<UpdateError>(&signature)) return reject(*error);
                    if (onBeforeInstall)
                        if (std::optional<UpdateError> refusal = onBeforeInstall()) return reject(*refusal);
                    InstallRequest request{archive, std::get<QByteArray>(signature), options_.publicKey,
                                           install.root, install.identifier};
                    runOffThread(
                        this, [request] { return installUpdate(request); },
                        [this](InstallResult result) { finishUpdate(std::move(result)); });
                });
            });
    });
}

void UpdateChecker::finishUpdate(InstallResult result) {
    // An installed update stays in flight until its relaunch, or until it has been rolled back.
    if (std::holds_alternative<UpdateError>(result)) inFlight_ = false;
    auto done = std::move(installDone_);
    installDone_ = nullptr;
    if (done) done(std::move(result));
}
