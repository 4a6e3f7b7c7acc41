#include "git/RemoteUrl.h"

#include <QStringList>

namespace {

std::optional<OwnerRepo> lastTwo(QString path) {
    while (path.endsWith(QLatin1Char('/'))) path.chop(1);
    if (path.endsWith(QLatin1String(".git"))) path.chop(4);
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() < 2) return std::nullopt;
    return OwnerRepo{parts[parts.size() - 2], parts.last()};
}

} // namespace

std::optional<OwnerRepo> extractOwnerRepo(const QString& url, const QString& host) {
    if (url.contains(host + QLatin1Char(':'))) {
        if (auto found = lastTwo(url.section(QLatin1Char(':'), -1))) return found;
    }
    const QString webForm = host + QLatin1Char('/');
    if (const qsizetype at = url.indexOf(webForm); at >= 0) return lastTwo(url.mid(at + webForm.size()));
    return std::nullopt;
}
