#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// What a file on disk looked like when the editor read or wrote it, to tell before a save (and
// when its tab is shown again) whether another program has changed it since. Size, modification
// time, inode and change time are the quick test; the content's fingerprint decides when they
// differ but the size does not, and when the file was modified so shortly before it was looked at
// that a later write could share its timestamp.
namespace diskstamp {

struct Stamp {
    qint64 size = -1;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint64 inode = 0;
    qint64 takenNs = 0;  // when the stamp was taken, on the file system's clock
    QByteArray digest;   // of the content the editor holds for this stamp
};

QByteArray digestOf(QByteArrayView bytes);

// The file's stamp now with `digest` as its content's fingerprint; none when it does not exist or
// is not a regular file.
std::optional<Stamp> take(const QString& path, const QByteArray& digest);

// The file's stamp now, with the fingerprint of what it holds now (read for the purpose; empty for
// a file larger than the editor opens); none when it does not exist or is not a regular file.
std::optional<Stamp> takeWithContent(const QString& path);

enum class Change { same, changed, gone };
// Whether the file at `path` still holds what `recorded` describes. When the content had to be
// read to tell and was found the same, `recorded` is brought up to the file's present look.
Change compare(const QString& path, Stamp& recorded);

} // namespace diskstamp
