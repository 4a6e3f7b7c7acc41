#include "app/window/WindowBackdrop.h"

#include "app/window/ContentView.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

WindowBackdrop::WindowBackdrop(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    if (parent) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
    lower();
}

void WindowBackdrop::setMaterial(VisualMaterial material, bool lightAppearance) {
    if (material == material_ && lightAppearance == lightAppearance_) return;
    material_ = material;
    lightAppearance_ = lightAppearance;
    update();
}

void WindowBackdrop::setIntensity(double intensity) {
    if (std::isnan(intensity)) return;
    intensity_ = std::clamp(intensity, 0.0, 1.0);
    update();
}

QColor WindowBackdrop::materialColor(VisualMaterial material, bool lightAppearance) {
    // The tones of the three materials as the desktop draws them over a neutral background.
    switch (material) {
    case VisualMaterial::sheet:
        return lightAppearance ? QColor::fromRgbF(0.94f, 0.94f, 0.95f)
                               : QColor::fromRgbF(0.16f, 0.16f, 0.18f);
    case VisualMaterial::underWindowBackground:
        return lightAppearance ? QColor::fromRgbF(0.90f, 0.90f, 0.91f)
                               : QColor::fromRgbF(0.02f, 0.02f, 0.02f);
    case VisualMaterial::hudWindow:
    default:
        return lightAppearance ? QColor::fromRgbF(0.86f, 0.86f, 0.88f)
                               : QColor::fromRgbF(0.11f, 0.11f, 0.13f);
    }
}

QColor WindowBackdrop::fillColor() const {
    QColor color = materialColor(material_, lightAppearance_);
    color.setAlphaF(float(intensity_));
    return color;
}

bool WindowBackdrop::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void WindowBackdrop::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Only the part being repainted: Qt spreads a fill of the whole window over its worker threads,
    // clipped or not, and would wake each of them on every blink of the cursor.
    painter.fillRect(event->rect(), fillColor());
    // The strip under the tray icon keeps its tint above the material, as the content view draws it
    // beneath.
    const auto* content = qobject_cast<const ContentView*>(parentWidget());
    if (content && content->isArrowStripVisible())
        painter.fillRect(QRect(0, 0, width(), ContentView::kArrowStripHeight),
                         QColor::fromRgbF(0, 0, 0, 0.3f));
}
