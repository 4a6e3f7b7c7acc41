#include "platform/PrivateFolder.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace privatefolder {

namespace {

void makeParents(const QByteArray& folder) {
    for (qsizetype slash = folder.indexOf('/', 1); slash > 0; slash = folder.indexOf('/', slash + 1))
        ::mkdir(folder.left(slash).constData(), 0700); // an existing one fails harmlessly
    ::mkdir(folder.constData(), 0700);
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Takes the group's and others' bits off one entry that is no link and is ours.
void restrictOne(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || S_ISLNK(st.st_mode) || st.st_uid != ::geteuid()) return;
    if (st.st_mode & 077) ::chmod(path.constData(), st.st_mode & 07700);
}

} // namespace

bool ensure(const QString& folder, QString* problem) {
    const auto fail = [&](const QString& why) {
        if (problem) *problem = why;
        return false;
    };
    const QByteArray path = QFile::encodeName(folder);
    if (::access(path.constData(), F_OK) != 0) makeParents(path);
    // The checks and the change of mode go through one descriptor, so a folder swapped in between
    // is not the one changed.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return fail(errno == ENOTDIR ? folder + QStringLiteral(" is not a folder")
                                     : QStringLiteral("cannot use %1: %2").arg(folder, systemError()));
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    QString why = ok ? QString() : systemError();
    if (ok && st.st_uid != ::geteuid()) {
        ok = false;
        why = folder + QStringLiteral(" belongs to another user");
    } else if (ok && (st.st_mode & 077) && ::fchmod(fd, st.st_mode & 07700) != 0) {
        ok = false;
        why = QStringLiteral("cannot make %1 private: %2").arg(folder, systemError());
    }
    ::close(fd);
    return ok || fail(why);
}

void restrictTree(const QString& path) {
    const fs::path root(QFile::encodeName(path).toStdString());
    restrictOne(QByteArray::fromStdString(root.native()));
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(root, ec))) return;
    // Links to folders are not entered; an entry that cannot be read is skipped.
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        restrictOne(QByteArray::fromStdString(it->path().native()));
}

} // namespace privatefolder
