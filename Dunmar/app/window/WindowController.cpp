#include "app/window/WindowController.h"

#include "actions/ActionHandler.h"
#include "app/process/Termination.h"
#include "app/window/ClickOutside.h"
#include "app/window/DesktopSpace.h"
#include "app/window/WindowPlacement.h"
#include "app/window/WindowToggle.h"
#include "app/window/WindowHost.h"
#include "chrome/ChromeAnimation.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "terminalview/ProgramResizeGate.h"
#include "platform/EwmhHints.h"
#include "settings/SettingsKeys.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPropertyAnimation>
#include <QScreen>
#include <chrono>

namespace {

using settings::kAlwaysOnTop;
using settings::kAutoDim;
using settings::kFollowAllSpaces;
using settings::kHideOnClickOutside;
using settings::kWindowDetached;
using settings::kWindowOpacity;
using settings::kWindowX;
using settings::kWindowY;
// An unfocused window fades to this share of its opacity.
constexpr double kDimFactor = 0.55;

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

WindowController::WindowController(Defaults& defaults, ToastService& toasts, WindowHost& host,
                                   ActionHandler& actions, QObject* parent)
    : QObject(parent), uptime(steadySeconds), defaults_(defaults), host_(host), actions_(actions),
      tray_(defaults, animator_),
      snapping_(defaults, animator_, tray_), frameMemory_(defaults), keys_(toasts) {
    // The animations hang under the controller, where whoever waits for the window to settle looks.
    animator_.setParent(this);
    const auto isDetached = [this] { return detached_; };
    tray_.isDetached = isDetached;
    tray_.onLeftClick = [this] { statusItemClicked(); };
    tray_.onBuildMenu = [this](QMenu& menu) { buildStatusItemMenu(menu); };
    tray_.onPlaced = [this] { updateWindowMask(); };
    snapping_.isDetached = isDetached;
    snapping_.onSettled = [this] { activateAfterSnap(); };
    snapping_.onProgramSlide = [this](QAbstractAnimation* slide, const QRect& target) {
        frameMemory_.ignoreProgramSlide(slide, target);
    };
    frameMemory_.isDetached = isDetached;
    clickOutside_.onClick = [this](const QPoint& pointer) { handleClickOutside(pointer); };
    keys_.onHotKey = [this] { toggleWindowFromHotKey(); };
    keys_.onControlChanged = [this](bool down) { handleControlKeyChanged(down); };
    observers_.onScreenChange = [this] { handleScreenChange(); };
    observers_.onWake = [this] { handleWakeFromSleep(); };
    observers_.onAppearanceChange = [this] { host_.systemAppearanceChanged(); };
    screenChangeTimer_.setSingleShot(true);
    screenChangeTimer_.setInterval(kScreenSettleMs);
    connect(&screenChangeTimer_, &QTimer::timeout, this, [this] {
        if (!detached_ && isWindowVisible()) tray_.repositionDockedWindow();
    });
}

WindowController::~WindowController() {
    // No animation's end may run into the parts as they go.
    animator_.stopAll();
}

void WindowController::attach(BorderlessWindow* window) {
    window_ = window;
    animator_.attach(window);
    tray_.attach(window);
    snapping_.attach(window);
    frameMemory_.attach(window);
    shape_.attach(window);
    if (!window) return;
    window->isDetached = detached_;
    const QPointer<WindowController> self(this);
    window->statusItemCenterX = [self]() -> std::optional<double> {
        if (!self) return std::nullopt;
        const double x = self->tray_.currentTrayIconScreenX();
        return x > 0 ? std::optional<double>(x) : std::nullopt;
    };
    window->onSaveWindowSize = [self] {
        if (self) self->frameMemory_.saveWindowSize();
    };
    window->onBorderHover = [self](bool nearEdge) {
        if (self) self->shape_.handleBorderHover(nearEdge);
    };
    window->onActiveChanged = [self](bool active) {
        if (!self) return;
        if (active)
            self->windowDidBecomeKey();
        else
            self->windowDidResignKey();
    };
    window->onResized = [self] {
        if (self) self->windowDidResize();
    };
    window->onMoved = [self] {
        if (self) self->windowDidMove();
    };
    window->resize(frameMemory_.initialSize());
    tray_.positionWindowUnderTrayIcon();
    updateWindowMask();
    window->setWindowOpacity(windowOpacitySetting());
}

void WindowController::installSystemObservers() {
    observers_.install();
}

void WindowController::createStatusItem() {
    tray_.createStatusItem();
}

void WindowController::registerHotKeyAndMonitors() {
    keys_.registerHotKey();
    observers_.watchAppearance();
}

// ---- Showing, hiding, toggling -------------------------------------------------------------------

double WindowController::windowOpacitySetting() const {
    const double opacity = defaults_.doubleValue(kWindowOpacity);
    return opacity > 0.01 ? opacity : 1.0;
}

void WindowController::finishFade() {
    isAnimating_ = false;
    if (pendingToggle_) {
        pendingToggle_ = false;
        toggleWindow();
    }
}

void WindowController::applyWindowHintsBeforeMapping() {
    windowKeptAbove_ = defaults_.boolean(kAlwaysOnTop);
    followAllSpaces_ = defaults_.boolean(kFollowAllSpaces);
    if (!window_ || window_->isVisible()) return;
    ewmh::WindowHints hints;
    hints.above = windowKeptAbove_;
    hints.allDesktops = followAllSpaces_;
    ewmh::writeBeforeMapping(window_->winId(), hints);
}

void WindowController::mapAndActivate() {
    applyWindowHintsBeforeMapping();
    if (window_->isMinimized()) window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
    // What Qt remembers of the window may be stale: the window manager may have iconified it or be
    // showing the desktop. Asking it to activate the window brings it back in every case.
    ewmh::requestActivate(window_->winId());
}

void WindowController::toggleWindow() {
    toggle(false);
}

void WindowController::toggleWindowFromHotKey() {
    toggle(true);
}

void WindowController::toggle(bool askKey) {
    if (!window_) return;
    windowtoggle::State state;
    state.isAnimating = isAnimating_;
    state.detached = detached_;
    state.visible = isWindowVisible();
    state.onCurrentDesktop = isWindowOnCurrentDesktop();
    state.key = !askKey || isWindowKey();
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
    case windowtoggle::Action::bringToFront:
        mapAndActivate();
        host_.focusActivePage();
        break;
    case windowtoggle::Action::flipPending:
        break;
    }
}

