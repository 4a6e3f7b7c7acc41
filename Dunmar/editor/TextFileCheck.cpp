#include "editor/TextFileCheck.h"

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
        out.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        out.text.replace(u'\r', u'\n');
    }
    return out;
}

QByteArray encode(const QString& text, FileFormat& format) {
    QString spelled = text;
    if (format.lineEnding == LineEnding::crlf)
        spelled.replace(u'\n', QStringLiteral("\r\n"));
    else if (format.lineEnding == LineEnding::cr)
        spelled.replace(u'\n', u'\r');
    if (format.encoding == Encoding::latin1) {
        const bool fits =
            std::all_of(spelled.cbegin(), spelled.cend(), [](QChar c) { return c.unicode() < 256; });
        if (fits) return spelled.toLatin1();
        format.encoding = Encoding::utf8;
    }
    QByteArray out = spelled.toUtf8();
    if (format.encoding == Encoding::utf8Bom) out.prepend("\xEF\xBB\xBF");
    return out;
}

} // namespace textfile
