#pragma once

#include "bell/BellPreviewQueue.h"
#include "bell/BellSound.h"
#include "bell/StatusItemFlash.h"

#include <QObject>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>

class BellHost;
class BellPane;
class Defaults;
class DesktopNotifications;

// The one handler of terminal bells. A bell counts when the bell is enabled, it is not suppressed
// and more than half a second has passed since the last bell that counted (across all tabs). A
// counted bell plays the chosen sound and flashes the tray icon; it posts a desktop notification
// when the user cannot see the ringing pane ("bellOSNotification"); and a bell of a background
// tab's primary pane marks that tab and queues a preview of its last lines (BellPreviewQueue).
// Main thread only.
class BellManager : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kCooldown{500};
    static constexpr const char* kDefaultSoundName = "Purr";

    // The sounds offered by the settings panel, in its order.
    static const QStringList& soundNames();
    // The folder "sounds" beside the executable, where the build installs them.
    static QString defaultSoundDirectory();

    // The instance of the program: the standard settings store, the sounds beside the executable,
    // notifications on the session bus. Made on first use.
    static BellManager& shared();

    BellManager(Defaults& defaults, DesktopNotifications& notifications, const QString& soundDirectory,
                QObject* parent = nullptr);
    ~BellManager() override;

    // The controller; until one is installed, bells only play their sound.
    void setHost(BellHost* host);
    BellHost* host() const { return host_; }
    void setClock(Clock clock);

    // While true every bell is dropped before anything else; the controller holds it true while
    // it restores the saved tabs, whose starting shells may ring.
    bool isSuppressed() const { return suppressed_; }
    void setSuppressed(bool suppressed) { suppressed_ = suppressed; }

    // One bell of `pane`; nullptr stands for a pane that was freed before its bell was handled.
    void ring(BellPane* pane);
    // The same on a later turn of the event loop, holding the pane weakly: a terminal's bell
    // arrives in the middle of parsing its output and is handled once that is done.
    void ringQueued(BellPane* pane);
    // Plays the bell once for the settings panel: sound and flash, no cooldown, no mark, no
    // notification; nothing while the bell is disabled.
    void ringForTest();
    // Loads the sound named by "bellSoundName" ("Purr" when unset); a name without a sound leaves
    // bells silent, but they still flash, mark and notify.
    void reloadSound();

    // Entry points of the controller for the previews.
    void paneClosed(BellPane* pane) { previews_.paneClosed(pane); }
    void tabsReordered() { previews_.tabsReordered(); }
    // Escape in the window, or the close of the tab on show: the panel goes without a reply.
    void dismissPreview(const std::optional<QString>& reply = std::nullopt) { previews_.dismiss(reply); }

    BellPreviewQueue& previews() { return previews_; }
    const BellSound& sound() const { return sound_; }
    BellSound& sound() { return sound_; }
    const StatusItemFlash& flash() const { return flash_; }
    std::optional<std::chrono::steady_clock::time_point> lastRingTime() const { return lastRingTime_; }

private:
    bool bellEnabled() const;
    bool notificationsEnabled() const;
    bool isWindowInFront() const;
    void playAndFlash();
    void sendOSNotificationIfNeeded(BellPane* source);
    void postBellNotification(const QString& body, BellPane* source);
    void markBellTabIfNeeded(BellPane* source);

    Defaults& defaults_;
    DesktopNotifications& notifications_;
    BellHost* host_ = nullptr;
    Clock clock_;
    bool suppressed_ = false;
    std::optional<std::chrono::steady_clock::time_point> lastRingTime_;
    BellSound sound_;
    StatusItemFlash flash_;
    BellPreviewQueue previews_;
};
