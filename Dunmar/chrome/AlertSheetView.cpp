#include "chrome/AlertSheetView.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/SymbolImage.h"
#include "platform/Geometry.h"
#include "platform/PlainText.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Panel geometry, measured from the panel's bottom-left corner.
constexpr QRectF kIconRect(145, 116, 20, 20);
constexpr QRectF kTitleRect(16, 78, 278, 17);
constexpr QRectF kMessageRect(16, 54, 278, 18);
constexpr QRectF kSeparatorRect(0, 46, 310, 1);
constexpr qreal kButtonMargin = 16;
constexpr qreal kButtonGap = 8;
constexpr qreal kButtonY = 9;
constexpr qreal kButtonHeight = 28;

// The answers share the row between the margins: three are 87.33 wide, two 135, one 278.
qreal buttonWidth(int count) {
    return (AlertSheetView::panelW - 2 * kButtonMargin - (count - 1) * kButtonGap) / count;
}

// One of the alert's flat answers; the accent one is the blue default.
class AlertButton : public QWidget {
public:
    AlertButton(const QString& label, bool accent, QWidget* parent)
        : QWidget(parent), label_(label), accent_(accent),
          font_(chrome::systemFont(11, accent ? QFont::DemiBold : QFont::Normal)) {
        if (accent) {
            normalBg_ = chrome::rgb(0.18, 0.42, 0.88);
            hoverBg_ = chrome::rgb(0.26, 0.52, 0.96);
            pressBg_ = chrome::rgb(0.14, 0.35, 0.78);
        } else {
            normalBg_ = chrome::white(0.16);
            hoverBg_ = chrome::white(0.24);
            pressBg_ = chrome::white(0.12);
        }
        bg_ = normalBg_;
        setCursor(Qt::ArrowCursor);
        setAccessibleName(label);
    }

    std::function<void()> onClick;
    QColor background() const { return bg_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 6, 6);
        p.fillPath(path, bg_);
        if (accent_) {
            // A soft top light, as on a raised default button.
            QLinearGradient sheen(0, 0, 0, height());
            sheen.setColorAt(0, chrome::white(1.0, 0.14));
            sheen.setColorAt(0.6, chrome::white(1.0, 0.0));
            p.fillPath(path, sheen);
        }
        p.setFont(font_);
        p.setPen(accent_ ? chrome::white(1.0) : chrome::white(0.8));
        const QRectF labelBox(0, (height() - 14) / 2.0, width(), 14);
        p.drawText(labelBox, Qt::AlignCenter, label_);
    }
    void enterEvent(QEnterEvent*) override { setBg(hoverBg_); }
    void leaveEvent(QEvent*) override { setBg(normalBg_); }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return e->ignore();
        setBg(pressBg_);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return e->ignore();
        setBg(hoverBg_);
        if (rect().contains(e->position().toPoint()) && onClick) onClick();
    }

private:
    void setBg(const QColor& c) {
        bg_ = c;
        update();
    }

    QString label_;
    bool accent_;
    QFont font_;
    QColor normalBg_, hoverBg_, pressBg_, bg_;
};

