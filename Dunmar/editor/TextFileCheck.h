#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Whether a file may go into an editor tab, and how its bytes become text.
namespace textfile {

// Larger files are read in the background under a progress panel.
inline constexpr qint64 kReadAtOnceLimit = 524288;
// Larger files are refused; exactly this size is allowed.
inline constexpr qint64 kOpenLimit = 52428800;
// A zero byte among the first this many bytes marks a binary file.
inline constexpr int kBinaryProbeBytes = 512;

// Nothing when the file may be opened, else the message that says why not. A file that cannot be
// opened passes: reading it reports that.
std::optional<QString> refusalReason(const QString& path);

struct Decoded {
    QString text;
    bool latin1 = false; // the bytes were not UTF-8 and were read as ISO Latin-1
};
// UTF-8 when the bytes are valid UTF-8, else ISO Latin-1, which every byte sequence is.
Decoded decode(const QByteArray& bytes);

} // namespace textfile
