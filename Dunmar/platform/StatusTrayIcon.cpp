#include "platform/StatusTrayIcon.h"

#include "platform/TrayIconImage.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMenu>
#include <QStyleHints>

bool TrayClickFilter::accept(QSystemTrayIcon::ActivationReason reason, qint64 nowMs) {
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick) return false;
    if (lastAccepted_ && nowMs - *lastAccepted_ <= intervalMs_) return false;
    lastAccepted_ = nowMs;
    return true;
}

namespace {

qint64 monotonicMs() {
    static QElapsedTimer timer;
    if (!timer.isValid()) timer.start();
    return timer.elapsed();
}

} // namespace

StatusTrayIcon::StatusTrayIcon(QObject* parent)
    : QObject(parent), menu_(std::make_unique<QMenu>()),
      clicks_(QGuiApplication::styleHints()->mouseDoubleClickInterval()), clock_(monotonicMs) {
    tray_.setToolTip(QStringLiteral("Dunmar"));
    tray_.setContextMenu(menu_.get());
    connect(menu_.get(), &QMenu::aboutToShow, this, [this] {
        menu_->clear();
        if (onBuildMenu) onBuildMenu(*menu_);
    });
    connect(&tray_, &QSystemTrayIcon::activated, this, &StatusTrayIcon::handleActivation);
    refreshIcon();
}

StatusTrayIcon::~StatusTrayIcon() {
    tray_.setContextMenu(nullptr);
}

bool StatusTrayIcon::isTrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void StatusTrayIcon::show() {
    tray_.show();
}

bool StatusTrayIcon::isVisible() const {
    return tray_.isVisible();
}

void StatusTrayIcon::setDimmed(bool dimmed) {
    if (dimmed_ == dimmed) return;
    dimmed_ = dimmed;
    refreshIcon();
}

void StatusTrayIcon::refreshIcon() {
    tray_.setIcon(trayicon::icon(trayicon::variantForPalette(), dimmed_));
}

std::optional<QRect> StatusTrayIcon::anchorRect() const {
    const QRect geometry = tray_.geometry();
    if (geometry.isValid() && !geometry.isEmpty()) return geometry;
    if (lastClickPointer_) return QRect(*lastClickPointer_, QSize(1, 1));
    return std::nullopt;
}

void StatusTrayIcon::handleActivation(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        lastClickPointer_ = QCursor::pos();
    if (clicks_.accept(reason, clock_()) && onLeftClick) onLeftClick();
}