// The panel: drawn card with its shadow, icon, title, message and separator.
class AlertPanel : public QWidget {
public:
    AlertPanel(const QString& title, const QString& message, bool warningSign, QWidget* parent)
        : QWidget(parent), title_(title), message_(message), warningSign_(warningSign) {
        setCursor(Qt::ArrowCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal h = height();
        const QRectF card(0, 0, width(), h);
        QPainterPath shape;
        shape.addRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        p.fillPath(shape, chrome::white(0.08, 0.98));
        p.strokePath(shape, QPen(chrome::white(0.3), 1));

        if (warningSign_) {
            const QPixmap icon =
                SymbolImage::render(QStringLiteral("exclamationmark.triangle.fill"), 20,
                                    chrome::rgb(0.95, 0.75, 0.2), p.device()->devicePixelRatioF());
            if (!icon.isNull()) p.drawPixmap(geometry::flipped(kIconRect, h), icon, QRectF(icon.rect()));
        }

        p.setPen(chrome::white(0.96));
        p.setFont(chrome::systemFont(13, QFont::DemiBold));
        // Messages name files and running programs: their control characters show as escapes.
        p.drawText(geometry::flipped(kTitleRect, h), Qt::AlignCenter | Qt::TextSingleLine,
                   plaintext::visibleEscapes(title_));
        p.setPen(chrome::white(0.58));
        p.setFont(chrome::systemFont(11));
        // The message may wrap; it grows downwards from its line when it does.
        QRectF messageBox = geometry::flipped(kMessageRect, h);
        messageBox.setBottom(geometry::flipped(kSeparatorRect, h).top() - 2);
        p.drawText(messageBox, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                   plaintext::visibleEscapes(message_, plaintext::Lines::kept));
        p.fillRect(geometry::flipped(kSeparatorRect, h), chrome::white(0.2));
    }

private:
    QString title_;
    QString message_;
    bool warningSign_;
};

// The panel's drop shadow, painted by the dimming layer under the panel: black at 0.7, 22 pixels
// of blur, 8 pixels down.
void paintShadow(QPainter& p, const QRectF& panel) {
    p.save();
    p.setPen(Qt::NoPen);
    constexpr int kSteps = 11;
    constexpr qreal kRadius = 22;
    const QRectF base = panel.translated(0, 8);
    for (int i = kSteps; i >= 1; --i) {
        const qreal spread = kRadius * i / kSteps;
        const qreal alpha = 0.7 / kSteps * 0.55;
        QPainterPath path;
        path.addRoundedRect(base.adjusted(-spread, -spread, spread, spread), 10 + spread, 10 + spread);
        p.fillPath(path, chrome::white(0.0, alpha));
    }
    p.restore();
}

} // namespace

QRect AlertSheetView::panelFrame(const QSize& hostSize) {
    // Centred and rounded measured from the bottom, then turned top-down.
    const int x = geometry::roundToPixel((hostSize.width() - panelW) / 2.0);
    const int yUp = geometry::roundToPixel((hostSize.height() - panelH) / 2.0);
    return QRect(x, hostSize.height() - yUp - panelH, panelW, panelH);
}

AlertSheetView::AlertSheetView(QWidget* host, const QString& title, const QString& message,
                               QList<Answer> answers, Icon icon)
    : QWidget(host), host_(host), title_(title), message_(message), icon_(icon),
      answers_(std::move(answers)) {
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_NoMousePropagation);
    panel_ = new AlertPanel(title, message, icon == Icon::warning, this);
    panel_->resize(panelW, panelH);

    QPointer<AlertSheetView> self(this);
    const int count = static_cast<int>(answers_.size());
    const qreal width = buttonWidth(std::max(count, 1));
    for (int i = 0; i < count; ++i) {
        auto* button = new AlertButton(answers_[i].label, answers_[i].accent, panel_);
        const qreal x = kButtonMargin + i * (width + kButtonGap);
        button->setGeometry(geometry::flippedPixels(QRectF(x, kButtonY, width, kButtonHeight), panelH));
        button->onClick = [self, i] {
            if (self) self->choose(i);
        };
        buttons_ << button;
    }
    host->installEventFilter(this);
    followHost();
}

AlertSheetView::~AlertSheetView() {
    if (keyFilterInstalled_) qApp->removeEventFilter(this);
}

AlertSheetView* AlertSheetView::show(QWidget* host, const QString& title, const QString& message,
                                     QList<Answer> answers, Icon icon) {
    if (!host || answers.isEmpty()) return nullptr;
    auto* alert = new AlertSheetView(host, title, message, std::move(answers), icon);
    alert->present();
    return alert;
}

