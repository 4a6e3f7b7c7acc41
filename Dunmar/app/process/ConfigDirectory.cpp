#include "app/process/ConfigDirectory.h"

#include <QFile>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;

namespace configdir {

QString path(const QString& home) {
    return home + QStringLiteral("/.glimmerdock");
}

QString formerPath(const QString& home) {
    return home + QStringLiteral("/.pocketshell");
}

void ensureExists(const QString& home) {
    ::mkdir(QFile::encodeName(path(home)).constData(), 0755);
}

Takeover takeOverFormerFolder(const QString& home) {
    std::error_code ec;
    const fs::path former(QFile::encodeName(formerPath(home)).toStdString());
    const fs::path current(QFile::encodeName(path(home)).toStdString());
    if (!fs::is_directory(former, ec)) return Takeover::nothingToTakeOver;

    const bool currentExists = fs::exists(fs::symlink_status(current, ec));
    if (currentExists && !(fs::is_directory(current, ec) && fs::is_empty(current, ec) && !ec))
        return Takeover::folderInUse;

    fs::path staging = current;
    staging += ".takeover";
    fs::remove_all(staging, ec); // the remains of an attempt that was interrupted
    ec.clear();
    fs::copy(former, staging, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (ec) {
        fs::remove_all(staging, ec);
        return Takeover::failed;
    }
    // Only an empty folder may go; one that filled up meanwhile keeps its content.
    if (currentExists && !fs::remove(current, ec)) {
        fs::remove_all(staging, ec);
        return Takeover::failed;
    }
    fs::rename(staging, current, ec);
    if (ec) {
        fs::remove_all(staging, ec);
        if (currentExists) ::mkdir(current.c_str(), 0755);
        return Takeover::failed;
    }
    fs::remove_all(former, ec);
    return Takeover::tookOver;
}

} // namespace configdir
