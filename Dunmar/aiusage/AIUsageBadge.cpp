#include "aiusage/AIUsageBadge.h"

#include "aiusage/AIUsageLevel.h"
#include "chrome/ChromeStyle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <cmath>

namespace {

const QColor kIdleText = chrome::white(0.4, 0.85);
const QColor kIdleDot = chrome::white(0.4, 1.0);
constexpr double kHoverScale = 1.08;

QFont badgeFont() {
    return chrome::monoFont(11, QFont::Bold);
}

} // namespace

AIUsageBadge::AIUsageBadge(QWidget* parent) : UsageBadge(parent) {
    setAttribute(Qt::WA_Hover, true);
    setCursor(Qt::PointingHandCursor);
    update(std::nullopt);
}

void AIUsageBadge::update(const std::optional<AIUsageData>& data) {
    if (data && data->fiveHour) {
        utilization_ = data->fiveHour->utilization;
        // Truncated, never rounded up: 79.9 is still under the 80 that turns it red.
        const double shown = std::trunc(utilization_);
        text_ = QStringLiteral("AI %1%").arg(static_cast<qint64>(shown));
        dotColor_ = aiusage::levelColor(utilization_);
        textColor_ = chrome::withAlpha(dotColor_, 0.85);
    } else {
        text_ = QStringLiteral("AI \u2014");
        textColor_ = kIdleText;
        dotColor_ = kIdleDot;
    }
    // The width follows the text: the footer places the badge again.
    updateGeometry();
    QWidget::update();
}

QSize AIUsageBadge::sizeHint() const {
    const int labelWidth = int(std::ceil(QFontMetricsF(badgeFont()).horizontalAdvance(text_)));
    return {std::max(labelWidth + 28, kMinWidth), kHeight};
}

void AIUsageBadge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Scaled about the middle while the pointer is over it.
    const QPointF centre = QRectF(rect()).center();
    p.translate(centre);
    p.scale(scale_, scale_);
    p.translate(-centre);
    const QRectF box = QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25);
    p.setPen(QPen(chrome::white(1.0, borderAlpha_), 0.5));
    p.setBrush(chrome::white(1.0, backgroundAlpha_));
    p.drawRoundedRect(box, 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.setBrush(dotColor_);
    p.drawEllipse(QRectF(7, (height() - 7) / 2.0, 7, 7));
    p.setPen(textColor_);
    p.setFont(badgeFont());
    p.drawText(QRectF(19, 0, width() - 19, height()), Qt::AlignLeft | Qt::AlignVCenter, text_);
}

void AIUsageBadge::animateScale(double to, int ms, bool springy) {
    if (!scaleAnimation_) {
        scaleAnimation_ = new QVariantAnimation(this);
        connect(scaleAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            scale_ = v.toDouble();
            QWidget::update();
        });
    }
    scaleAnimation_->stop();
    scaleAnimation_->setDuration(ms);
    scaleAnimation_->setStartValue(scale_);
    scaleAnimation_->setEndValue(to);
    QEasingCurve curve(QEasingCurve::BezierSpline);
    if (springy)
        curve.addCubicBezierSegment(QPointF(0.34, 1.56), QPointF(0.64, 1.0), QPointF(1, 1));
    else
        curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1.0), QPointF(1, 1));
    scaleAnimation_->setEasingCurve(curve);
    scaleAnimation_->start();
}

void AIUsageBadge::enterEvent(QEnterEvent* event) {
    UsageBadge::enterEvent(event);
    hovered_ = true;
    backgroundAlpha_ = 0.12;
    borderAlpha_ = 0.2;
    animateScale(kHoverScale, 200, true);
}

void AIUsageBadge::leaveEvent(QEvent* event) {
    UsageBadge::leaveEvent(event);
    hovered_ = false;
    backgroundAlpha_ = 0.05;
    borderAlpha_ = 0.08;
    animateScale(1.0, 180, false);
}

void AIUsageBadge::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return UsageBadge::mousePressEvent(event);
    backgroundAlpha_ = 0.2;
    QWidget::update();
}

void AIUsageBadge::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return UsageBadge::mouseReleaseEvent(event);
    const bool inside = rect().contains(event->position().toPoint());
    backgroundAlpha_ = hovered_ ? 0.12 : 0.05;
    QWidget::update();
    if (inside && onClick) onClick();
}
