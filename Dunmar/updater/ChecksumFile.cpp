#include "updater/ChecksumFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

bool checksumMatches(const QString& path, const QByteArray& checksumAsset) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(checksumAsset);
    if (decoder.hasError()) return false;
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    const QString expected = text.trimmed().section(whiteSpace, 0, 0);
    if (expected.isEmpty()) return false;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return false;
    return QString::fromLatin1(hash.result().toHex()) == expected.toLower();
}
