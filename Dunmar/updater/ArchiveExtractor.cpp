#include "updater/ArchiveExtractor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace {

using ArchiveReader = std::unique_ptr<archive, decltype(&archive_read_free)>;
using ArchiveWriter = std::unique_ptr<archive, decltype(&archive_write_free)>;

ArchiveReader openArchive(const QString& path, QString* error) {
    ArchiveReader reader(archive_read_new(), &archive_read_free);
    archive_read_support_filter_all(reader.get());
    archive_read_support_format_all(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(path).constData(), 1 << 16) !=
        ARCHIVE_OK) {
        *error = QString::fromLocal8Bit(archive_error_string(reader.get()));
        return ArchiveReader(nullptr, &archive_read_free);
    }
    return reader;
}

QString entryPath(archive_entry* entry) {
    const char* path = archive_entry_pathname(entry);
    return path ? QFile::decodeName(path) : QString();
}

// A path inside the folder: relative, and no ".." anywhere in it.
bool staysInside(const QString& path) {
    if (path.isEmpty() || path.startsWith(u'/')) return false;
    return !path.split(u'/').contains(QStringLiteral(".."));
}

// A link's target, taken relative to the folder of the link, must not climb above the top.
bool linkStaysInside(const QString& linkPath, const QString& target) {
    if (target.isEmpty() || target.startsWith(u'/')) return false;
    QStringList parts = linkPath.split(u'/', Qt::SkipEmptyParts);
    if (!parts.isEmpty()) parts.removeLast();
    for (const QString& piece : target.split(u'/', Qt::SkipEmptyParts)) {
        if (piece == QStringLiteral(".")) continue;
        if (piece == QStringLiteral("..")) {
            if (parts.isEmpty()) return false;
            parts.removeLast();
        } else {
            parts.append(piece);
        }
    }
    return true;
}

std::optional<QString> entryProblem(archive_entry* entry) {
    const QString path = entryPath(entry);
    if (!staysInside(path)) return QStringLiteral("entry leaves the folder: ") + path;
    if (const char* hardlink = archive_entry_hardlink(entry)) {
        if (!staysInside(QFile::decodeName(hardlink)))
            return QStringLiteral("link leaves the folder: ") + path;
        return std::nullopt;
    }
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
    case AE_IFDIR:
        return std::nullopt;
    case AE_IFLNK: {
        const char* target = archive_entry_symlink(entry);
        if (!target || !linkStaysInside(path, QFile::decodeName(target)))
            return QStringLiteral("link leaves the folder: ") + path;
        return std::nullopt;
    }
    default:
        return QStringLiteral("entry of an unsupported kind: ") + path;
    }
}

} // namespace

std::optional<ExtractFailure> checkArchiveEntries(const QString& archivePath) {
    QString error;
    ArchiveReader reader = openArchive(archivePath, &error);
    if (!reader) return std::nullopt;
    archive_entry* entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        if (const std::optional<QString> problem = entryProblem(entry))
            return ExtractFailure{false, *problem};
        archive_read_data_skip(reader.get());
    }
    if (status != ARCHIVE_EOF)
        return ExtractFailure{false, QString::fromLocal8Bit(archive_error_string(reader.get()))};
    return std::nullopt;
}

std::optional<ExtractFailure> extractArchive(const QString& archivePath, const QString& destination) {
    QString error;
    if (!openArchive(archivePath, &error)) return ExtractFailure{true, error};
    if (std::optional<ExtractFailure> refused = checkArchiveEntries(archivePath)) return refused;
    if (!QDir().mkpath(destination))
        return ExtractFailure{false, QStringLiteral("cannot create ") + destination};

    ArchiveReader reader = openArchive(archivePath, &error);
    if (!reader) return ExtractFailure{true, error};
    ArchiveWriter writer(archive_write_disk_new(), &archive_write_free);
    // The checks above refuse what these flags guard against; libarchive's own guards stay on as
    // well, notably against a path that runs through a link made by an earlier entry. Entries are
    // written under the folder's resolved path, so that a link in the folder's own path (a home
    // folder on another disk) is not taken for one.
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_TIME |
                                                     ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                     ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    const QString base = QFileInfo(destination).canonicalFilePath() + u'/';
    archive_entry* entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        const QByteArray target = QFile::encodeName(base + entryPath(entry));
        archive_entry_set_pathname(entry, target.constData());
        QByteArray linkTarget;
        if (const char* hardlink = archive_entry_hardlink(entry)) {
            linkTarget = QFile::encodeName(base + QFile::decodeName(hardlink));
            archive_entry_set_hardlink(entry, linkTarget.constData());
        }
        if (archive_write_header(writer.get(), entry) != ARCHIVE_OK)
            return ExtractFailure{false, QString::fromLocal8Bit(archive_error_string(writer.get()))};
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        int data = ARCHIVE_OK;
        while ((data = archive_read_data_block(reader.get(), &block, &size, &offset)) == ARCHIVE_OK) {
            if (archive_write_data_block(writer.get(), block, size, offset) != ARCHIVE_OK)
                return ExtractFailure{false, QString::fromLocal8Bit(archive_error_string(writer.get()))};
        }
        if (data != ARCHIVE_EOF)
            return ExtractFailure{false, QString::fromLocal8Bit(archive_error_string(reader.get()))};
        if (archive_write_finish_entry(writer.get()) != ARCHIVE_OK)
            return ExtractFailure{false, QString::fromLocal8Bit(archive_error_string(writer.get()))};
    }
    if (status != ARCHIVE_EOF)
        return ExtractFailure{false, QString::fromLocal8Bit(archive_error_string(reader.get()))};
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
        return ExtractFailure{false, QString::fromLocal8Bit(archive_error_string(writer.get()))};
    return std::nullopt;
}
