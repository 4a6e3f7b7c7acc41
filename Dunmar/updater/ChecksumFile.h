#pragma once

#include <QByteArray>
#include <QString>

// Whether the SHA-256 of the file at `path` equals the digest a checksum asset holds: its first
// white-space separated word, in either case ("<hex>  dunmar-linux-x86_64.tar.gz\n" as sha256sum
// writes it). A file that is not UTF-8, holds no word, or cannot be read never matches.
bool checksumMatches(const QString& path, const QByteArray& checksumAsset);
