#pragma once

#include "updater/UpdateError.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

// Replaces an install with the one in a verified release archive. Nothing is extracted before the
// archive's signature has been checked; the new install is unpacked beside the old one (the same
// file system), and the swap is two renames: the old install becomes the backup beside it, the new
// one takes its name. Every failure leaves the old install as it was, and the archive is removed
// on every path. Blocking: run it off the main thread.
struct InstallRequest {
    QString archivePath;
    QByteArray signature; // the archive's minisign signature file
    QByteArray publicKey; // the key it must verify against
    QString installRoot;  // the running install's folder
    QString runningIdentifier;
};

struct InstalledUpdate {
    QString installRoot;
    QString executablePath; // the new install's executable
    QString backupPath;     // the old install, kept until the new copy has started
};

std::variant<InstalledUpdate, UpdateError> installUpdate(const InstallRequest& request);

// Puts the old install back after the new one did not start: the new install is removed and the
// backup renamed to the install's name. None on success, else the reason (the backup stays where
// it is, and the reason names it).
std::optional<QString> rollBackUpdate(const InstalledUpdate& installed);

// The new copy started well: its predecessor's backup goes. Only a folder beside `installRoot`
// named like a backup is removed, whatever path the command line handed over.
bool removeUpdateBackup(const QString& backupPath, const QString& installRoot);

// The name prefixes of the folders beside the install.
inline const QString kExtractPrefix = QStringLiteral("Dunmar_extract_");
inline const QString kBackupPrefix = QStringLiteral("Dunmar_backup_");
