#include "webpicker/PickRowView.h"

#include "chrome/ChromeStyle.h"
#include "platform/PlainText.h"
#include "webpicker/PickEntry.h"
#include "webpicker/SidebarStyle.h"

#include <QClipboard>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVariantAnimation>

using sidebarstyle::css;

namespace {

const QColor kXGrey = chrome::white(0.25);
const QColor kXRed = chrome::rgb(0.9, 0.35, 0.35);

} // namespace

PickRowView::PickRowView(const PickEntry& entry, QWidget* parent)
    : QWidget(parent), currentPickId_(entry.id), storedSelector_(entry.selector),
      storedInnerText_(entry.innerText), storedXPath_(entry.xpath), html_(entry.html) {
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(kClosedHeight);

    dot_ = new QWidget(this);
    dot_->setAttribute(Qt::WA_StyledBackground);
    dot_->setStyleSheet(QStringLiteral("background:%1;border-radius:4px;").arg(css(entry.color)));

    labelScroll_ = new QScrollArea(this);
    labelScroll_->setFrameShape(QFrame::NoFrame);
    labelScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    labelScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    labelScroll_->setStyleSheet(QStringLiteral("background:transparent;"));
    labelScroll_->viewport()->setAutoFillBackground(false);
    label_ = new QLabel;
    // One line: the markup's line breaks and indentation read as spaces.
    QString line = html_;
    for (const QChar blank : {QLatin1Char('\n'), QLatin1Char('\r'), QLatin1Char('\t')})
        line.replace(blank, QLatin1Char(' '));
    plaintext::setLabelText(label_, line);
    label_->setFont(chrome::monoFont(8));
    label_->setWordWrap(false);
    label_->setStyleSheet(
        QStringLiteral("color:%1;background:transparent;").arg(css(chrome::withAlpha(entry.color, 0.9))));
    label_->adjustSize();
    labelScroll_->setWidget(label_);
    // The markup line scrolls sideways under the wheel; it never wraps.
    labelScroll_->viewport()->installEventFilter(this);

    xBtn_ = new QPushButton(QStringLiteral("×"), this);
    xBtn_->setFont(chrome::systemFont(11, QFont::Light));
    xBtn_->setFlat(true);
    xBtn_->setFocusPolicy(Qt::NoFocus);
    xBtn_->setCursor(Qt::PointingHandCursor);
    sidebarstyle::setTint(xBtn_, kXGrey);
    xBtn_->installEventFilter(this);
    QObject::connect(xBtn_, &QPushButton::clicked, this, [this] {
        if (onRemove) onRemove();
    });

    stylesWrap_ = new QWidget(this);
    stylesLabel_ = new QLabel(stylesWrap_);
    plaintext::makePlain(stylesLabel_);
    stylesLabel_->setFont(chrome::monoFont(7.5));
    stylesLabel_->setWordWrap(true);
    stylesLabel_->setStyleSheet(
        QStringLiteral("color:%1;background:transparent;").arg(css(chrome::white(0.55))));
    stylesWrap_->setFixedHeight(0);
}

QString PickRowView::stylesText() const {
    return stylesLabel_->text();
}

QString PickRowView::markupLine() const {
    return label_->text();
}

void PickRowView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutRow();
}

void PickRowView::layoutRow() {
    const int w = width();
    const int mid = height() / 2;
    dot_->setGeometry(0, mid - 4, 8, 8);
    xBtn_->setGeometry(w - 14, mid - 9, 14, 18);
    const int labelH = label_->sizeHint().height();
    const int scrollLeft = 8 + 5;
    labelScroll_->setGeometry(scrollLeft, mid - labelH / 2, std::max(0, xBtn_->x() - 2 - scrollLeft), labelH);
    stylesWrap_->setGeometry(0, kClosedHeight, w, std::max(0, height() - kClosedHeight));
    const int stylesLabelH = std::min(stylesLabel_->heightForWidth(std::max(1, w - 20)),
                                      2 * stylesLabel_->fontMetrics().lineSpacing());
    stylesLabel_->setGeometry(12, (stylesWrap_->height() - stylesLabelH) / 2, std::max(0, w - 20),
                              stylesLabelH);
}

void PickRowView::setHovered(bool hovered) {
    hovered_ = hovered;
    setStyleSheet(hovered ? QStringLiteral("PickRowView{background:%1;}").arg(css(chrome::white(1.0, 0.1)))
                          : QString());
}

void PickRowView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    setHovered(true);
    if (onHighlight) onHighlight();
}

void PickRowView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setHovered(false);
    if (onUnhighlight) onUnhighlight();
}

bool PickRowView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == xBtn_) {
        if (event->type() == QEvent::Enter) sidebarstyle::setTint(xBtn_, kXRed);
        if (event->type() == QEvent::Leave) sidebarstyle::setTint(xBtn_, kXGrey);
    } else if (watched == labelScroll_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint delta = wheel->pixelDelta().isNull() ? wheel->angleDelta() / 8 : wheel->pixelDelta();
        const int step = delta.x() != 0 ? delta.x() : delta.y();
        QScrollBar* bar = labelScroll_->horizontalScrollBar();
        bar->setValue(bar->value() - step);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PickRowView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (onRightClick)
            onRightClick(html_, storedSelector_, storedInnerText_, storedXPath_,
                         event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && !xBtn_->geometry().contains(event->position().toPoint())) {
        if (!isStylesExpanded_) {
            QGuiApplication::clipboard()->setText(html_);
            if (onCopied) onCopied();
            if (onStylesRequested) onStylesRequested(currentPickId_);
        } else {
            isStylesExpanded_ = false;
            collapseStyles();
        }
    }
    QWidget::mousePressEvent(event);
}

void PickRowView::showStyles(const QString& text) {
    plaintext::setLabelText(stylesLabel_, text, plaintext::Lines::kept);
    isStylesExpanded_ = true;
    animateHeight(kOpenHeight, 180);
}

void PickRowView::collapseStyles() {
    animateHeight(kClosedHeight, 120);
}

void PickRowView::animateHeight(int rowHeight, int durationMs) {
    if (heightAnimation_) heightAnimation_->stop();
    heightAnimation_ = new QVariantAnimation(this);
    heightAnimation_->setStartValue(height());
    heightAnimation_->setEndValue(rowHeight);
    heightAnimation_->setDuration(durationMs);
    heightAnimation_->setEasingCurve(QEasingCurve::InOutQuad);
    QObject::connect(heightAnimation_, &QVariantAnimation::valueChanged, this,
                     [this](const QVariant& value) { setFixedHeight(value.toInt()); });
    heightAnimation_->start(QAbstractAnimation::DeleteWhenStopped);
}
