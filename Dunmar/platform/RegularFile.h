#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reading a file the user named, whatever it turned out to be. A FIFO blocks the open until a
// writer comes (forever, at every start, for a saved editor tab), and a device such as /dev/zero
// never ends; only regular files are read.
namespace regularfile {

// True when `path` exists and is not a regular file (after following links): a FIFO, a device,
// a socket or a folder. Never opens the file.
bool isSpecialFile(const QString& path);

// The whole content of a regular file; none, with `error` saying why, when the file cannot be
// read, is not a regular file or holds more than `maxBytes` (counted as it is read: a file that
// grows meanwhile is caught too; `overLimit` then says so). Never blocks on a special file.
std::optional<QByteArray> read(const QString& path, qint64 maxBytes, QString* error = nullptr,
                               bool* overLimit = nullptr);

} // namespace regularfile
