#include "webpicker/BrowserProfile.h"

#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace browser {

namespace {

// Where the folder is, or empty when it cannot be made. Main thread.
QString folderFor(int port, QString* problem) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return QDir::cleanPath(runtime) + QStringLiteral("/dunmar-chrome-debug-%1").arg(port);

    static QHash<int, QString> made;
    if (const auto it = made.constFind(port); it != made.constEnd()) return *it;
    QByteArray pattern =
        QFile::encodeName(QDir::tempPath() + QStringLiteral("/dunmar-chrome-debug-%1-XXXXXX").arg(port));
    if (!::mkdtemp(pattern.data())) {
        if (problem) *problem = QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
    return made[port] = QFile::decodeName(pattern);
}

} // namespace

std::optional<QString> profileFolder(int port, QString* problem) {
    const QString folder = folderFor(port, problem);
    // Checked at every use: a folder removed since is made again, and one another user put in its
    // place is refused.
    if (folder.isEmpty() || !privatefolder::ensure(folder, problem)) return std::nullopt;
    return folder;
}

} // namespace browser
