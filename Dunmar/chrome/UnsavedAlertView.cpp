#include "chrome/UnsavedAlertView.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/SymbolImage.h"
#include "platform/Geometry.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <cmath>

namespace {

// Panel geometry, measured from the panel's bottom-left corner.
constexpr QRectF kIconRect(145, 116, 20, 20);
constexpr QRectF kTitleRect(16, 78, 278, 17);
constexpr QRectF kMessageRect(16, 54, 278, 18);
constexpr QRectF kSeparatorRect(0, 46, 310, 1);
constexpr qreal kButtonWidth = (310.0 - 2 * 16 - 2 * 8) / 3; // 87.33
constexpr qreal kButtonY = 9;
constexpr qreal kButtonHeight = 28;

// One of the alert's three flat answers; the accent one is the blue default.
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
    AlertPanel(const QString& title, const QString& message, QWidget* parent)
        : QWidget(parent), title_(title), message_(message) {
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

        const QPixmap icon =
            SymbolImage::render(QStringLiteral("exclamationmark.triangle.fill"), 20,
                                chrome::rgb(0.95, 0.75, 0.2), p.device()->devicePixelRatioF());
        if (!icon.isNull()) p.drawPixmap(geometry::flipped(kIconRect, h), icon, QRectF(icon.rect()));

        p.setPen(chrome::white(0.96));
        p.setFont(chrome::systemFont(13, QFont::DemiBold));
        p.drawText(geometry::flipped(kTitleRect, h), Qt::AlignCenter, title_);
        p.setPen(chrome::white(0.58));
        p.setFont(chrome::systemFont(11));
        // The message may wrap; it grows downwards from its line when it does.
        QRectF messageBox = geometry::flipped(kMessageRect, h);
        messageBox.setBottom(geometry::flipped(kSeparatorRect, h).top() - 2);
        p.drawText(messageBox, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, message_);
        p.fillRect(geometry::flipped(kSeparatorRect, h), chrome::white(0.2));
    }

private:
    QString title_;
    QString message_;
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

QRect UnsavedAlertView::panelFrame(const QSize& hostSize) {
    // Centred and rounded measured from the bottom, then turned top-down.
    const int x = geometry::roundToPixel((hostSize.width() - panelW) / 2.0);
    const int yUp = geometry::roundToPixel((hostSize.height() - panelH) / 2.0);
    return QRect(x, hostSize.height() - yUp - panelH, panelW, panelH);
}

UnsavedAlertView::UnsavedAlertView(QWidget* host, const QString& title, const QString& message,
                                   const QString& saveLabel, const QString& discardLabel,
                                   const QString& cancelLabel)
    : QWidget(host), host_(host) {
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_NoMousePropagation);
    panel_ = new AlertPanel(title, message, this);
    panel_->resize(panelW, panelH);

    QPointer<UnsavedAlertView> self(this);
    const struct {
        const QString& label;
        bool accent;
        int slot;
        std::function<void()> UnsavedAlertView::*choice;
    } answers[] = {
        {cancelLabel, false, 0, &UnsavedAlertView::onCancel},
        {discardLabel, false, 1, &UnsavedAlertView::onDiscard},
        {saveLabel, true, 2, &UnsavedAlertView::onSave},
    };
    for (const auto& a : answers) {
        auto* button = new AlertButton(a.label, a.accent, panel_);
        const qreal x = 16 + a.slot * (kButtonWidth + 8);
        button->setGeometry(
            geometry::flippedPixels(QRectF(x, kButtonY, kButtonWidth, kButtonHeight), panelH));
        auto choice = a.choice;
        button->onClick = [self, choice] {
            if (self) self->dismiss(choice);
        };
    }
    host->installEventFilter(this);
    followHost();
}

void UnsavedAlertView::show(QWidget* host, const QString& title, const QString& message,
                            const QString& saveLabel, const QString& discardLabel, const QString& cancelLabel,
                            std::function<void()> onSave, std::function<void()> onDiscard,
                            std::function<void()> onCancel) {
    if (!host) return;
    auto* alert = new UnsavedAlertView(host, title, message, saveLabel, discardLabel, cancelLabel);
    alert->onSave = std::move(onSave);
    alert->onDiscard = std::move(onDiscard);
    alert->onCancel = std::move(onCancel);
    alert->raise();
    chrome::setWidgetAlpha(alert, 0.0);
    alert->QWidget::show();
    chrome::fadeWidget(alert, 1.0, kFadeInMs, chrome::easeOutCurve());
}

void UnsavedAlertView::followHost() {
    if (!host_) return;
    setGeometry(host_->rect());
    panel_->setGeometry(panelFrame(host_->size()));
}

bool UnsavedAlertView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == host_) {
        if (event->type() == QEvent::Resize) followHost();
        // Views added to the host later still lie below the alert.
        if (event->type() == QEvent::ChildAdded && !dismissing_) raise();
    }
    return QWidget::eventFilter(watched, event);
}

void UnsavedAlertView::dismiss(std::function<void()> UnsavedAlertView::*choice) {
    if (dismissing_) return;
    dismissing_ = true;
    std::function<void()> chosen = this->*choice;
    QPointer<UnsavedAlertView> self(this);
    chrome::fadeWidget(this, 0.0, kFadeOutMs, chrome::linearCurve(), [self, chosen] {
        if (!self) return;
        // Gone from the host first, so that the answer may put up another alert there.
        if (self->host_) self->host_->removeEventFilter(self);
        self->hide();
        self->setParent(nullptr);
        self->deleteLater();
        if (chosen) chosen();
    });
}

void UnsavedAlertView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), chrome::white(0.0, 0.5));
    paintShadow(p, QRectF(panel_->geometry()));
}

// The dimmed area swallows every press and wheel turn, so nothing behind it reacts.
void UnsavedAlertView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
void UnsavedAlertView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}
void UnsavedAlertView::wheelEvent(QWheelEvent* event) {
    event->accept();
}