void AlertSheetView::present() {
    chrome::setWidgetAlpha(this, 0.0);
    QWidget::show();
    if (bindsKeys()) {
        // The keys reach the question from wherever the focus sits in the window, even when the
        // window's own showing hands the focus back to a pane afterwards.
        qApp->installEventFilter(this);
        keyFilterInstalled_ = true;
        if (host_) focusBefore_ = host_->window()->focusWidget();
    }
    bringForward();
    chrome::fadeWidget(this, 1.0, kFadeInMs, chrome::easeOutCurve());
}

void AlertSheetView::bringForward() {
    if (dismissing_) return;
    raise();
    if (bindsKeys()) setFocus(Qt::OtherFocusReason);
}

bool AlertSheetView::bindsKeys() const {
    return answerIndex(&Answer::isDefault) >= 0 || answerIndex(&Answer::isCancel) >= 0;
}

int AlertSheetView::answerIndex(bool Answer::*role) const {
    for (int i = 0; i < answers_.size(); ++i)
        if (answers_[i].*role) return i;
    return -1;
}

void AlertSheetView::followHost() {
    if (!host_) return;
    setGeometry(host_->rect());
    panel_->setGeometry(panelFrame(host_->size()));
}

bool AlertSheetView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == host_) {
        if (event->type() == QEvent::Resize) followHost();
        // Views added to the host later still lie below the alert.
        if (event->type() == QEvent::ChildAdded && !dismissing_) raise();
    }
    if (keyFilterInstalled_ && handleKey(watched, event)) return true;
    return QWidget::eventFilter(watched, event);
}

bool AlertSheetView::handleKey(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || !host_ || widget->window() != host_->window()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool isReturn =
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::NoModifier;
    const bool isEscape = key->key() == Qt::Key_Escape && mods == Qt::NoModifier;
    if (event->type() == QEvent::ShortcutOverride) {
        // Return and Escape come to the question as key presses, whatever shortcut they might
        // trigger in the window; the program's other shortcuts keep working.
        if (!isReturn && !isEscape) return false;
        event->accept();
        return true;
    }
    const int index = isReturn   ? answerIndex(&Answer::isDefault)
                      : isEscape ? answerIndex(&Answer::isCancel)
                                 : -1;
    if (index >= 0) choose(index);
    return true;
}

void AlertSheetView::choose(int index) {
    if (dismissing_ || withdrawn_ || index < 0 || index >= answers_.size()) return;
    dismissing_ = true;
    std::function<void()> chosen = actionFor(index);
    QPointer<AlertSheetView> self(this);
    chrome::fadeWidget(this, 0.0, kFadeOutMs, chrome::linearCurve(), [self, chosen] {
        if (!self || self->withdrawn_) return;
        // Gone from the host first, so that the answer may put up another alert there.
        self->leaveHost();
        if (chosen) chosen();
    });
}

void AlertSheetView::withdraw() {
    if (withdrawn_) return;
    withdrawn_ = true;
    for (QVariantAnimation* fade : findChildren<QVariantAnimation*>(Qt::FindDirectChildrenOnly)) fade->stop();
    leaveHost();
}

std::function<void()> AlertSheetView::actionFor(int index) const {
    return answers_.value(index).onChoose;
}

void AlertSheetView::leaveHost() {
    if (keyFilterInstalled_) {
        qApp->removeEventFilter(this);
        keyFilterInstalled_ = false;
    }
    QWidget* window = host_ ? host_->window() : nullptr;
    const bool heldFocus = window && window->focusWidget() == this;
    if (host_) host_->removeEventFilter(this);
    hide();
    setParent(nullptr);
    deleteLater();
    // The keyboard goes back to the view that had it before the question.
    if (heldFocus && focusBefore_) focusBefore_->setFocus(Qt::OtherFocusReason);
}

void AlertSheetView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), chrome::white(0.0, 0.5));
    paintShadow(p, QRectF(panel_->geometry()));
}

// The dimmed area swallows every press and wheel turn, so nothing behind it reacts.
void AlertSheetView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
void AlertSheetView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}
void AlertSheetView::wheelEvent(QWheelEvent* event) {
    event->accept();
}