void WindowController::showDetachedAnimated() {
    // A detached window comes back where it was: not moved, no click-outside monitor, no poll.
    isAnimating_ = true;
    window_->setWindowOpacity(0);
    mapAndActivate();
    animator_.fade(windowOpacitySetting(), kShowFadeMs, chrome::easeOutCurve(), [this] { finishFade(); });
    host_.focusActivePage();
}

void WindowController::bringToCurrentDesktop() {
    window_->hide();
    window_->setWindowOpacity(0);
    isAnimating_ = false;
    removeClickOutsideMonitor();
    showWindowAnimated();
}

void WindowController::showWindowAnimated() {
    if (!window_ || isAnimating_) return;
    isAnimating_ = true;
    frameMemory_.cancelPendingMoveSave();
    animator_.stopDim();

    tray_.positionWindowUnderTrayIcon();
    updateWindowMask();
    window_->setWindowOpacity(0);
    mapAndActivate();
    tray_.repositionDockedWindow();

    animator_.fade(windowOpacitySetting(), kShowFadeMs, chrome::easeOutCurve(), [this] { finishFade(); });
    tray_.startPolling();
    host_.focusActivePage();
    if (defaults_.boolean(kHideOnClickOutside)) installClickOutsideMonitor();
}

void WindowController::hideWindowAnimated() {
    if (isAnimating_ || !window_ || !isWindowVisible()) return;
    host_.dismissCommandPalette();
    isAnimating_ = true;
    lastHideTime_ = uptime ? uptime() : 0;
    removeClickOutsideMonitor();
    host_.holdPaneSizes(true);
    tray_.stopPolling();
    const int duration = detached_ ? kHideFadeDetachedMs : kHideFadeDockedMs;
    animator_.fade(0, duration, chrome::easeInCurve(), [this] {
        host_.holdPaneSizes(false);
        if (window_) window_->hide();
        finishFade();
    });
}

std::optional<double> WindowController::secondsSinceLastHide() const {
    if (lastHideTime_ <= 0 || !uptime) return std::nullopt;
    return uptime() - lastHideTime_;
}

bool WindowController::isWindowVisible() const {
    return window_ && window_->isVisible() && !window_->isMinimized() && ewmh::isShownOnScreen(window_->winId());
}

qreal WindowController::windowAlpha() const {
    return window_ ? window_->windowOpacity() : 0.0;
}

bool WindowController::isWindowKey() const {
    return window_ && window_->isActiveWindow();
}

bool WindowController::isWindowOnCurrentDesktop() const {
    return !window_ || ewmh::isOnCurrentDesktop(window_->winId());
}

// ---- Click outside ---------------------------------------------------------------------------------

void WindowController::installClickOutsideMonitor() {
    clickOutside_.install(keys_.input());
}

void WindowController::removeClickOutsideMonitor() {
    clickOutside_.remove();
}

void WindowController::setClickOutsideMonitorEnabled(bool enabled) {
    clickOutsideWanted_ = enabled;
    if (!enabled) {
        removeClickOutsideMonitor();
        return;
    }
    // While hidden nothing is installed: showing installs it when the setting is on.
    if (!clickOutside_.isInstalled() && isWindowVisible()) installClickOutsideMonitor();
}

