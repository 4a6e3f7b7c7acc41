#include "chrome/SymbolHoverButton.h"

#include "chrome/SymbolImage.h"

#include <QEvent>
#include <QPainter>

SymbolHoverButton::SymbolHoverButton(const QString& symbolName, qreal size, const QColor& normalColor,
                                     const QColor& hoverColor, const QColor& normalBg, const QColor& hoverBg,
                                     const QColor& pressBg, qreal cornerRadius, QWidget* parent)
    : BaseHoverButton(parent), symbolName_(symbolName), symbolSize_(size), imageSide_(size + 2),
      normalColor_(normalColor), hoverColor_(hoverColor), tint_(normalColor) {
    setBackgroundColors(normalBg, hoverBg, pressBg);
    setCornerRadius(cornerRadius);
    setHoverScale(1.12);
}

void SymbolHoverButton::setSymbol(const QString& name, std::optional<QColor> tint) {
    symbolName_ = name;
    cached_ = QPixmap();
    setTint(tint.value_or(normalColor_));
}

void SymbolHoverButton::setImageSide(qreal side) {
    imageSide_ = side;
    cached_ = QPixmap();
    update();
}

bool SymbolHoverButton::hasImage() const {
    return SymbolImage::exists(symbolName_);
}

void SymbolHoverButton::setTint(const QColor& color) {
    if (color != tint_) cached_ = QPixmap();
    tint_ = color;
    update();
}

void SymbolHoverButton::setActive(bool active) {
    setActiveFlag(active);
    if (isHovered()) return;
    setTint(active ? hoverColor_ : normalColor_);
    animateBg(active ? hoverBgColor() : normalBgColor(), kActiveBgMs);
}

void SymbolHoverButton::applyHoverStyle(bool hovered) {
    setTint((hovered || isActive()) ? hoverColor_ : normalColor_);
}

void SymbolHoverButton::paintContent(QPainter& painter, const QRectF& rect) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : devicePixelRatioF();
    if (cached_.isNull() || cachedRatio_ != ratio) {
        cached_ = SymbolImage::render(symbolName_, imageSide_, tint_, ratio);
        cachedRatio_ = ratio;
    }
    if (cached_.isNull()) return;
    const QRectF box(rect.center().x() - imageSide_ / 2, rect.center().y() - imageSide_ / 2, imageSide_,
                     imageSide_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(box, cached_, QRectF(cached_.rect()));
}

bool SymbolHoverButton::event(QEvent* event) {
    // The button is announced by its tooltip.
    if (event->type() == QEvent::ToolTipChange) setAccessibleName(toolTip());
    return BaseHoverButton::event(event);
}
