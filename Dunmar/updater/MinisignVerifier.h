#pragma once

#include <QByteArray>
#include <QString>

// Checks a detached Ed25519 signature in minisign's format (both the plain and the pre-hashed
// BLAKE2b-512 kind) and its trusted comment against a public key: the key's base64 line, or the
// whole text of a minisign ".pub" file. Anything malformed, a key of another id, or a check that
// cannot run counts as a bad signature; `why` says what failed.
bool verifyMinisignFile(const QString& filePath, const QByteArray& signatureText, const QByteArray& publicKey,
                        QString* why = nullptr);