void WindowController::handleClickOutside(const QPoint& pointer) {
    if (!window_ || !isWindowVisible() || host_.isDraggingOverPane()) return;
    ClickOutsideInput input;
    input.pointer = pointer;
    input.window = window_->geometry();
    input.trayIcon = tray_.statusButtonRect();
    for (const QScreen* screen : QGuiApplication::screens())
        input.screens << ClickOutsideInput::Screen{screen->geometry(), screen->availableGeometry()};
    if (clickHidesWindow(input)) hideWindowAnimated();
}

// ---- Keyboard focus and dimming ----------------------------------------------------------------------

void WindowController::windowDidResignKey() {
    host_.repaintActivePane();
    if (isAnimating_ || !isWindowVisible() || !defaults_.boolean(kAutoDim) || host_.isDraggingOverPane())
        return;
    const double opacity = defaults_.doubleValue(kWindowOpacity);
    const double target = opacity > 0.01 ? opacity * kDimFactor : kDimFactor;
    const QPoint origin = window_->pos();
    // Some window managers nudge a window whose properties change; it stays where it was.
    animator_.dim(target, kAutoDimMs, chrome::easeInCurve(), [this, origin] {
        if (window_ && window_->pos() != origin) window_->move(origin);
    });
}

void WindowController::windowDidBecomeKey() {
    host_.repaintActivePane();
    if (!isAnimating_ && defaults_.boolean(kAutoDim)) restoreWindowOpacity();
}

void WindowController::restoreWindowOpacity() {
    if (!window_) return;
    animator_.dim(windowOpacitySetting(), kRestoreOpacityMs, QEasingCurve());
}

void WindowController::handleControlKeyChanged(bool down) {
    const double now = uptime ? uptime() : 0;
    // The palette answers only while our window has the keyboard, as a key of its own would.
    if (doubleControl_.controlChanged(down, now) && isWindowKey()) host_.toggleCommandPalette();
}

// ---- The settings' window branches -----------------------------------------------------------------

void WindowController::applyWindowLevel() {
    windowKeptAbove_ = defaults_.boolean(kAlwaysOnTop);
    if (!window_) return;
    if (window_->isVisible())
        ewmh::requestAbove(window_->winId(), defaults_.boolean(kAlwaysOnTop));
    else
        applyWindowHintsBeforeMapping();
}

void WindowController::applyFollowAllSpaces() {
    followAllSpaces_ = defaults_.boolean(kFollowAllSpaces);
    if (!window_) return;
    if (window_->isVisible())
        ewmh::requestAllDesktops(window_->winId(), defaults_.boolean(kFollowAllSpaces));
    else
        applyWindowHintsBeforeMapping();
}

void WindowController::resetWindow() {
    if (!window_) return;
    // A move save still pending would write the place the reset is taking back.
    frameMemory_.cancelPendingMoveSave();
    window_->setWindowOpacity(0.99);
    applyWindowLevel();
    const std::optional<QRect> button = tray_.statusButtonRect();
    const QRectF standard =
        placement::standardFrame(button ? std::optional<QRectF>(desktopspace::up(*button)) : std::nullopt,
                                 desktopspace::up(window_->geometry()));
    // Centred on an icon near the screen's edge, the standard frame would hang off the screen:
    // kept within it as the docked placement keeps the window.
    const placement::Desktop desktop = desktopspace::desktop();
    const placement::ScreenRects* screen = desktop.screenSpanning(standard.center().x());
    const QRectF target = placement::clampFrameToScreen(standard, screen ? screen : desktop.mainOrFirst());
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.22, 1.0), QPointF(0.36, 1.0), QPointF(1.0, 1.0));
    const QRect frame = desktopspace::down(target);
    // The slide's frames (and the level's re-show on the way) are the program's, not a place the
    // user chose: remembered, they would undo the reset of the window's place and size.
    frameMemory_.ignoreProgramSlide(animator_.slideFrame(frame, kResetWindowMs, curve), frame);
    updateWindowMask();
    // The monitor follows the setting (off after a reset), as it does everywhere else.
    setClickOutsideMonitorEnabled(defaults_.boolean(kHideOnClickOutside));
}

// ---- Detached and docked ---------------------------------------------------------------------------

void WindowController::layoutForDocking() {
    if (window_) window_->isDetached = detached_;
    // The arrow strip shows only while docked; the header follows it.
    host_.layoutForDocking(detached_);
}

