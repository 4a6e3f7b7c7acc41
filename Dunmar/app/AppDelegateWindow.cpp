// Showing, hiding and toggling the window: the fades with their guard against a second gesture
// mid-fade, the keyboard on showing, hiding on a click elsewhere, dimming while another window has
// the keyboard, the double Control, and the window branches of the settings.
#include "app/AppDelegate.h"
#include "app/BorderlessWindow.h"
#include "app/ClickOutside.h"
#include "app/DesktopSpace.h"
#include "app/WindowToggle.h"
#include "chrome/ChromeAnimation.h"
#include "platform/Defaults.h"
#include "platform/EwmhHints.h"
#include "platform/GlobalInput.h"
#include "platform/StatusTrayIcon.h"
#include "platform/X11Session.h"
#include "settings/BellManager.h"
#include "settings/SettingsKeys.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>

namespace {

const QString& kAlwaysOnTop = settings::kAlwaysOnTop;
const QString& kFollowAllSpaces = settings::kFollowAllSpaces;
const QString& kHideOnClickOutside = settings::kHideOnClickOutside;
const QString& kAutoDim = settings::kAutoDim;
const QString& kWindowOpacityKey = settings::kWindowOpacity;
// An unfocused window fades to this share of its opacity.
constexpr double kDimFactor = 0.55;

} // namespace

double AppDelegate::windowOpacitySetting() const {
    const double opacity = defaults_.doubleValue(kWindowOpacityKey);
    return opacity > 0.01 ? opacity : 1.0;
}

