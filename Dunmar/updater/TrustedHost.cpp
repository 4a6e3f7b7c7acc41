#include "updater/TrustedHost.h"

bool isTrustedUpdateHost(const QString& host, const QStringList& allowedHosts) {
    for (const QString& allowed : allowedHosts)
        if (host == allowed || host.endsWith(u'.' + allowed)) return true;
    return false;
}

bool isTrustedUpdateURL(const QUrl& url, const QStringList& allowedHosts) {
    return url.scheme() == QStringLiteral("https") && isTrustedUpdateHost(url.host(), allowedHosts);
}
