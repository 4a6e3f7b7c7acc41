#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <optional>

class QMenu;

// Which tray activations are a click that should act. A double click arrives as a click and then a
// double click (some tray hosts send the click twice first): the first one acts, and whatever comes
// within the double-click interval after an acting click is the same gesture and does nothing.
class TrayClickFilter {
public:
    explicit TrayClickFilter(int doubleClickIntervalMs) : intervalMs_(doubleClickIntervalMs) {}
    // `nowMs` is a monotonic clock in milliseconds.
    bool accept(QSystemTrayIcon::ActivationReason reason, qint64 nowMs);

private:
    int intervalMs_;
    std::optional<qint64> lastAccepted_;
};

// The program's icon in the desktop's tray: its picture (dimmed while the bell flashes it), a left
// click that acts once per click, a menu built afresh each time it opens, and where the icon is on
// the desktop so that the window can hang under it.
class StatusTrayIcon : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<qint64()>;

    explicit StatusTrayIcon(QObject* parent = nullptr);
    ~StatusTrayIcon() override;

    // Whether the desktop has a tray to show the icon in.
    static bool isTrayAvailable();

    void show();
    bool isVisible() const;

    void setDimmed(bool dimmed);
    bool isDimmed() const { return dimmed_; }

    // The icon's rectangle on the desktop (Qt coordinates): the tray's own geometry when the tray
    // reports one, else a point at the pointer where the icon was last clicked; none before either.
    std::optional<QRect> anchorRect() const;

    // A left click (one per click, see TrayClickFilter).
    std::function<void()> onLeftClick;
    // Fills the menu, which was emptied, each time it is about to open.
    std::function<void(QMenu& menu)> onBuildMenu;

    QMenu* menu() const { return menu_.get(); }
    QSystemTrayIcon& trayIcon() { return tray_; }

    // What the tray reported; public so that a test can drive it as the tray does.
    void handleActivation(QSystemTrayIcon::ActivationReason reason);
    void setClock(Clock clock) { clock_ = std::move(clock); }

private:
    void refreshIcon();

    QSystemTrayIcon tray_;
    std::unique_ptr<QMenu> menu_;
    TrayClickFilter clicks_;
    Clock clock_;
    bool dimmed_ = false;
    std::optional<QPoint> lastClickPointer_;
};
