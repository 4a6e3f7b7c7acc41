#pragma once

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>

// The picker's round status light; a new colour fades in over 0.2 s.
class StatusDotView : public QWidget {
    Q_OBJECT
public:
    explicit StatusDotView(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    // The colour it shows once the fade has ended.
    QColor targetColor() const { return target_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor shown_;
    QColor target_;
    QVariantAnimation fade_;
};