void WindowController::toggleDetach() {
    if (!window_) return;
    if (!detached_) {
        detached_ = true;
        defaults_.setValue(kWindowDetached, true);
        if (!isWindowVisible()) {
            window_->setWindowOpacity(windowOpacitySetting());
            mapAndActivate();
        }
        // It stays where it is and loses its arrow; it no longer follows the tray icon.
        tray_.stopPolling();
        layoutForDocking();
        updateWindowMask();
        host_.layoutSidePanels();
        return;
    }
    detached_ = false;
    defaults_.setValue(kWindowDetached, false);
    layoutForDocking();
    updateWindowMask();
    const bool visible = isWindowVisible();
    animator_.fade(0, visible ? kHideFadeDetachedMs : 0, chrome::easeInCurve(),
                   [self = QPointer<WindowController>(this)] {
                       if (!self || !self->window_) return;
                       self->window_->hide();
                       self->defaults_.removeObject(kWindowX);
                       self->defaults_.removeObject(kWindowY);
                       self->tray_.positionWindowUnderTrayIcon();
                       self->host_.layoutSidePanels();
                       self->showWindowAnimated();
                   });
}

void WindowController::restoreDetachedWindowState() {
    if (!window_) return;
    detached_ = true;
    layoutForDocking();
    updateWindowMask();
    host_.layoutSidePanels();
    const double x = defaults_.doubleValue(kWindowX);
    const double y = defaults_.doubleValue(kWindowY);
    if (x != 0 || y != 0) {
        // The stored place is the window's top-left corner; one off every screen is pulled back
        // into the primary screen's usable area.
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen && !QGuiApplication::screens().isEmpty()) screen = QGuiApplication::screens().first();
        QRect frame(qRound(x), qRound(y), window_->width(), window_->height());
        if (screen) {
            const placement::ScreenRects rects = desktopspace::rectsOf(*screen);
            frame = desktopspace::down(placement::clampFrameToScreen(desktopspace::up(frame), &rects));
        }
        window_->move(frame.topLeft());
    }
    window_->setWindowOpacity(windowOpacitySetting());
    mapAndActivate();
    host_.focusActivePage();
}

void WindowController::activateAfterSnap() {
    if (!window_) return;
    window_->raise();
    window_->activateWindow();
    host_.focusTerminalOfActiveTab();
}

// ---- Tray icon ---------------------------------------------------------------------------------------

void WindowController::statusItemClicked() {
    toggleWindow();
}

void WindowController::buildStatusItemMenu(QMenu& menu) {
    menu.addAction(qs(Loc::showHide()), this, [this] { toggleWindow(); });
    QAction* detach = menu.addAction(qs(detached_ ? Loc::reattachWindow() : Loc::detachWindow()), this,
                                     [this] { toggleDetach(); });
    detach->setCheckable(true);
    detach->setChecked(detached_);
    menu.addSeparator();
    menu.addAction(qs(Loc::newTab()), this, [this] { actions_.perform(Action::newTab); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("zsh"), this, [this] { actions_.perform(Action::switchShell1); });
    menu.addAction(QStringLiteral("bash"), this, [this] { actions_.perform(Action::switchShell2); });
    menu.addAction(QStringLiteral("sh"), this, [this] { actions_.perform(Action::switchShell3); });
    menu.addSeparator();
    menu.addAction(qs(Loc::quitApp()), this, [this] { actions_.perform(Action::quit); });
}

// ---- The window's own events and the desktop's -----------------------------------------------------

void WindowController::windowDidResize() {
    updateWindowMask();
    host_.centerCommandPalette();
    host_.layoutSidePanels();
    // A size a program asked for is never kept as the user's.
    if (isAnimating_ || !isWindowVisible() || ProgramResizeGate::isProgramSize(window_.get())) return;
    frameMemory_.windowResized();
}

void WindowController::windowDidMove() {
    updateWindowMask();
    if (isAnimating_ || !isWindowVisible() || window_->windowOpacity() <= 0) return;
    // A steady drag writes once, half a second after the last move.
    frameMemory_.windowMoved();
}

void WindowController::updateWindowMask() {
    shape_.update(!detached_, tray_.currentTrayIconScreenX());
}

void WindowController::handleScreenChange() {
    if (detached_ || !isWindowVisible()) return;
    // The screens settle first; the window moves under the tray icon's new place a moment later.
    screenChangeTimer_.start();
}

void WindowController::handleWakeFromSleep() {
    handleScreenChange();
}

void WindowController::applicationDidResignActive() {
    DeactivationInput input;
    input.dragSessionActive = host_.isDraggingOverPane();
    input.hideOnDeactivate = defaults_.boolean(settings::kHideOnDeactivate);
    input.windowVisible = isWindowVisible();
    input.pointer = QCursor::pos();
    for (const QScreen* screen : QGuiApplication::screens())
        input.screens << ScreenArea{screen->geometry(), screen->availableGeometry()};
    input.paletteShown = host_.isCommandPaletteShown();
    const DeactivationResponse response = respondToDeactivation(input);
    if (response.dismissPalette) host_.dismissCommandPalette();
    if (response.hideWindow) hideWindowAnimated();
}
