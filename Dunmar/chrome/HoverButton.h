#pragma once

#include "chrome/BaseHoverButton.h"

#include <QFont>
#include <QString>

// A hover button with a short monospaced title ("GIT", "+", "</>").
class HoverButton : public BaseHoverButton {
    Q_OBJECT
public:
    static constexpr int kTitleColorMs = 200;

    HoverButton(const QString& title, qreal fontSize, QFont::Weight weight, const QColor& normalColor,
                const QColor& hoverColor, const QColor& normalBg = chrome::clear(),
                const QColor& hoverBg = chrome::white(1.0, 0.1),
                const QColor& pressBg = chrome::white(1.0, 0.2), qreal cornerRadius = 0,
                QWidget* parent = nullptr);

    QString title() const { return title_; }
    QColor normalColor() const { return normalColor_; }
    QColor hoverColor() const { return hoverColor_; }
    QColor titleColor() const { return textColor_->color(); }
    QColor titleColorTarget() const { return textColor_->targetColor(); }

    QSize sizeHint() const override;

protected:
    ScaleTarget scalableLayer() const override { return ScaleTarget::content; }
    void applyHoverStyle(bool hovered) override;
    void paintContent(QPainter& painter, const QRectF& rect) override;

private:
    QString title_;
    QFont font_;
    QColor normalColor_;
    QColor hoverColor_;
    chrome::Tween* textColor_;
};
