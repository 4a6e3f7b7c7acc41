#include "chrome/SymbolImage.h"

#include <QDir>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <memory>

static void loadSymbolResources() {
    // The resources live in a static library; naming them here keeps the linker from dropping them.
    Q_INIT_RESOURCE(icons);
}

namespace {

QString pathFor(const QString& name) {
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

QSvgRenderer* rendererFor(const QString& name) {
    static bool loaded = (loadSymbolResources(), true);
    (void)loaded;
    static QHash<QString, std::shared_ptr<QSvgRenderer>> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        std::shared_ptr<QSvgRenderer> renderer;
        if (!name.isEmpty() && QFile::exists(pathFor(name))) {
            renderer = std::make_shared<QSvgRenderer>(pathFor(name));
            if (!renderer->isValid()) renderer.reset();
        }
        it = cache.insert(name, renderer);
    }
    return it->get();
}

} // namespace

bool SymbolImage::exists(const QString& name) {
    return rendererFor(name) != nullptr;
}

QPixmap SymbolImage::render(const QString& name, qreal side, const QColor& color, qreal devicePixelRatio) {
    QSvgRenderer* renderer = rendererFor(name);
    if (!renderer || side <= 0) return QPixmap();
    const int pixels = std::max(1, static_cast<int>(std::ceil(side * devicePixelRatio)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        renderer->render(&p, QRectF(0, 0, pixels, pixels));
        // The drawings are black; keep their coverage and take the tint's colour.
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(image.rect(), color);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QStringList SymbolImage::names() {
    rendererFor(QString());
    QStringList out;
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")}))
        out << file.chopped(4);
    return out;
}
