#pragma once

#include "chrome/BaseHoverButton.h"
#include "chrome/TextRuns.h"

#include <optional>

// A key-cap button of the footer showing a shortcut, such as "^⇧" and "T".
class BadgeButton : public BaseHoverButton {
    Q_OBJECT
public:
    BadgeButton(const QString& keys, const QString& label, std::optional<QColor> accentColor = std::nullopt,
                QWidget* parent = nullptr);

    QString keys() const { return keys_; }
    QString label() const { return label_; }
    QColor borderColor() const { return border_; }
    const TextRuns& keyRuns() const { return keyRuns_; }
    const TextRun& labelRun() const { return labelRun_; }

    QSize sizeHint() const override;

protected:
    ScaleTarget scalableLayer() const override { return ScaleTarget::whole; }
    void applyHoverStyle(bool hovered) override;
    void paintBackground(QPainter& painter, const QRectF& rect) override;
    void paintContent(QPainter& painter, const QRectF& rect) override;

private:
    QString keys_;
    QString label_;
    TextRuns keyRuns_;
    TextRun labelRun_;
    QColor border_;
};
