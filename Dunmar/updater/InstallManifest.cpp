#include "updater/InstallManifest.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <unistd.h>

namespace {

bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && name != QStringLiteral(".") &&
           name != QStringLiteral("..");
}

} // namespace

std::optional<InstallManifest> readInstallManifest(const QString& folder) {
    QFile file(folder + u'/' + kManifestName);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(64 * 1024));
    if (!doc.isObject()) return std::nullopt;
    const QJsonObject object = doc.object();
    InstallManifest manifest;
    manifest.identifier = object.value(QStringLiteral("identifier")).toString();
    const QString executable = object.value(QStringLiteral("executable")).toString();
    manifest.executable = isPlainFileName(executable) ? executable : kDefaultExecutableName;
    manifest.version = object.value(QStringLiteral("version")).toString();
    return manifest;
}

std::optional<RunningInstall> runningInstallOf(const QString& executablePath) {
    const QFileInfo exe(executablePath);
    if (!exe.isAbsolute()) return std::nullopt;
    const QString root = exe.absolutePath();
    const std::optional<InstallManifest> manifest = readInstallManifest(root);
    if (!manifest || manifest->identifier.isEmpty() || manifest->executable != exe.fileName())
        return std::nullopt;
    if (::access(QFile::encodeName(root).constData(), W_OK) != 0) return std::nullopt;
    return RunningInstall{root, exe.absoluteFilePath(), manifest->identifier};
}

std::optional<QString> findInstallFolder(const QString& folder) {
    if (QFileInfo::exists(folder + u'/' + kManifestName)) return folder;
    // Breadth inside one folder does not matter; what matters is that an install is found before
    // anything inside it, which walking level by level guarantees.
    QStringList level{folder};
    while (!level.isEmpty()) {
        QStringList next;
        for (const QString& dir : level) {
            const QFileInfoList children =
                QDir(dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
            for (const QFileInfo& child : children) {
                if (QFileInfo::exists(child.absoluteFilePath() + u'/' + kManifestName))
                    return child.absoluteFilePath();
                next.append(child.absoluteFilePath());
            }
        }
        level = next;
    }
    return std::nullopt;
}
