#pragma once

#include "app/window/BorderlessWindow.h"
#include "app/window/DoubleControl.h"
#include "app/window/ClickOutsideMonitor.h"
#include "app/window/GlobalKeys.h"
#include "app/window/SystemObservers.h"
#include "app/window/TrayPlacement.h"
#include "app/window/WindowAnimator.h"
#include "app/window/WindowFrameMemory.h"
#include "app/window/WindowShape.h"
#include "app/window/WindowSnapping.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>

class ActionHandler;
class Defaults;
class QMenu;
class ToastService;
class WindowHost;

// The drop-down window's behaviour: showing, hiding and toggling it with their fades (a gesture
// during a fade waits for its end), hiding on a click elsewhere, dimming while another window has
// the keyboard, the double Control, detaching from the tray icon and docking again, the
// window-manager hints the settings ask for, and following the desktop's screens. It owns the parts
// that place and shape the window (tray icon, snapping, size memory, mask), and reaches the rest of
// the program only through its host (and, for the tray menu's application commands, through the
// action handler).
class WindowController : public QObject {
public:
    static constexpr int kShowFadeMs = 150;
    static constexpr int kHideFadeDockedMs = 120;
    static constexpr int kHideFadeDetachedMs = 150;
    static constexpr int kAutoDimMs = 200;
    static constexpr int kRestoreOpacityMs = 150;
    static constexpr int kResetWindowMs = 400;
    // After a change of screens the desktop settles this long before a docked window follows.
    static constexpr int kScreenSettleMs = 400;

    WindowController(Defaults& defaults, ToastService& toasts, WindowHost& host, ActionHandler& actions,
                     QObject* parent = nullptr);
    ~WindowController() override;

    // Takes the window: hears its focus, moves and resizes, gives it its first size, puts it under
    // the tray icon with its mask, and sets its opacity. The window's owner keeps it.
    void attach(BorderlessWindow* window);
    BorderlessWindow* borderlessWindow() const { return window_; }

    // The launch's steps: the desktop's observers, the tray icon, then (once the window is built)
    // the global keys and the watch on the desktop's appearance.
    void installSystemObservers();
    void createStatusItem();
    void registerHotKeyAndMonitors();

    // ---- Showing, hiding, toggling -------------------------------------------------------------
    // Fades the window in under the tray icon and gives it the keyboard; nothing during a fade.
    void showWindowAnimated();
    // Fades the window out; nothing during a fade or while it is hidden.
    void hideWindowAnimated();
    // The one gesture for both: tray click, hot key, the footer's and the menu's Show / Hide.
    void toggleWindow();
    // The hot key's toggle: a window shown behind another one comes to the front.
    void toggleWindowFromHotKey();
    bool isAnimating() const { return isAnimating_; }
    bool pendingToggle() const { return pendingToggle_; }
    // Monotonic seconds when the last hide began (0: never), and the seconds since.
    double lastHideTime() const { return lastHideTime_; }
    std::optional<double> secondsSinceLastHide() const;
    // The seconds of the monotonic clock used for `lastHideTime` and the double Control; a test
    // may replace it.
    std::function<double()> uptime;

    bool isWindowVisible() const;
    qreal windowAlpha() const;
    bool isWindowKey() const;
    bool isWindowOnCurrentDesktop() const;

    // ---- Click outside, keyboard focus, double Control -------------------------------------------
    bool hasClickOutsideMonitor() const { return clickOutside_.isInstalled(); }
    // A click elsewhere on the desktop at `pointer` (Qt coordinates) with the monitor installed.
    void handleClickOutside(const QPoint& pointer);
    // The setting "hideOnClickOutside": while hidden nothing is installed (showing installs it).
    void setClickOutsideMonitorEnabled(bool enabled);
    void removeClickOutsideMonitor();
    bool hidesOnClickOutside() const { return clickOutsideWanted_; }
    // The window became, or stopped being, the active window.
    // The program lost the keyboard to another one: by the setting "hideOnDeactivate", the window
    // goes, unless the pointer is over a desktop panel (where the tray icon is) or a file is being
    // dragged over a pane.
    void applicationDidResignActive();
    void windowDidBecomeKey();
    void windowDidResignKey();
    // Brings a dimmed window back to its opacity setting.
    void restoreWindowOpacity();
    // Control went down or up: twice within 0.35 s opens the command palette.
    void handleControlKeyChanged(bool down);

    // ---- The settings' window branches -----------------------------------------------------------
    // Each follows the stored setting; the accessors say what the window was last told.
    void applyWindowLevel();
    void applyFollowAllSpaces();
    bool isWindowKeptAbove() const { return windowKeptAbove_; }
    bool followsAllSpaces() const { return followAllSpaces_; }
    // The window part of the reset to defaults: opacity 0.99, kept above others, the standard frame
    // under the tray icon, the mask, and the click-outside monitor as its setting says.
    void resetWindow();

    // ---- Detached and docked ---------------------------------------------------------------------
    // Whether the window floats freely rather than hanging under the tray icon.
    bool isDetached() const { return detached_; }
    void toggleDetach();
    // The launch of a window stored detached: it comes back where it was, pulled onto a screen.
    void restoreDetachedWindowState();

    // ---- Tray icon -------------------------------------------------------------------------------
    void statusItemClicked();
    // Fills the tray icon's menu (built afresh each time it opens).
    void buildStatusItemMenu(QMenu& menu);

    // ---- The window's own events and the desktop's -------------------------------------------------
    void windowDidResize();
    void windowDidMove();
    void updateWindowMask();
    void handleScreenChange();
    void handleWakeFromSleep();

    // ---- The parts ---------------------------------------------------------------------------------
    TrayPlacement& tray() { return tray_; }
    const TrayPlacement& tray() const { return tray_; }
    WindowSnapping& snapping() { return snapping_; }
    WindowFrameMemory& frameMemory() { return frameMemory_; }
    WindowShape& shape() { return shape_; }
    GlobalKeys& keys() { return keys_; }
    const GlobalKeys& keys() const { return keys_; }

private:
    double windowOpacitySetting() const;
    void finishFade();
    void showDetachedAnimated();
    void bringToCurrentDesktop();
    void installClickOutsideMonitor();
    void applyWindowHintsBeforeMapping();
    void mapAndActivate();
    void toggle(bool askKey);
    void layoutForDocking();
    void activateAfterSnap();

    Defaults& defaults_;
    WindowHost& host_;
    ActionHandler& actions_;
    QPointer<BorderlessWindow> window_;
    WindowAnimator animator_;
    TrayPlacement tray_;
    WindowSnapping snapping_;
    WindowFrameMemory frameMemory_;
    WindowShape shape_;
    ClickOutsideMonitor clickOutside_;
    GlobalKeys keys_;
    SystemObservers observers_;
    DoubleControlDetector doubleControl_;
    QTimer screenChangeTimer_;

    bool detached_ = false;
    bool isAnimating_ = false;
    bool pendingToggle_ = false;
    double lastHideTime_ = 0;
    bool clickOutsideWanted_ = false;
    bool windowKeptAbove_ = false;
    bool followAllSpaces_ = false;
};
