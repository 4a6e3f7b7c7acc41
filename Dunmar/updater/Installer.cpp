#include "updater/Installer.h"

#include "updater/ArchiveExtractor.h"
#include "updater/InstallManifest.h"
#include "updater/MinisignVerifier.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QString newUuid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool renamePath(const QString& from, const QString& to, QString* error) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool isExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink() && ::access(QFile::encodeName(path).constData(), X_OK) == 0;
}

bool identifierAccepted(const QString& running, const QString& incoming) {
    // A manifest without an identifier proves nothing about what it installs: refused.
    if (running.isEmpty() || incoming.isEmpty()) return false;
    return running == incoming || (running == kLegacyAppIdentifier && incoming == kAppIdentifier);
}

} // namespace

std::variant<InstalledUpdate, UpdateError> installUpdate(const InstallRequest& request) {
    // The archive is of no further use whatever happens, and a refused one must not linger.
    struct RemoveArchive {
        QString path;
        ~RemoveArchive() { QFile::remove(path); }
    } removeArchive{request.archivePath};

    QString why;
    if (!verifyMinisignFile(request.archivePath, request.signature, request.publicKey, &why))
        return UpdateError::checker(updatecode::kVerificationFailed,
                                    QStringLiteral("Signature verification failed — update aborted"));

    const QString root = QDir::cleanPath(QFileInfo(request.installRoot).absoluteFilePath());
    const QString parent = QFileInfo(root).absolutePath();
    if (::access(QFile::encodeName(parent).constData(), W_OK) != 0)
        return UpdateError::checker(updatecode::kNoWritePermission,
                                    QStringLiteral("No write permission at ") + parent);

    const QString staging = parent + u'/' + kExtractPrefix + newUuid();
    struct RemoveStaging {
        QString path;
        ~RemoveStaging() { QDir(path).removeRecursively(); }
    } removeStaging{staging};

    if (const std::optional<ExtractFailure> failure = extractArchive(request.archivePath, staging)) {
        if (failure->cannotOpen)
            return UpdateError::checker(updatecode::kExtractOpen,
                                        QStringLiteral("Failed to extract: ") + failure->reason);
        return UpdateError::checker(updatecode::kExtractFailed,
                                    QStringLiteral("Extraction failed: ") + failure->reason);
    }

    const std::optional<QString> newInstall = findInstallFolder(staging);
    if (!newInstall)
        return UpdateError::checker(updatecode::kNoInstallInArchive,
                                    QStringLiteral("No install folder found in archive"));
    const std::optional<InstallManifest> manifest = readInstallManifest(*newInstall);
    const QString executableName = manifest ? manifest->executable : kDefaultExecutableName;
    if (!isExecutableFile(*newInstall + u'/' + executableName))
        return UpdateError::checker(updatecode::kNoExecutable,
                                    QStringLiteral("Invalid install — no executable"));
    if (!manifest || !identifierAccepted(request.runningIdentifier, manifest->identifier))
        return UpdateError::checker(updatecode::kVerificationFailed,
                                    QStringLiteral("Bundle identifier mismatch — aborting update"));

    const QString backup = parent + u'/' + kBackupPrefix + newUuid();
    QString error;
    if (!renamePath(root, backup, &error))
        return UpdateError::checker(updatecode::kMoveOldFailed,
                                    QStringLiteral("Failed to move old install: ") + error);

    if (!renamePath(*newInstall, root, &error)) {
        // Whatever part of the new install reached the old one's place goes first, so that the
        // backup returns to an empty name rather than into a half-copied folder.
        QDir(root).removeRecursively();
        QFile::remove(root);
        if (!renamePath(backup, root, nullptr))
            return UpdateError::checker(
                updatecode::kPlaceNewFailed,
                QStringLiteral("Failed to install update: ") + error +
                    QStringLiteral(" — the previous version could not be restored and is at ") + backup);
        return UpdateError::checker(updatecode::kPlaceNewFailed,
                                    QStringLiteral("Failed to install update, rolled back: ") + error);
    }
    return InstalledUpdate{root, root + u'/' + executableName, backup};
}

std::optional<QString> rollBackUpdate(const InstalledUpdate& installed) {
    QDir(installed.installRoot).removeRecursively();
    QString error;
    if (!renamePath(installed.backupPath, installed.installRoot, &error))
        return QStringLiteral("the previous version could not be restored (") + error +
               QStringLiteral(") and is at ") + installed.backupPath;
    return std::nullopt;
}

bool removeUpdateBackup(const QString& backupPath, const QString& installRoot) {
    const QFileInfo backup(backupPath);
    const QString parent = QFileInfo(QDir::cleanPath(installRoot)).absolutePath();
    if (!backup.isAbsolute() || !backup.fileName().startsWith(kBackupPrefix) ||
        backup.absolutePath() != parent || !backup.isDir() || backup.isSymLink())
        return false;
    return QDir(backup.absoluteFilePath()).removeRecursively();
}
