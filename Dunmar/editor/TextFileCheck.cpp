#include "editor/TextFileCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace textfile {

std::optional<QString> refusalReason(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (info.exists() && info.size() > kOpenLimit) {
        return QStringLiteral("\"%1\" ist %2 MB groß. Der Editor unterstützt Dateien bis 50 MB.")
            .arg(name, QString::asprintf("%.1f", double(info.size()) / 1048576.0));
    }
    // A FIFO or a device would block or never end; only regular files are probed.
    if (info.exists() && !info.isFile()) return std::nullopt;
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

Decoded decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return {std::move(text), false};
    return {QString::fromLatin1(bytes), true};
}

} // namespace textfile
