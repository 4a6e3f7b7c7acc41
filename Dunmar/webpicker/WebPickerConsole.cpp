// The picker sidebar's one-line script console: it evaluates what is typed in the connected page,
// shows the value or the error, and keeps the last expressions for the arrow keys.
#include "chrome/ChromeStyle.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/ConsoleAnswer.h"
#include "webpicker/SidebarStyle.h"
#include "webpicker/UrlHistory.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QEasingCurve>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVariantAnimation>

using sidebarstyle::css;

namespace {

constexpr int kReplOpenHeight = 56;
constexpr int kReplAnimationMs = 220;

void setLabelColour(QLabel* label, const QColor& colour) {
    label->setStyleSheet(QStringLiteral("color:%1;background:transparent;").arg(css(colour)));
}

} // namespace

void WebPickerSidebarView::toggleREPL() {
    replExpanded_ = !replExpanded_;
    replBtn_->setStyleSheet(
        QStringLiteral("QPushButton{border:none;background:transparent;padding:0;color:%1;}")
            .arg(css(replExpanded_ ? teal() : chrome::white(0.35))));
    auto* animation = new QVariantAnimation(this);
    QEasingCurve curve(QEasingCurve::BezierSpline);
    if (replExpanded_) {
        // Overshoots a little and settles.
        curve.addCubicBezierSegment(QPointF(0.34, 1.56), QPointF(0.64, 1.0), QPointF(1.0, 1.0));
    } else {
        curve.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(1.0, 1.0), QPointF(1.0, 1.0));
    }
    animation->setEasingCurve(curve);
    animation->setDuration(kReplAnimationMs);
    animation->setStartValue(replHeightC_);
    animation->setEndValue(replExpanded_ ? kReplOpenHeight : 0);
    QObject::connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        replHeightC_ = std::max(0, value.toInt());
        layoutContents();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    if (replExpanded_ && window()) replField_->setFocus(Qt::OtherFocusReason);
}

void WebPickerSidebarView::evaluateREPL() {
    const QString expression = urlhistory::trimBlanks(replField_->text());
    if (expression.isEmpty() || !isConnected_) return;
    replHistory_.prepend(expression);
    while (replHistory_.size() > kReplHistoryMax) replHistory_.removeLast();
    replHistoryIdx_ = -1;
    setLabelColour(replResultLabel_, chrome::withAlpha(teal(), 0.8));
    replResultLabel_->setText(QStringLiteral("…"));
    const QPointer<WebPickerSidebarView> self(this);
    cdp_->evaluate(expression, [self](std::optional<QJsonObject> answer) {
        if (!self) return;
        const ConsoleAnswer shown = consoleAnswer(answer, teal());
        setLabelColour(self->replResultLabel_, shown.color);
        // One line, cut at its end.
        const int width = std::max(0, self->replResultLabel_->width());
        self->replResultLabel_->setText(
            width > 0 ? self->replResultLabel_->fontMetrics().elidedText(shown.text, Qt::ElideRight, width)
                      : shown.text);
        self->replResultLabel_->setToolTip(shown.text);
    });
}

bool WebPickerSidebarView::replHistoryKey(int key) {
    if (key == Qt::Key_Up) {
        const int i = std::min(static_cast<int>(replHistory_.size()) - 1, replHistoryIdx_ + 1);
        if (i < 0) return true;
        replHistoryIdx_ = i;
        replField_->setText(replHistory_.at(i));
        return true;
    }
    if (key == Qt::Key_Down) {
        if (replHistoryIdx_ < 0) return false;
        if (replHistoryIdx_ == 0) {
            replHistoryIdx_ = -1;
            replField_->clear();
            return true;
        }
        --replHistoryIdx_;
        replField_->setText(replHistory_.at(replHistoryIdx_));
        return true;
    }
    return false;
}
