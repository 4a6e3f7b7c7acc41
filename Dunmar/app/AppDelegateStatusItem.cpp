// The tray icon: its clicks and menu, where the docked window hangs under it, following it when it
// moves, and the bell's flash.
#include "app/AppDelegate.h"
#include "app/BorderlessWindow.h"
#include "app/DesktopSpace.h"
#include "chrome/ChromeAnimation.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "platform/StatusTrayIcon.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPropertyAnimation>
#include <QScreen>
#include <cmath>

void AppDelegate::setUpStatusItem() {
    connect(&trayIconPollTimer_, &QTimer::timeout, this, [this] {
        if (isWindowDetached_) return;
        const double x = currentTrayIconScreenX();
        if (x > 0 && std::abs(x - lastKnownTrayX_) > 1.0) {
            lastKnownTrayX_ = x;
            repositionDockedWindow();
        }
    });
    trayIconPollTimer_.setInterval(kTrayPollMs);
    // Platforms without a desktop (the offscreen one of the tests) have no tray to go into.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    statusItem_ = std::make_unique<StatusTrayIcon>();
    const QPointer<AppDelegate> self(this);
    statusItem_->onLeftClick = [self] {
        if (self) self->statusItemClicked();
    };
    statusItem_->onBuildMenu = [self](QMenu& menu) {
        if (self) self->buildStatusItemMenu(menu);
    };
    statusItem_->show();
}

void AppDelegate::statusItemClicked() {
    toggleWindow();
}

void AppDelegate::buildStatusItemMenu(QMenu& menu) {
    menu.addAction(qs(Loc::showHide()), this, [this] { toggleWindow(); });
    QAction* detach = menu.addAction(qs(isWindowDetached_ ? Loc::reattachWindow() : Loc::detachWindow()),
                                     this, [this] { toggleDetach(); });
    detach->setCheckable(true);
    detach->setChecked(isWindowDetached_);
    menu.addSeparator();
    menu.addAction(qs(Loc::newTab()), this, [this] { addTab(); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("zsh"), this, [this] { menuSwitchZsh(); });
    menu.addAction(QStringLiteral("bash"), this, [this] { menuSwitchBash(); });
    menu.addAction(QStringLiteral("sh"), this, [this] { menuSwitchSh(); });
    menu.addSeparator();
    menu.addAction(qs(Loc::quitApp()), this, [this] { handleQuitRequest(); });
}

std::optional<QRect> AppDelegate::statusButtonRect() const {
    if (statusItemRect) return statusItemRect();
    if (!statusItem_ || !statusItem_->isVisible()) return std::nullopt;
    return statusItem_->anchorRect();
}

double AppDelegate::currentTrayIconScreenX() const {
    const std::optional<QRect> rect = statusButtonRect();
    if (!rect) return 0;
    const double x = QRectF(*rect).center().x();
    return x > kMinValidTrayX ? x : 0;
}

void AppDelegate::setStatusItemDimmed(bool dimmed) {
    if (statusItem_) statusItem_->setDimmed(dimmed);
}

void AppDelegate::positionWindowUnderTrayIcon() {
    if (!window_) return;
    placement::PlacementInput in;
    in.windowSize = QSizeF(window_->size());
    if (const std::optional<QRect> button = statusButtonRect()) {
        in.statusButton = desktopspace::up(*button);
        if (const QScreen* screen = QGuiApplication::screenAt(button->center()))
            in.statusButtonScreen = desktopspace::rectsOf(*screen);
    }
    in.desktop = desktopspace::desktop();
    in.detached = isWindowDetached_;
    if (isWindowDetached_ && defaults_.hasStoredValue(QStringLiteral("windowX")))
        in.storedWindowX = defaults_.doubleValue(QStringLiteral("windowX"));
    const std::optional<placement::Placement> placed = placement::placeUnderStatusItem(in);
    if (!placed) return; // no screen at all
    window_->setGeometry(desktopspace::down(placed->frame));
}

void AppDelegate::animateFrame(const QRect& target, int durationMs, const QEasingCurve& curve,
                               std::function<void()> done) {
    if (!window_) return;
    if (frameAnimation_) {
        frameAnimation_->stop();
        repositionRunning_ = false;
        resetFrameRunning_ = false;
    }
    auto* animation = new QPropertyAnimation(window_.get(), "geometry", this);
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    animation->setEndValue(target);
    connect(animation, &QPropertyAnimation::finished, this, [done = std::move(done)] {
        if (done) done();
    });
    frameAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void AppDelegate::repositionDockedWindow() {
    // A second reposition while one slides is ignored.
    if (!window_ || isWindowDetached_ || repositionRunning_) return;
    const QRectF old = desktopspace::up(window_->geometry());
    positionWindowUnderTrayIcon();
    const QRectF placed = desktopspace::up(window_->geometry());
    // The window keeps its vertical position; only its x and width follow the icon.
    const QRect target = desktopspace::down(QRectF(placed.x(), old.y(), placed.width(), placed.height()));
    if (std::abs(placed.x() - old.x()) <= 0.5 && std::abs(placed.width() - old.width()) <= 0.5) {
        window_->setGeometry(target);
        updateWindowMask();
        return;
    }
    window_->setGeometry(desktopspace::down(old));
    repositionRunning_ = true;
    // The mask and the border follow each step of the slide (windowDidResize and windowDidMove).
    animateFrame(target, kRepositionMs, chrome::easeOutCurve(), [this] {
        repositionRunning_ = false;
        updateWindowMask();
    });
}

void AppDelegate::startTrayIconPolling() {
    trayIconPollTimer_.stop();
    lastKnownTrayX_ = currentTrayIconScreenX();
    trayIconPollTimer_.start();
}

void AppDelegate::stopTrayIconPolling() {
    trayIconPollTimer_.stop();
}
