#include "chrome/ChromeStyle.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

namespace chrome {
namespace {

QString firstInstalled(std::initializer_list<const char*> wanted, const QString& fallback) {
    const QStringList families = QFontDatabase::families();
    for (const char* name : wanted)
        if (families.contains(QLatin1String(name))) return QLatin1String(name);
    return fallback;
}

const QString& uiFamily() {
    static const QString family = firstInstalled({"Inter", "Inter Variable", "Cantarell", "DejaVu Sans"},
                                                 QGuiApplication::font().family());
    return family;
}

const QString& monoFamily() {
    static const QString family =
        firstInstalled({"JetBrains Mono", "Fira Code", "DejaVu Sans Mono"},
                       QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    return family;
}

// Point sizes are resolved against the screen's logical resolution, so convert pixels through it
// to keep fractional sizes such as 9.5.
qreal pointsForPixels(qreal pixels) {
    qreal dpi = 96.0;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) dpi = screen->logicalDotsPerInchY();
    return pixels * 72.0 / dpi;
}

QFont make(const QString& family, qreal pixels, QFont::Weight weight) {
    QFont font(family);
    font.setPointSizeF(pointsForPixels(pixels));
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

QFont systemFont(qreal pixels, QFont::Weight weight) {
    return make(uiFamily(), pixels, weight);
}

QFont monoFont(qreal pixels, QFont::Weight weight) {
    QFont font = make(monoFamily(), pixels, weight);
    font.setFixedPitch(true);
    return font;
}

} // namespace chrome
