#include "support/Artifacts.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

namespace testsupport {

QString artifactsDir() {
    QString base = qEnvironmentVariable("DUNMAR_BUILD_DIR");
    if (base.isEmpty()) base = QCoreApplication::applicationDirPath();
    const QString dir = base + QStringLiteral("/artifacts");
    QDir().mkpath(dir);
    return dir;
}

QImage snapshot(QWidget* widget, const QRect& area) {
    const QRect shown = area.isEmpty() ? widget->rect() : area;
    QImage image(shown.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(shown));
    return image;
}

} // namespace testsupport
