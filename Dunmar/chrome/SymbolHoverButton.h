#pragma once

#include "chrome/BaseHoverButton.h"

#include <QPixmap>
#include <QString>
#include <optional>

// A hover button showing one of the chrome's symbols, tinted, in a square of `size` + 2 pixels.
class SymbolHoverButton : public BaseHoverButton {
    Q_OBJECT
public:
    SymbolHoverButton(const QString& symbolName, qreal size, const QColor& normalColor,
                      const QColor& hoverColor, const QColor& normalBg, const QColor& hoverBg,
                      const QColor& pressBg, qreal cornerRadius, QWidget* parent = nullptr);

    // Shows another symbol, tinted with `tint` or the normal colour. It does not look at the hover
    // or active state. An unknown name shows nothing.
    void setSymbol(const QString& name, std::optional<QColor> tint = std::nullopt);

    void setActive(bool active) override;

    QString symbolName() const { return symbolName_; }
    QColor tint() const { return tint_; }
    QColor normalColor() const { return normalColor_; }
    QColor hoverColor() const { return hoverColor_; }
    qreal symbolSize() const { return symbolSize_; }
    // Side of the square the symbol is drawn in.
    qreal imageSide() const { return imageSide_; }
    void setImageSide(qreal side);
    bool hasImage() const;

protected:
    ScaleTarget scalableLayer() const override { return ScaleTarget::content; }
    void applyHoverStyle(bool hovered) override;
    void paintContent(QPainter& painter, const QRectF& rect) override;
    bool event(QEvent* event) override;

private:
    void setTint(const QColor& color);

    QString symbolName_;
    qreal symbolSize_;
    qreal imageSide_;
    QColor normalColor_;
    QColor hoverColor_;
    QColor tint_;
    QPixmap cached_;
    qreal cachedRatio_ = 0;
};
