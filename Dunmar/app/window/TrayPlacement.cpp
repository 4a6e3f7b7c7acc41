#include "app/window/TrayPlacement.h"

#include "app/window/DesktopSpace.h"
#include "app/window/WindowPlacement.h"
#include "app/window/WindowAnimator.h"
#include "chrome/ChromeAnimation.h"
#include "platform/Defaults.h"
#include "platform/StatusTrayIcon.h"
#include "settings/SettingsKeys.h"

#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QWidget>
#include <cmath>

TrayPlacement::TrayPlacement(Defaults& defaults, WindowAnimator& animator, QObject* parent)
    : QObject(parent), defaults_(defaults), animator_(animator) {
    pollTimer_.setInterval(kTrayPollMs);
    connect(&pollTimer_, &QTimer::timeout, this, [this] {
        if (detached()) return;
        const double x = currentTrayIconScreenX();
        if (x > 0 && std::abs(x - lastKnownTrayX_) > 1.0) {
            lastKnownTrayX_ = x;
            repositionDockedWindow();
        }
    });
}

TrayPlacement::~TrayPlacement() = default;

void TrayPlacement::createStatusItem() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    statusItem_ = std::make_unique<StatusTrayIcon>();
    statusItem_->onLeftClick = [this] {
        if (onLeftClick) onLeftClick();
    };
    statusItem_->onBuildMenu = [this](QMenu& menu) {
        if (onBuildMenu) onBuildMenu(menu);
    };
    statusItem_->show();
}

void TrayPlacement::setDimmed(bool dimmed) {
    if (statusItem_) statusItem_->setDimmed(dimmed);
}

std::optional<QRect> TrayPlacement::statusButtonRect() const {
    if (statusItemRect) return statusItemRect();
    if (!statusItem_ || !statusItem_->isVisible()) return std::nullopt;
    return statusItem_->anchorRect();
}

double TrayPlacement::currentTrayIconScreenX() const {
    const std::optional<QRect> rect = statusButtonRect();
    if (!rect) return 0;
    const double x = QRectF(*rect).center().x();
    return x > kMinValidTrayX ? x : 0;
}

void TrayPlacement::positionWindowUnderTrayIcon() {
    if (!window_) return;
    placement::PlacementInput in;
    in.windowSize = QSizeF(window_->size());
    if (const std::optional<QRect> button = statusButtonRect()) {
        in.statusButton = desktopspace::up(*button);
        if (const QScreen* screen = QGuiApplication::screenAt(button->center()))
            in.statusButtonScreen = desktopspace::rectsOf(*screen);
    }
    in.desktop = desktopspace::desktop();
    in.detached = detached();
    if (in.detached && defaults_.hasStoredValue(settings::kWindowX))
        in.storedWindowX = defaults_.doubleValue(settings::kWindowX);
    const std::optional<placement::Placement> placed = placement::placeUnderStatusItem(in);
    if (!placed) return; // no screen at all
    window_->setGeometry(desktopspace::down(placed->frame));
}

bool TrayPlacement::isSliding() const {
    return slide_ && slide_->state() == QAbstractAnimation::Running;
}

void TrayPlacement::repositionDockedWindow() {
    if (!window_ || detached() || isSliding()) return;
    const QRectF old = desktopspace::up(window_->geometry());
    positionWindowUnderTrayIcon();
    const QRectF placed = desktopspace::up(window_->geometry());
    // The window keeps its vertical position; only its x and width follow the icon.
    const QRect target = desktopspace::down(QRectF(placed.x(), old.y(), placed.width(), placed.height()));
    if (std::abs(placed.x() - old.x()) <= 0.5 && std::abs(placed.width() - old.width()) <= 0.5) {
        window_->setGeometry(target);
        if (onPlaced) onPlaced();
        return;
    }
    window_->setGeometry(desktopspace::down(old));
    // The mask and the border follow each step of the slide (the window's own move and resize).
    slide_ = animator_.slideFrame(target, kRepositionMs, chrome::easeOutCurve(), [this] {
        if (onPlaced) onPlaced();
    });
}

void TrayPlacement::startPolling() {
    pollTimer_.stop();
    lastKnownTrayX_ = currentTrayIconScreenX();
    pollTimer_.start();
}

void TrayPlacement::stopPolling() {
    pollTimer_.stop();
}
