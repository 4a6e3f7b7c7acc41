#include "dictation/DictationOverlay.h"

#include "platform/Defaults.h"
#include "platform/Geometry.h"
#include "platform/PlainText.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

namespace {

// The panel's rounded, translucent black body.
class OverlayPanel final : public QWidget {
public:
    OverlayPanel()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TranslucentBackground);
        setFocusPolicy(Qt::NoFocus);
        setWindowTitle(QStringLiteral("Dictation"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 8, 8);
        p.fillPath(path, QColor::fromRgbF(0, 0, 0, 0.75));
    }
};

} // namespace

DictationOverlay::DictationOverlay(Defaults& defaults) : defaults_(defaults) {}

DictationOverlay::~DictationOverlay() {
    delete panel_.data();
}

void DictationOverlay::build() {
    panel_ = new OverlayPanel;
    panel_->resize(kWidth, kHeight);
    label_ = new QLabel(panel_);
    plaintext::makePlain(label_);
    label_->setGeometry(12, 10, 296, 28);
    label_->setAlignment(Qt::AlignCenter);
    label_->setTextInteractionFlags(Qt::NoTextInteraction);
    label_->setAttribute(Qt::WA_TranslucentBackground);
    label_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    QFont font = label_->font();
    font.setPixelSize(13);
    label_->setFont(font);
}

std::optional<QPoint> DictationOverlay::placement(const std::optional<QRect>& window,
                                                  const std::optional<QRect>& visible, QSize panel,
                                                  qreal desktopBottom) {
    const qreal w = panel.width();
    const qreal h = panel.height();
    // Measured upwards from the bottom of the desktop.
    std::optional<QRectF> visibleUp;
    if (visible) visibleUp = geometry::toBottomUp(QRectF(*visible), desktopBottom);
    qreal x = 0;
    qreal y = 0;
    if (window) {
        const QRectF frame = geometry::toBottomUp(QRectF(*window), desktopBottom);
        x = frame.center().x() - w / 2;
        y = frame.y() - h - kGapBelowWindow;
    } else {
        if (!visibleUp) return std::nullopt;
        x = visibleUp->center().x() - w / 2;
        y = visibleUp->y() + kAboveScreenBottomWithoutWindow;
    }
    y = std::max(y, (visibleUp ? visibleUp->y() : 0.0) + kMinAboveScreenBottom);
    return geometry::fromBottomUp(QRectF(x, y, w, h), desktopBottom).topLeft();
}

void DictationOverlay::show(const QString& text, QWidget* window) {
    const QVariant enabled = defaults_.object(QStringLiteral("dictationShowOverlay"));
    if (enabled.typeId() == QMetaType::Bool && !enabled.toBool()) return;
    if (!panel_) build();

    const QString shown = text.isEmpty() ? kListening : text;
    // One line, cut at its end to the label's width.
    label_->setText(
        label_->fontMetrics().elidedText(plaintext::visibleEscapes(shown), Qt::ElideRight, label_->width()));
    label_->setToolTip(QString());

    QScreen* primary = QGuiApplication::primaryScreen();
    std::optional<QRect> frame;
    if (window) frame = window->frameGeometry();
    std::optional<QRect> visible;
    if (primary) visible = primary->availableGeometry();
    const qreal desktopBottom = primary ? primary->geometry().y() + primary->geometry().height() : 0;
    if (const std::optional<QPoint> at = placement(frame, visible, panel_->size(), desktopBottom))
        panel_->move(*at);
    panel_->show();
    panel_->raise();
}

void DictationOverlay::hide() {
    if (panel_) panel_->hide();
}
