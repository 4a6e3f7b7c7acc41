#include "platform/StateFolder.h"

#include <QDir>

namespace statefolder {

QString pathFor(const QString& home, const QString& xdgStateHome) {
    const QString base = QDir::isAbsolutePath(xdgStateHome) ? QDir::cleanPath(xdgStateHome)
                                                            : home + QStringLiteral("/.local/state");
    return base + QStringLiteral("/dunmar");
}

QString pathFor(const QString& home) {
    return pathFor(home, qEnvironmentVariable("XDG_STATE_HOME"));
}

QString path() {
    return pathFor(QDir::homePath());
}

} // namespace statefolder
