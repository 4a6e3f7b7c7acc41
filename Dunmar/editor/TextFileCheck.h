#pragma once

#include "editor/LineEndings.h"

#include <QByteArray>
#include <QString>
#include <memory>
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
    // Each line's own break, for a file that mixes them; none for a file with one kind.
    std::shared_ptr<const lineendings::Lines> mixedBreaks;
    bool operator==(const FileFormat&) const = default;
};

struct Decoded {
    QString text;        // line breaks as "\n", whatever the file used
    bool latin1 = false; // the bytes were not UTF-8 and were read as ISO Latin-1
    FileFormat format;
    QByteArray digest;   // of the bytes, to tell later whether the file still holds them
};
// UTF-8 (a leading byte-order mark dropped and remembered) when the bytes are valid UTF-8, else
// ISO Latin-1, which every byte sequence is. The first line break found names the file's line
// ending; a file that mixes them keeps each line's own; every CRLF and lone CR of the text becomes
// "\n".
Decoded decode(const QByteArray& bytes);

// Whether every character of `text` has a spelling in `encoding` (ISO Latin-1 holds only the
// first 256).
bool canHold(const QString& text, Encoding encoding);

// The bytes of `text` (line breaks as "\n") in `format`: an unchanged text gives back the bytes
// it was read from. None when the encoding cannot hold the text (see canHold): it is never
// converted behind the user's back. For a file of mixed line breaks, `format` then describes the
// lines as written.
std::optional<QByteArray> encode(const QString& text, FileFormat& format);

// A text read as ISO Latin-1 as it reads in UTF-8: the characters stand for the file's bytes
// (those above 255, typed since, for their UTF-8 bytes), and every valid UTF-8 sequence among
// those bytes becomes its one character, while each byte that is no part of one keeps its Latin-1
// meaning. Saving a misread UTF-8 file this way writes its UTF-8 back as it was, never encoded
// twice; a real Latin-1 file becomes the same text in UTF-8.
QString reinterpretAsUtf8(const QString& latin1Text);

} // namespace textfile
