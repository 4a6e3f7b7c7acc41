#include "terminalview/SplitContainer.h"

#include "platform/Defaults.h"
#include "terminalview/PassthroughBlurView.h"
#include "terminalview/SplitGeometry.h"
#include "terminalview/TerminalView.h"

#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>

namespace {

const QString kRatioKeyVertical = QStringLiteral("splitRatioV");
const QString kRatioKeyHorizontal = QStringLiteral("splitRatioH");

// The divider between the panes: a faint line with the resize pointer. Presses on it go on to the
// container, which drags it.
class DividerView : public QWidget {
public:
    explicit DividerView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_NoSystemBackground); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor::fromRgbF(1, 1, 1, 0.12f));
    }
    void mousePressEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->ignore(); }
};

// Fades a widget's opacity from `from` to `to`, then runs `done` (if the widget still exists).
void fade(QWidget* widget, qreal from, qreal to, int durationMs, QEasingCurve curve,
          std::function<void()> done) {
    auto* effect = new QGraphicsOpacityEffect(widget);
    effect->setOpacity(from);
    widget->setGraphicsEffect(effect);
    auto* animation = new QPropertyAnimation(effect, "opacity", effect);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    QObject::connect(animation, &QPropertyAnimation::finished, widget,
                     [widget = QPointer<QWidget>(widget), done = std::move(done)] {
                         if (!widget) return;
                         // Drawing through an effect costs an extra pass; only the fade needs it.
                         widget->setGraphicsEffect(nullptr);
                         if (done) done();
                     });
    animation->start();
}

} // namespace

SplitContainer::SplitContainer(const QRect& frame, TerminalView* primary, Defaults* defaults, QWidget* parent)
    : QWidget(parent), defaults_(defaults), primaryView_(primary) {
    setGeometry(frame);
    primaryView_->setParent(this);
    primaryView_->setGeometry(rect());
    primaryView_->show();
}

Defaults& SplitContainer::defaults() const {
    return defaults_ ? *defaults_ : Defaults::standard();
}

void SplitContainer::split(bool vertical, TerminalView* secondary) {
    if (isSplit() || !secondary) return;
    isVerticalSplit_ = vertical;
    secondaryView_ = secondary;
    secondary->setParent(this);
    splitRatio_ = split::startRatio(
        defaults().doubleValue(vertical ? kRatioKeyVertical : kRatioKeyHorizontal), splitRatio_);

    dividerView_ = new DividerView(this);
    dividerView_->setCursor(vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    primaryDimOverlay_ = new PassthroughBlurView(this);
    secondaryDimOverlay_ = new PassthroughBlurView(this);
    layoutSplit();
    secondary->show();
    dividerView_->show();
    // The veils lie above both panes and the divider.
    primaryDimOverlay_->raise();
    secondaryDimOverlay_->raise();
    primaryView_->installEventFilter(this);
    secondary->installEventFilter(this);

    activePaneIsPrimary_ = false;
    primaryDimOverlay_->setShown(true);
    secondaryDimOverlay_->setShown(false);
    fade(secondary, 0, 1, kSplitFadeInMs, QEasingCurve(QEasingCurve::OutCubic), nullptr);
}

void SplitContainer::setOrientation(bool vertical) {
    if (!isSplit() || vertical == isVerticalSplit_) return;
    isVerticalSplit_ = vertical;
    splitRatio_ = split::startRatio(
        defaults().doubleValue(vertical ? kRatioKeyVertical : kRatioKeyHorizontal), splitRatio_);
    if (dividerView_) dividerView_->setCursor(vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    layoutSplit();
}

TerminalView* SplitContainer::unsplit() {
    if (!isSplit()) return nullptr;
    TerminalView* removed = secondaryView_;
    secondaryView_ = nullptr;
    removed->removeEventFilter(this);
    primaryView_->removeEventFilter(this);
    delete dividerView_;
    dividerView_ = nullptr;
    delete primaryDimOverlay_;
    primaryDimOverlay_ = nullptr;
    delete secondaryDimOverlay_;
    secondaryDimOverlay_ = nullptr;
    isDragging_ = false;
    activePaneIsPrimary_ = true;

    fade(removed, 1, 0, kUnsplitFadeOutMs, QEasingCurve(QEasingCurve::InOutCubic),
         [container = QPointer<SplitContainer>(this), pane = QPointer<TerminalView>(removed)] {
             // The caller may have given the pane another home meanwhile; leave it there.
             if (!container || !pane || pane->parentWidget() != container) return;
             pane->hide();
             pane->setParent(nullptr);
         });
    primaryView_->setGeometry(rect());
    return removed;
}

void SplitContainer::setActivePane(bool primary) {
    activePaneIsPrimary_ = primary;
    if (!isSplit()) return;
    primaryDimOverlay_->setShown(!primary, kDimFadeMs);
    secondaryDimOverlay_->setShown(primary, kDimFadeMs);
}

void SplitContainer::layoutSplit() {
    if (!isSplit() || !dividerView_) return;
    const split::Frames frames = split::framesFor(size(), isVerticalSplit_, splitRatio_);
    primaryView_->setGeometry(frames.primary);
    dividerView_->setGeometry(frames.divider);
    secondaryView_->setGeometry(frames.secondary);
    primaryDimOverlay_->setGeometry(frames.primary);
    secondaryDimOverlay_->setGeometry(frames.secondary);
}

void SplitContainer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isSplit())
        layoutSplit();
    else
        primaryView_->setGeometry(rect());
}

void SplitContainer::mousePressEvent(QMouseEvent* event) {
    const int grab = split::kDividerGrab;
    if (dividerView_ &&
        dividerView_->geometry().adjusted(-grab, -grab, grab, grab).contains(event->position().toPoint())) {
        isDragging_ = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void SplitContainer::mouseMoveEvent(QMouseEvent* event) {
    if (isDragging_) {
        splitRatio_ = split::dragRatio(event->position(), size(), isVerticalSplit_);
        layoutSplit();
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void SplitContainer::mouseReleaseEvent(QMouseEvent* event) {
    if (isDragging_) {
        isDragging_ = false;
        defaults().setValue(isVerticalSplit_ ? kRatioKeyVertical : kRatioKeyHorizontal, splitRatio_);
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

bool SplitContainer::eventFilter(QObject* watched, QEvent* event) {
    // Watches the panes without taking their clicks: a release inside a pane activates it.
    if (event->type() == QEvent::MouseButtonRelease && isSplit() && !isDragging_) {
        auto* pane = qobject_cast<QWidget*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!pane || !pane->rect().contains(mouse->position().toPoint()))
            return QWidget::eventFilter(watched, event);
        if (watched == secondaryView_)
            activateByClick(secondaryView_);
        else if (watched == primaryView_)
            activateByClick(primaryView_);
    }
    return QWidget::eventFilter(watched, event);
}

void SplitContainer::activateByClick(TerminalView* pane) {
    const bool primary = pane == primaryView_;
    pane->setFocus(Qt::MouseFocusReason);
    setActivePane(primary);
    if (onFocusChanged) onFocusChanged(pane);
}