void AppDelegate::fadeWindow(double to, int durationMs, const QEasingCurve& curve,
                             std::function<void()> done) {
    if (fadeAnimation_) {
        fadeAnimation_->disconnect(this);
        fadeAnimation_->stop();
    }
    if (durationMs <= 0) {
        window_->setWindowOpacity(to);
        if (done) done();
        return;
    }
    auto* animation = new QPropertyAnimation(window_.get(), "windowOpacity", this);
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    animation->setEndValue(to);
    connect(animation, &QPropertyAnimation::finished, this, [done = std::move(done)] {
        if (done) done();
    });
    fadeAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void AppDelegate::finishFade() {
    isAnimating_ = false;
    if (pendingToggle_) {
        pendingToggle_ = false;
        toggleWindow();
    }
}

void AppDelegate::applyWindowHintsBeforeMapping() {
    windowKeptAbove_ = defaults_.boolean(kAlwaysOnTop);
    followAllSpaces_ = defaults_.boolean(kFollowAllSpaces);
    if (!window_ || window_->isVisible()) return;
    ewmh::WindowHints hints;
    hints.above = windowKeptAbove_;
    hints.allDesktops = followAllSpaces_;
    ewmh::writeBeforeMapping(window_->winId(), hints);
}

void AppDelegate::applyWindowLevel() {
    windowKeptAbove_ = defaults_.boolean(kAlwaysOnTop);
    if (!window_) return;
    if (window_->isVisible())
        ewmh::requestAbove(window_->winId(), defaults_.boolean(kAlwaysOnTop));
    else
        applyWindowHintsBeforeMapping();
}

void AppDelegate::applyFollowAllSpaces() {
    followAllSpaces_ = defaults_.boolean(kFollowAllSpaces);
    if (!window_) return;
    if (window_->isVisible())
        ewmh::requestAllDesktops(window_->winId(), defaults_.boolean(kFollowAllSpaces));
    else
        applyWindowHintsBeforeMapping();
}

void AppDelegate::toggleWindow() {
    if (!window_) return;
    windowtoggle::State state;
    state.isAnimating = isAnimating_;
    state.detached = isWindowDetached_;
    state.visible = isWindowVisible();
    state.onCurrentDesktop = isWindowOnCurrentDesktop();
    const windowtoggle::Action action = windowtoggle::decide(state);
    if (action == windowtoggle::Action::flipPending) {
        pendingToggle_ = !pendingToggle_;
        return;
    }
    pendingToggle_ = false;
    switch (action) {
    case windowtoggle::Action::show:
        showWindowAnimated();
        break;
    case windowtoggle::Action::showDetached:
        showDetachedAnimated();
        break;
    case windowtoggle::Action::hide:
        hideWindowAnimated();
        break;
    case windowtoggle::Action::bringToCurrentDesktop:
        bringToCurrentDesktop();
        break;
    case windowtoggle::Action::flipPending:
        break;
    }
}

void AppDelegate::showDetachedAnimated() {
    // A detached window comes back where it was: not moved, no click-outside monitor, no poll.
    isAnimating_ = true;
    window_->setWindowOpacity(0);
    applyWindowHintsBeforeMapping();
    window_->show();
    window_->raise();
    window_->activateWindow();
    fadeWindow(windowOpacitySetting(), kShowFadeMs, chrome::easeOutCurve(), [this] { finishFade(); });
    focusActiveTab();
}

void AppDelegate::bringToCurrentDesktop() {
    window_->hide();
    window_->setWindowOpacity(0);
    isAnimating_ = false;
    removeClickOutsideMonitor();
    showWindowAnimated();
}

void AppDelegate::showWindowAnimated() {
    if (!window_ || isAnimating_) return;
    isAnimating_ = true;
    windowMoveWorkItem_.stop();
    if (dimAnimation_) dimAnimation_->stop();

    positionWindowUnderTrayIcon();
    updateWindowMask();
    window_->setWindowOpacity(0);
    applyWindowHintsBeforeMapping();
    if (window_->isMinimized()) window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
    repositionDockedWindow();

    fadeWindow(windowOpacitySetting(), kShowFadeMs, chrome::easeOutCurve(), [this] { finishFade(); });
    startTrayIconPolling();
    focusActiveTab();
    if (defaults_.boolean(kHideOnClickOutside)) installClickOutsideMonitor();
}

void AppDelegate::hideWindowAnimated() {
    if (isAnimating_ || !window_ || !isWindowVisible()) return;
    // The command palette, which closes here, comes with its subsystem.
    isAnimating_ = true;
    lastHideTime_ = uptime ? uptime() : 0;
    removeClickOutsideMonitor();
    setSuppressResizeOnAllPanes(true);
    stopTrayIconPolling();
    const int duration = isWindowDetached_ ? kHideFadeDetachedMs : kHideFadeDockedMs;
    fadeWindow(0, duration, chrome::easeInCurve(), [this] {
        setSuppressResizeOnAllPanes(false);
        window_->hide();
        finishFade();
    });
}

void AppDelegate::setSuppressResizeOnAllPanes(bool suppress) {
    for (TerminalView* view : allTerminalViews())
        if (view) view->setSuppressResize(suppress);
}

void AppDelegate::restoreWindowOpacity() {
    if (!window_) return;
    if (dimAnimation_) dimAnimation_->stop();
    auto* animation = new QPropertyAnimation(window_.get(), "windowOpacity", this);
    animation->setDuration(kRestoreOpacityMs);
    animation->setEndValue(windowOpacitySetting());
    dimAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

// ---- Click outside ---------------------------------------------------------------------------

void AppDelegate::installClickOutsideMonitor() {
    // Never two: a second monitor over the first would outlive the removal of the one stored.
    removeClickOutsideMonitor();
    if (!globalInput_) return;
    const QPointer<AppDelegate> self(this);
    clickOutsideConnection_ =
        connect(globalInput_.get(), &GlobalInput::buttonPressed, this, [self](int button) {
            // Left and right presses, as a click-away is meant; the wheel and the middle button are not.
            if (!self || (button != 1 && button != 3)) return;
            // Raw events carry no position: ask where the pointer is now.
            const QPoint pointer = x11::queryPointer().value_or(QCursor::pos());
            self->handleClickOutside(pointer);
        });
    globalInput_->setWatchClicks(true);
    clickOutsideMonitor_ = true;
}

void AppDelegate::removeClickOutsideMonitor() {
    if (clickOutsideConnection_) disconnect(clickOutsideConnection_);
    clickOutsideConnection_ = {};
    if (globalInput_) globalInput_->setWatchClicks(false);
    clickOutsideMonitor_ = false;
}

void AppDelegate::setClickOutsideMonitorEnabled(bool enabled) {
    clickOutsideWanted_ = enabled;
    if (!enabled) {
        removeClickOutsideMonitor();
        return;
    }
    // While hidden nothing is installed: showing installs it when the setting is on.
    if (!clickOutsideMonitor_ && isWindowVisible()) installClickOutsideMonitor();
}

void AppDelegate::handleClickOutside(const QPoint& pointer) {
    if (!window_ || !isWindowVisible() || isAnyDragSessionActive()) return;
    ClickOutsideInput input;
    input.pointer = pointer;
    input.window = window_->geometry();
    input.trayIcon = statusButtonRect();
    for (const QScreen* screen : QGuiApplication::screens())
        input.screens << ClickOutsideInput::Screen{screen->geometry(), screen->availableGeometry()};
    if (clickHidesWindow(input)) hideWindowAnimated();
}

// ---- Keyboard focus and dimming ----------------------------------------------------------------

void AppDelegate::windowDidResignKey() {
    if (TerminalView* pane = activePane()) pane->update();
    if (isAnimating_ || !isWindowVisible() || !defaults_.boolean(kAutoDim) || isAnyDragSessionActive())
        return;
    const double opacity = defaults_.doubleValue(kWindowOpacityKey);
    const double target = opacity > 0.01 ? opacity * kDimFactor : kDimFactor;
    const QPoint origin = window_->pos();
    if (dimAnimation_) dimAnimation_->stop();
    auto* animation = new QPropertyAnimation(window_.get(), "windowOpacity", this);
    animation->setDuration(kAutoDimMs);
    animation->setEasingCurve(chrome::easeInCurve());
    animation->setEndValue(target);
    // Some window managers nudge a window whose properties change; it stays where it was.
    connect(animation, &QPropertyAnimation::finished, this, [this, origin] {
        if (window_ && window_->pos() != origin) window_->move(origin);
    });
    dimAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void AppDelegate::windowDidBecomeKey() {
    if (TerminalView* pane = activePane()) pane->update();
    if (!isAnimating_ && defaults_.boolean(kAutoDim)) restoreWindowOpacity();
}

void AppDelegate::handleControlKeyChanged(bool down) {
    const double now = uptime ? uptime() : 0;
    // The palette answers only while our window has the keyboard, as a key of its own would.
    if (doubleControl_.controlChanged(down, now) && isWindowKey()) toggleCommandPalette();
}

// ---- The reset to defaults ---------------------------------------------------------------------

void AppDelegate::resetWindow() {
    if (!window_) return;
    // A move saved later, or a frame of the way back (the level's re-show, the slide) saved as the
    // user's, would undo the reset of the window's remembered place.
    windowMoveWorkItem_.stop();
    resetFrameRunning_ = true;
    window_->setWindowOpacity(0.99);
    setBackdropIntensity(0.96);
    applyWindowLevel();
    for (TerminalView* view : allTerminalViews()) {
        if (!view) continue;
        view->setUserCursorStyle(0);
        view->updateFontSize(10.0);
    }
    const std::optional<QRect> button = statusButtonRect();
    const QRectF target =
        placement::standardFrame(button ? std::optional<QRectF>(desktopspace::up(*button)) : std::nullopt,
                                 desktopspace::up(window_->geometry()));
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.22, 1.0), QPointF(0.36, 1.0), QPointF(1.0, 1.0));
    const QPointer<AppDelegate> self(this);
    animateFrame(desktopspace::down(target), kResetWindowMs, curve, [self] {
        if (self) self->resetFrameRunning_ = false;
    });
    // Starting the slide ended any slide before it, and with it the mark; this one carries it on.
    resetFrameRunning_ = true;
    updateWindowMask();
    // The monitor follows the setting (off after a reset), as it does everywhere else.
    setClickOutsideMonitorEnabled(defaults_.boolean(kHideOnClickOutside));
}
