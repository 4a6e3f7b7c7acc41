#include "bell/DesktopNotifications.h"

#include "platform/PlainText.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus) {
    if (!bus_.isConnected()) return;
    bus_.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                 QStringLiteral("ActionInvoked"), this, SLOT(handleActionInvoked(uint, QString)));
    bus_.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                 QStringLiteral("NotificationClosed"), this, SLOT(handleNotificationClosed(uint, uint)));
}

void DesktopNotifications::post(const QString& title, const QString& body, const QString& replaceKey,
                                std::function<void()> onActivated) {
    Request request{title, body, replaceKey, std::move(onActivated)};
    if (!replaceKey.isEmpty() && keysInFlight_.contains(replaceKey)) {
        heldBack_.insert(replaceKey, std::move(request));
        return;
    }
    send(std::move(request));
}

namespace {
// Notification services read the body as markup: a line of terminal output holding "<a href>" or
// "<img src=file://...>" must show as the text it is.
QString escapeMarkup(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    out.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    out.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return out;
}
} // namespace

void DesktopNotifications::send(Request request) {
    if (!bus_.isConnected()) return;
    const quint32 replaces = request.replaceKey.isEmpty() ? 0 : idByKey_.value(request.replaceKey, 0);
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QStringLiteral("Notify"));
    // Tab names and terminal lines: their control characters as visible escapes, as on our own widgets.
    call << QString::fromLatin1(kAppName) << replaces << QString() << plaintext::visibleEscapes(request.title)
         << escapeMarkup(plaintext::visibleEscapes(request.body))
         << QStringList{QStringLiteral("default"), QString()} << QVariantMap() << qint32(-1);

    ++inFlight_;
    const QString key = request.replaceKey;
    if (!key.isEmpty()) keysInFlight_.insert(key);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, request = std::move(request)]() mutable {
                watcher->deleteLater();
                --inFlight_;
                const QString key = request.replaceKey;
                const QDBusPendingReply<uint> reply = *watcher;
                if (reply.isValid()) {
                    remember(reply.value(), std::move(request));
                } else if (!key.isEmpty()) {
                    idByKey_.remove(key); // the service forgot it or is gone: start afresh
                }
                if (key.isEmpty()) return;
                keysInFlight_.remove(key);
                if (heldBack_.contains(key)) send(heldBack_.take(key));
            });
}

void DesktopNotifications::remember(quint32 id, Request request) {
    if (!request.replaceKey.isEmpty()) {
        // The service may have shown it under a new id (the old one had been closed).
        const quint32 previous = idByKey_.value(request.replaceKey, 0);
        if (previous != 0 && previous != id) shown_.erase(previous);
        idByKey_.insert(request.replaceKey, id);
    }
    shown_[id] = Shown{request.replaceKey, std::move(request.onActivated)};
    while (shown_.size() > std::size_t(kMaxRemembered)) {
        // Ids grow, so the smallest is the oldest.
        auto oldest = shown_.begin();
        if (!oldest->second.replaceKey.isEmpty()) idByKey_.remove(oldest->second.replaceKey);
        shown_.erase(oldest);
    }
}

QList<quint32> DesktopNotifications::knownIds() const {
    QList<quint32> ids;
    for (const auto& [id, shown] : shown_) ids.append(id);
    return ids;
}

void DesktopNotifications::handleActionInvoked(uint id, const QString& actionKey) {
    Q_UNUSED(actionKey); // only "default" is offered; any answer means "take me there"
    const auto found = shown_.find(id);
    if (found == shown_.end()) return; // another program's notification
    // The callback may post again, which may change the table.
    const std::function<void()> callback = found->second.onActivated;
    if (callback) callback();
}

void DesktopNotifications::handleNotificationClosed(uint id, uint reason) {
    Q_UNUSED(reason);
    const auto found = shown_.find(id);
    if (found == shown_.end()) return;
    const QString key = found->second.replaceKey;
    if (!key.isEmpty() && idByKey_.value(key) == id) idByKey_.remove(key);
    shown_.erase(found);
}
