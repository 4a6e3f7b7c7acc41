#include "platform/RegularFile.h"

#include "platform/BoundedBuffer.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace regularfile {

bool isSpecialFile(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return !S_ISREG(st.st_mode);
}

std::optional<QByteArray> read(const QString& path, QString* error, qint64 maxBytes, Facts* facts) {
    if (facts) facts->overLimit = false;
    const auto fail = [error](const QString& why) -> std::optional<QByteArray> {
        if (error) *error = why;
        return std::nullopt;
    };
    // Non-blocking, so that a FIFO without a writer does not hold the open; the kind of file is
    // then checked on the descriptor itself, so a file swapped in between is still caught.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("not a regular file"));
    }
    const auto tooLarge = [&] {
        if (facts) facts->overLimit = true;
        return fail(QStringLiteral("larger than ") + byteCountText(maxBytes));
    };
    if (st.st_size > maxBytes) {
        ::close(fd);
        return tooLarge();
    }
    if (facts) facts->permissions = st.st_mode & 07777u;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    // Counted as it is read: the file may have grown since its size was looked at.
    BoundedBuffer bytes(maxBytes);
    bytes.reserve(st.st_size);
    if (!bytes.readFrom(file)) return tooLarge();
    if (file.error() != QFileDevice::NoError) return fail(file.errorString());
    return bytes.take();
}

} // namespace regularfile
