#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <map>

// Desktop notifications through the freedesktop notification service on the session bus
// ("org.freedesktop.Notifications"). Each notification offers the "default" action (a click on
// it); when the user invokes it, the callback given with the notification runs on the main thread.
// Without a bus or a notification service nothing is shown and nothing fails.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";
    static constexpr const char* kAppName = "Dunmar";
    // Notifications remembered for their action; the service forgets shown ones by itself, and an
    // entry whose closing was never announced must not be kept for ever.
    static constexpr int kMaxRemembered = 256;

    explicit DesktopNotifications(const QDBusConnection& bus, QObject* parent = nullptr);

    // Posts a notification. With a `replaceKey`, a later post with the same key takes the earlier
    // one's place on the desktop instead of adding another; without one, every post stands alone.
    void post(const QString& title, const QString& body, const QString& replaceKey = {},
              std::function<void()> onActivated = {});

    // Ids the service gave to notifications that are still shown, as far as this client knows.
    QList<quint32> knownIds() const;
    // The id shown for `replaceKey`, 0 when none.
    quint32 idFor(const QString& replaceKey) const { return idByKey_.value(replaceKey, 0); }
    // True while a post waits for the service's answer.
    bool isBusy() const { return inFlight_ > 0; }

private slots:
    void handleActionInvoked(uint id, const QString& actionKey);
    void handleNotificationClosed(uint id, uint reason);

private:
    struct Request {
        QString title;
        QString body;
        QString replaceKey;
        std::function<void()> onActivated;
    };
    struct Shown {
        QString replaceKey;
        std::function<void()> onActivated;
    };

    void send(Request request);
    void remember(quint32 id, Request request);

    QDBusConnection bus_;
    std::map<quint32, Shown> shown_;
    QHash<QString, quint32> idByKey_;
    // A keyed post whose answer (the id to replace) has not arrived yet holds back later posts of
    // the same key; only the newest of them is sent once the id is known.
    QSet<QString> keysInFlight_;
    QHash<QString, Request> heldBack_;
    int inFlight_ = 0;
};
