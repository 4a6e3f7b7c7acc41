#pragma once

#include "aiusage/AIUsageData.h"
#include "chrome/UsageBadge.h"

#include <QColor>
#include <optional>

class QVariantAnimation;

// The footer's badge: "AI " and the five-hour window's percentage beside a dot in its level
// colour; "AI —" in grey without data. A click released over it runs `onClick`.
class AIUsageBadge : public UsageBadge {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 80;
    static constexpr int kHeight = 22;

    explicit AIUsageBadge(QWidget* parent = nullptr);

    void update(const std::optional<AIUsageData>& data);

    QString text() const { return text_; }
    QColor dotColor() const { return dotColor_; }
    QColor textColor() const { return textColor_; }
    double utilization() const { return utilization_; }
    bool isHovered() const { return hovered_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void animateScale(double to, int ms, bool springy);

    QString text_;
    QColor dotColor_;
    QColor textColor_;
    double utilization_ = 0;
    bool hovered_ = false;
    double backgroundAlpha_ = 0.05;
    double borderAlpha_ = 0.08;
    double scale_ = 1.0;
    QVariantAnimation* scaleAnimation_ = nullptr;
};
