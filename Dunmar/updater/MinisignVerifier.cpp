#include "updater/MinisignVerifier.h"

#include <QFile>
#include <QList>
#include <sodium.h>

namespace {

constexpr qsizetype kKeyIdBytes = 8;
constexpr qsizetype kPublicKeyBytes = 2 + kKeyIdBytes + crypto_sign_PUBLICKEYBYTES;
constexpr qsizetype kSignatureBytes = 2 + kKeyIdBytes + crypto_sign_BYTES;
const QByteArray kTrustedPrefix = QByteArrayLiteral("trusted comment: ");

bool fail(QString* why, const QString& text) {
    if (why) *why = text;
    return false;
}

QByteArray decodeBase64(const QByteArray& text) {
    const auto result =
        QByteArray::fromBase64Encoding(text.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    return result ? *result : QByteArray();
}

// The key's base64 line: the last non-empty line of a ".pub" file, or the text itself.
QByteArray publicKeyBytes(const QByteArray& text) {
    QByteArray line;
    for (const QByteArray& candidate : text.split('\n'))
        if (!candidate.trimmed().isEmpty() && !candidate.startsWith("untrusted comment:")) line = candidate;
    return decodeBase64(line);
}

// BLAKE2b-512 of the file, read in pieces so that a large archive never sits in memory at once.
bool hashFile(const QString& path, unsigned char* out, QString* why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(why, QStringLiteral("cannot read the archive"));
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n < 0) return fail(why, QStringLiteral("cannot read the archive"));
        if (n == 0) break;
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(chunk.constData()),
                                  static_cast<unsigned long long>(n));
    }
    crypto_generichash_final(&state, out, crypto_generichash_BYTES_MAX);
    return true;
}

} // namespace

bool verifyMinisignFile(const QString& filePath, const QByteArray& signatureText, const QByteArray& publicKey,
                        QString* why) {
    if (sodium_init() < 0) return fail(why, QStringLiteral("the signature library cannot start"));
    const QByteArray key = publicKeyBytes(publicKey);
    if (key.size() != kPublicKeyBytes || !key.startsWith("Ed"))
        return fail(why, QStringLiteral("the public key is malformed"));

    QList<QByteArray> lines = signatureText.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    if (lines.size() < 4 || !lines[0].startsWith("untrusted comment:") ||
        !lines[2].startsWith(kTrustedPrefix))
        return fail(why, QStringLiteral("the signature is malformed"));
    const QByteArray signature = decodeBase64(lines[1]);
    const QByteArray globalSignature = decodeBase64(lines[3]);
    if (signature.size() != kSignatureBytes || globalSignature.size() != crypto_sign_BYTES)
        return fail(why, QStringLiteral("the signature is malformed"));
    const QByteArray algorithm = signature.left(2);
    if (algorithm != "Ed" && algorithm != "ED")
        return fail(why, QStringLiteral("unknown signature algorithm"));
    if (signature.mid(2, kKeyIdBytes) != key.mid(2, kKeyIdBytes))
        return fail(why, QStringLiteral("the signature was made with another key"));

    const auto* pk = reinterpret_cast<const unsigned char*>(key.constData() + 2 + kKeyIdBytes);
    const auto* sig = reinterpret_cast<const unsigned char*>(signature.constData() + 2 + kKeyIdBytes);
    bool good = false;
    if (algorithm == "ED") {
        unsigned char digest[crypto_generichash_BYTES_MAX];
        if (!hashFile(filePath, digest, why)) return false;
        good = crypto_sign_verify_detached(sig, digest, sizeof digest, pk) == 0;
    } else {
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly)) return fail(why, QStringLiteral("cannot read the archive"));
        const QByteArray content = file.readAll();
        good = crypto_sign_verify_detached(sig, reinterpret_cast<const unsigned char*>(content.constData()),
                                           static_cast<unsigned long long>(content.size()), pk) == 0;
    }
    if (!good) return fail(why, QStringLiteral("the archive does not match its signature"));

    // The trusted comment is signed together with the signature, so that it cannot be swapped.
    const QByteArray signedComment = signature.mid(2 + kKeyIdBytes) + lines[2].mid(kTrustedPrefix.size());
    if (crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(globalSignature.constData()),
                                    reinterpret_cast<const unsigned char*>(signedComment.constData()),
                                    static_cast<unsigned long long>(signedComment.size()), pk) != 0)
        return fail(why, QStringLiteral("the trusted comment does not match its signature"));
    return true;
}
