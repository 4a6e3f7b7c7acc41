#pragma once

#include "updater/UpdateError.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>
#include <variant>

// A release newer than the running version: its tag as the service sent it ("v1.2.0"), the
// address of this platform's archive, and the addresses of the archive's checksum and signature
// when the release has them.
struct GitHubRelease {
    QString tagName;
    QUrl downloadURL;
    std::optional<QUrl> checksumURL;
    std::optional<QUrl> signatureURL;

    friend bool operator==(const GitHubRelease&, const GitHubRelease&) = default;
};

// The archive name of this machine: "dunmar-linux-" + the processor ("x86_64", "aarch64", ...) +
// ".tar.gz". Releases carry one archive per platform; the first asset whose name ends in this
// machine's "-linux-<processor>.tar.gz" is ours.
QString platformAssetSuffix();
QString platformAssetSuffixFor(const QString& machine);

// Reads the release object of the service's "latest release" answer. The archive is the first
// asset whose name ends in `assetSuffix`; its checksum and signature are the assets named like it
// with ".sha256" and ".minisig" appended. Any malformed part fails with code 0 "Failed to parse
// release data from server".
std::variant<GitHubRelease, UpdateError> parseRelease(const QByteArray& body, const QString& assetSuffix);
