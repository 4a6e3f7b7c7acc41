#include "platform/ProcessCwd.h"

#include <QDir>
#include <QFile>
#include <climits>
#include <string>
#include <unistd.h>

namespace {

QString ownCurrentDirectory() {
    const QString here = QDir::currentPath();
    // The current directory can vanish under a running process; the root is still a folder.
    return here.isEmpty() ? QStringLiteral("/") : here;
}

} // namespace

QString cwdForPid(pid_t pid) {
    if (pid > 0) {
        const std::string link = "/proc/" + std::to_string(pid) + "/cwd";
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
        // A result that fills the buffer may be cut short, so it is not trusted.
        if (n > 0 && static_cast<size_t>(n) < sizeof buffer)
            return QFile::decodeName(QByteArray(buffer, static_cast<qsizetype>(n)));
    }
    return ownCurrentDirectory();
}
