#pragma once

#include <QByteArrayView>
#include <QFileDevice>
#include <QString>

// The one way this program replaces a file: the new content goes to a temporary file beside it,
// which is renamed over the old one only when every byte reached the disk. On a full disk the old
// file stays as it was and the caller hears why.
//
// QSaveFile alone is not enough: its commit() flushes its write buffer while closing and renames
// the temporary file even when that last write failed, so a full disk used to leave a truncated
// file behind and report success.
namespace atomicfile {

// Replaces `path` with `bytes`. False, with the old file (or its absence) untouched and `error`
// saying why, when the file cannot be written in full. The new file has the old one's permissions
// (a new one the default), or exactly `permissions` when they are given: a private file is never
// readable by others, not even for a moment.
bool write(const QString& path, QByteArrayView bytes, QString* error = nullptr,
           QFileDevice::Permissions permissions = {});

} // namespace atomicfile
