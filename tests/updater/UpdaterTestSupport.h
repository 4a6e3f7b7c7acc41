#pragma once

#include "updater/GitHubRelease.h"
#include "updater/InstallManifest.h"
#include "updater/UpdateChecker.h"
#include "updater/UpdaterHost.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMap>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <functional>

namespace updatertest {

// A certificate authority of the test run and a server certificate for 127.0.0.1 signed by it,
// made once per process with openssl.
struct TestCertificates {
    QSslCertificate authority;
    QSslCertificate server;
    QSslKey serverKey;
};
const TestCertificates& testCertificates();

// An HTTPS server on 127.0.0.1 that answers fixed routes, one request per connection.
class ReleaseServer : public QTcpServer {
public:
    struct Route {
        int status = 200;
        QByteArray body;
        bool announceLength = true;
    };
    ReleaseServer();
    QUrl url(const QString& path) const;
    void setRoute(const QString& path, Route route) { routes_[path] = std::move(route); }
    QStringList requests() const { return requests_; }
    QMap<QString, QByteArray> lastHeaders() const { return lastHeaders_; }

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    QMap<QString, Route> routes_;
    QStringList requests_;
    QMap<QString, QByteArray> lastHeaders_;
};

// Options that point a checker at `server` and trust its authority, with `tempDir` for archives.
UpdateCheckerOptions checkerOptions(const ReleaseServer& server, const QString& tempDir,
                                    const QString& localVersion = QStringLiteral("1.0.0"));

// The answer of the service for a release `tag` whose assets are named in `assetNames`, each served
// by `server` under "/download/<name>".
QByteArray releaseJson(const ReleaseServer& server, const QString& tag, const QStringList& assetNames);
inline const QString kAsset = QStringLiteral("dunmar-linux-test.tar.gz");
inline const QString kSuffix = QStringLiteral("-linux-test.tar.gz");

// A minisign key pair made for the test run; `sign` writes the file's signature and returns it.
struct SigningKey {
    QString secretKeyPath;
    QByteArray publicKey; // the .pub file's text
};
const SigningKey& signingKey();
const SigningKey& otherSigningKey();
QByteArray sign(const QString& filePath, const SigningKey& key = signingKey());

// One entry of a test archive.
struct TarEntry {
    enum class Kind { file, directory, symlink, hardlink } kind = Kind::file;
    QString path;
    QByteArray content; // a file's bytes
    int mode = 0644;
    QString linkTarget; // a link's target
};
void writeTarGz(const QString& path, const QList<TarEntry>& entries);

// The entries of an install named `folder` inside the archive: its manifest and an executable
// script with `script` as its body.
QList<TarEntry> installEntries(const QString& folder, const QString& identifier, const QString& version,
                               const QByteArray& script);
// An install on disk at `root` (created), in the same shape.
void makeInstall(const QString& root, const QString& identifier, const QString& version,
                 const QByteArray& script = "#!/bin/sh\nexit 0\n");
RunningInstall runningInstall(const QString& root, const QString& identifier = kAppIdentifier);

// Every file, folder and link below `root` with its kind, mode and bytes: two equal snapshots mean
// a byte-identical tree.
QMap<QString, QByteArray> snapshot(const QString& root);
// Names in `folder` that start with `prefix`.
QStringList entriesStartingWith(const QString& folder, const QString& prefix);

QByteArray sha256Hex(const QString& path);
void writeFile(const QString& path, const QByteArray& content);
QByteArray readFile(const QString& path);

// The controller as the updater's tests see it: what it was asked to show and do, and a real lock.
class RecordingHost : public UpdaterHost {
public:
    struct Toast {
        QString badge;
        QString text;
        QColor color;
        double dismissAfter = 0;
        std::function<void()> onClick;
    };
    explicit RecordingHost(QString lockPath = {});
    ~RecordingHost() override;

    void showUpdateToast(const QString& badge, const QString& text, const QColor& badgeColor,
                         double dismissAfter, std::function<void()> onClick) override;
    void showDownloadProgressToast(double fraction) override { progress.append(fraction); }
    void dismissDownloadProgressToast() override { ++progressDismissed; }
    bool autoCheckUpdates() const override { return autoCheck; }
    bool hasUnsavedEditorTabs() const override { return unsavedEditors; }
    void saveSessionForRelaunch() override { ++sessionSaves; }
    void releaseInstanceLock() override;
    void retakeInstanceLock() override;
    void quitForRelaunch() override { ++quits; }

    QList<Toast> toasts;
    QList<double> progress;
    int progressDismissed = 0;
    bool autoCheck = true;
    bool unsavedEditors = false;
    int sessionSaves = 0;
    int quits = 0;
    int lockFd = -1;
};

} // namespace updatertest
