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

// The message for a file that held more than kOpenLimit bytes when it was read, though it was
// smaller when it was looked at: it grew while it loaded.
QString grewPastLimitReason(const QString& fileName);

// How a file spelled its text, so that a save writes it back the same way: an unchanged document
// saves byte for byte as it was read.
enum class Encoding { utf8, utf8Bom, latin1 };
enum class LineEnding { lf, crlf, cr };
struct FileFormat {
    Encoding encoding = Encoding::utf8;
    LineEnding lineEnding = LineEnding::lf;
    bool operator==(const FileFormat&) const = default;
};

struct Decoded {
    QString text;        // line breaks as "\n", whatever the file used
    bool latin1 = false; // the bytes were not UTF-8 and were read as ISO Latin-1
    FileFormat format;
};
// UTF-8 (a leading byte-order mark dropped and remembered) when the bytes are valid UTF-8, else
// ISO Latin-1, which every byte sequence is. The first line break found names the file's line
// ending; every CRLF and lone CR of the text becomes "\n".
Decoded decode(const QByteArray& bytes);

// The bytes of `text` (line breaks as "\n") in `format`. A text that ISO Latin-1 cannot hold is
// written as UTF-8, and `format` says so afterwards.
QByteArray encode(const QString& text, FileFormat& format);

} // namespace textfile
