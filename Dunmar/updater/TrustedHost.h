#pragma once

#include <QStringList>
#include <QUrl>

// Whether `url` may deliver an archive, checksum or signature: its scheme is exactly "https" and
// its host equals an allowed host or ends in "." followed by one ("x.allowed" for "allowed", but
// never "evilallowed").
bool isTrustedUpdateHost(const QString& host, const QStringList& allowedHosts);
bool isTrustedUpdateURL(const QUrl& url, const QStringList& allowedHosts);
