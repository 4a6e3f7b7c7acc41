#include "editor/TextFileCheck.h"

#include "editor/DiskStamp.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace textfile {

std::optional<QString> refusalReason(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (info.exists() && info.size() > kOpenLimit) {
        return QStringLiteral("\"%1\" ist %2 MB groß. Der Editor unterstützt Dateien bis 50 MB.")
            .arg(name, QString::asprintf("%.1f", double(info.size()) / 1048576.0));
    }
    // A FIFO would block the open until a writer came, and a device never ends: only regular files
    // go into an editor.
    if (info.exists() && !info.isFile())
        return QStringLiteral(
                   "\"%1\" ist keine reguläre Datei und kann nicht im Text-Editor geöffnet werden.")
            .arg(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    if (file.read(kBinaryProbeBytes).contains('\0')) {
        return QStringLiteral(
                   "\"%1\" scheint eine Binärdatei zu sein und kann nicht im Text-Editor angezeigt "
                   "werden.")
            .arg(name);
    }
    return std::nullopt;
}

QString grewPastLimitReason(const QString& fileName) {
    return QStringLiteral(
               "\"%1\" ist beim Laden über 50 MB gewachsen. Der Editor unterstützt Dateien bis 50 MB.")
        .arg(fileName);
}

namespace {

LineEnding firstLineEnding(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') return LineEnding::lf;
        if (text[i] == u'\r')
            return i + 1 < text.size() && text[i + 1] == u'\n' ? LineEnding::crlf : LineEnding::cr;
    }
    return LineEnding::lf;
}

} // namespace

Decoded decode(const QByteArray& bytes) {
    Decoded out;
    out.digest = diskstamp::digestOf(bytes);
    static const QByteArray kBom("\xEF\xBB\xBF");
    const bool bom = bytes.startsWith(kBom);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out.text = utf8.decode(bom ? QByteArrayView(bytes).sliced(kBom.size()) : QByteArrayView(bytes));
    if (utf8.hasError()) {
        out.text = QString::fromLatin1(bytes);
        out.latin1 = true;
        out.format.encoding = Encoding::latin1;
    } else {
        out.format.encoding = bom ? Encoding::utf8Bom : Encoding::utf8;
    }
    out.format.lineEnding = firstLineEnding(out.text);
    if (out.text.contains(u'\r')) {
        out.format.mixedBreaks = lineendings::mixedBreaksOf(out.text);
        out.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        out.text.replace(u'\r', u'\n');
    }
    return out;
}

bool canHold(const QString& text, Encoding encoding) {
    if (encoding != Encoding::latin1) return true;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 256; });
}

std::optional<QByteArray> encode(const QString& text, FileFormat& format) {
    if (!canHold(text, format.encoding)) return std::nullopt;
    QString spelled;
    if (format.mixedBreaks) {
        std::shared_ptr<const lineendings::Lines> written;
        spelled = lineendings::spell(text, *format.mixedBreaks, lineendings::Break(format.lineEnding), &written);
        format.mixedBreaks = std::move(written);
    } else {
        spelled = text;
        if (format.lineEnding == LineEnding::crlf)
            spelled.replace(u'\n', QStringLiteral("\r\n"));
        else if (format.lineEnding == LineEnding::cr)
            spelled.replace(u'\n', u'\r');
    }
    if (format.encoding == Encoding::latin1) return spelled.toLatin1();
    QByteArray out = spelled.toUtf8();
    if (format.encoding == Encoding::utf8Bom) out.prepend("\xEF\xBB\xBF");
    return out;
}

QString reinterpretAsUtf8(const QString& latin1Text) {
    QByteArray bytes;
    bytes.reserve(latin1Text.size());
    for (qsizetype i = 0; i < latin1Text.size(); ++i) {
        const QChar c = latin1Text[i];
        if (c.unicode() < 256) {
            bytes += char(c.unicode());
        } else if (c.isHighSurrogate() && i + 1 < latin1Text.size() && latin1Text[i + 1].isLowSurrogate()) {
            bytes += QStringView(latin1Text).mid(i, 2).toUtf8();
            ++i;
        } else {
            bytes += QString(c).toUtf8();
        }
    }
    // Valid sequences decode; each byte of an invalid one stands for its Latin-1 character.
    QString out;
    out.reserve(bytes.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar lead = uchar(bytes[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length > 1 && i + length <= bytes.size()) {
            const QString one = utf8.decode(QByteArrayView(bytes).sliced(i, length));
            if (!utf8.hasError()) {
                out += one;
                i += length;
                continue;
            }
            utf8.resetState();
        }
        out += QChar(lead);
        ++i;
    }
    return out;
}

} // namespace textfile
