#pragma once

#include <QString>
#include <optional>

// A self-contained install: a folder the user can write, holding the executable, its resources and
// "bundle.json" ({"identifier": ..., "executable": ..., "version": ...}). Only such an install
// updates itself; a copy from a distribution package or a build folder is the package manager's.
inline const QString kManifestName = QStringLiteral("bundle.json");
inline const QString kAppIdentifier = QStringLiteral("com.k9rt.dunmar");
inline const QString kLegacyAppIdentifier = QStringLiteral("com.k9rt.dunmar-legacy");
inline const QString kDefaultExecutableName = QStringLiteral("Dunmar");

struct InstallManifest {
    QString identifier; // empty when the manifest names none
    QString executable; // the executable's file name inside the install
    QString version;
};

// The manifest in `folder`, or none when it is missing or not a JSON object. An executable that
// is absent or not a plain file name ("../x", "a/b") gives the default name.
std::optional<InstallManifest> readInstallManifest(const QString& folder);

// The running program's install.
struct RunningInstall {
    QString root;           // absolute, without a trailing slash
    QString executablePath; // absolute path of the running executable, taken at launch
    QString identifier;
};

// The install `executablePath` runs from: its folder holds a manifest with an identifier that
// names this executable, and the user may write the folder. None otherwise.
std::optional<RunningInstall> runningInstallOf(const QString& executablePath);

// The first install folder below `folder` (depth first, a folder before its contents, so the
// outermost one wins), or none.
std::optional<QString> findInstallFolder(const QString& folder);
