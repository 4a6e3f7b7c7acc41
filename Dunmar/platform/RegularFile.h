#pragma once

#include <QByteArray>
#include <QString>
#include <limits>
#include <optional>

// Reading a file whose path comes from outside, whatever it turned out to be. A FIFO blocks the
// open until a writer comes (forever, at every start, for a saved editor tab or a credentials
// file), and a device such as /dev/zero never ends; only regular files are read, and a reader of
// a small file says how small.
namespace regularfile {

inline constexpr qint64 kNoSizeLimit = std::numeric_limits<qint64>::max();

// What a read learned about the file besides its content.
struct Facts {
    unsigned permissions = 0; // the mode's permission bits, 07777
    bool overLimit = false;   // the file held more than the reader's limit

    bool readableByOthers() const { return (permissions & 044u) != 0; } // by the group or others
};

// True when `path` exists and is not a regular file (after following links): a FIFO, a device,
// a socket or a folder. Never opens the file.
bool isSpecialFile(const QString& path);

// The whole content of a regular file of at most `maxBytes`; none, with `error` saying why, when
// the file cannot be read, is not a regular file or is (or grows while read) larger. Never blocks
// on a special file. `facts`, when given, is filled from the descriptor that was read.
std::optional<QByteArray> read(const QString& path, QString* error = nullptr, qint64 maxBytes = kNoSizeLimit,
                               Facts* facts = nullptr);

} // namespace regularfile
