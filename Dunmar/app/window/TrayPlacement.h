#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class Defaults;
class QAbstractAnimation;
class QMenu;
class QWidget;
class StatusTrayIcon;
class WindowAnimator;

// The tray icon and the docked window's place under it: the icon with its clicks, menu and the
// bell's flash; where the window hangs; and, while the window shows, a poll of the icon's place so
// that a docked window slides along when the panel moves the icon.
class TrayPlacement : public QObject {
public:
    // The icon moves rarely (another icon comes or goes), and an idle shown window should wake
    // no more often than its footer does: every two seconds.
    static constexpr int kTrayPollMs = 2000;
    static constexpr int kRepositionMs = 220;
    // An icon at x 100 or less is taken for one whose place the tray does not report.
    static constexpr double kMinValidTrayX = 100;

    TrayPlacement(Defaults& defaults, WindowAnimator& animator, QObject* parent = nullptr);
    ~TrayPlacement() override;

    void attach(QWidget* window) { window_ = window; }

    // Puts the icon into the tray; platforms without a desktop (the offscreen one of the tests) have
    // none to go into.
    void createStatusItem();
    StatusTrayIcon* statusItem() const { return statusItem_.get(); }
    void setDimmed(bool dimmed);

    // The icon's rectangle on the desktop (Qt coordinates), when known. A test may replace it.
    std::function<std::optional<QRect>()> statusItemRect;
    std::optional<QRect> statusButtonRect() const;
    // The icon's centre x on the desktop; 0 when unknown or at x 100 or less.
    double currentTrayIconScreenX() const;

    // Places the window under the icon (a detached one at its remembered x), at once.
    void positionWindowUnderTrayIcon();
    // Slides a docked window to its place under the icon's new position; a second call while it
    // slides is ignored.
    void repositionDockedWindow();

    void startPolling();
    void stopPolling();
    bool isPolling() const { return pollTimer_.isActive(); }

    // Set by the owner: whether the window is detached, the icon's clicks and menu, and the end of a
    // slide (the mask follows the window's new place).
    std::function<bool()> isDetached;
    std::function<void()> onLeftClick;
    std::function<void(QMenu& menu)> onBuildMenu;
    std::function<void()> onPlaced;

private:
    bool detached() const { return isDetached && isDetached(); }
    bool isSliding() const;

    Defaults& defaults_;
    WindowAnimator& animator_;
    QPointer<QWidget> window_;
    std::unique_ptr<StatusTrayIcon> statusItem_;
    QTimer pollTimer_;
    double lastKnownTrayX_ = 0;
    QPointer<QAbstractAnimation> slide_;
};
