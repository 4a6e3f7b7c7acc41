#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

// The line breaks of a file that mixes them (some lines end in CRLF, others in LF or CR). The
// editor holds every break as "\n"; to write such a file back as it was, each line remembers its
// own break, and a save finds which lines of the text are still the file's lines.
namespace lineendings {

enum class Break : unsigned char { lf, crlf, cr };

// The file's lines as they were read or last written: a fingerprint of each line's text and the
// break that ended it (the last line has none).
struct Lines {
    std::vector<quint64> fingerprints; // one per line, the last line included
    std::vector<Break> breaks;         // one per line but the last
};

// The breaks of `bytes`'s text (already decoded; line breaks as they are in the file) when it
// uses more than one kind, else none.
std::shared_ptr<const Lines> mixedBreaksOf(QStringView text);

// `text` (line breaks as "\n") with each line's break spelled as the file had it: a line the file
// still holds keeps its break; a changed or new line takes the break of the line it replaced,
// else the one of the line above it, else `fallback`. Sets `written` to the lines as spelled.
QString spell(const QString& text, const Lines& lines, Break fallback, std::shared_ptr<const Lines>* written);

} // namespace lineendings
