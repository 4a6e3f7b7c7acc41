#include "ssh/RemoteStreamer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QWebSocket>

namespace {

// A closed socket that never reports its end is let go after this.
constexpr int kRetireLimitMs = 3000;

} // namespace

RemoteStreamer::RemoteStreamer(QObject* parent) : QObject(parent) {
    reconnectTimer_.setSingleShot(true);
    reconnectTimer_.setInterval(kReconnectDelayMs);
    connect(&reconnectTimer_, &QTimer::timeout, this, [this] {
        // The stored code, not the one last given: the user may have made a new one meanwhile.
        const std::optional<QString> code = storedCodeIfEnabled ? storedCodeIfEnabled() : std::nullopt;
        if (code) start(*code);
    });
}

RemoteStreamer::~RemoteStreamer() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
}

void RemoteStreamer::setConnected(bool connected) {
    if (connected_ == connected) return;
    connected_ = connected;
    emit connectedChanged(connected);
}

void RemoteStreamer::retire(QWebSocket* socket) {
    if (!socket) return;
    // Its reports no longer concern us; it goes once its closing handshake is over.
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kRetireLimitMs, socket, &QObject::deleteLater);
    socket->close(QWebSocketProtocol::CloseCodeNormal);
}

void RemoteStreamer::start(const QString& code) {
    pairingCode_ = code;
    // One live connection at a time: the old one closes first, and a reconnect still waiting
    // would only replace the new one.
    reconnectTimer_.stop();
    retire(socket_);
    socket_ = nullptr;
    opened_ = false;
    setConnected(false);

    const QString host = relayHost ? relayHost().trimmed() : QString();
    if (host.isEmpty()) return;
    const QUrl url(QStringLiteral("wss://") + host + QStringLiteral("/relay/"), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) return;

    auto* socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    socket->setSslConfiguration(ssl_);
    // The relay only ever tells us small control messages; it cannot make us hold more.
    socket->setMaxAllowedIncomingMessageSize(kMaxRelayMessageBytes);
    socket->setMaxAllowedIncomingFrameSize(kMaxRelayMessageBytes);
    connect(socket, &QWebSocket::connected, this, [this, socket] { onOpened(socket); });
    connect(socket, &QWebSocket::textMessageReceived, this,
            [this, socket](const QString& text) { onText(socket, text); });
    connect(socket, &QWebSocket::disconnected, this, [this, socket] { onGone(socket); });
    socket_ = socket;
    socket->open(url);
}

void RemoteStreamer::stop() {
    reconnectTimer_.stop();
    retire(socket_);
    socket_ = nullptr;
    opened_ = false;
    setConnected(false);
}

void RemoteStreamer::onOpened(QWebSocket* socket) {
    if (socket != socket_) return;
    opened_ = true;
    sendJson(QJsonObject{{QStringLiteral("type"), QStringLiteral("register")},
                         {QStringLiteral("role"), QStringLiteral("mac")},
                         {QStringLiteral("code"), pairingCode_}});
}

void RemoteStreamer::onText(QWebSocket* socket, const QString& text) {
    if (socket != socket_) return;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (document.isObject() && document.object().value(QLatin1String("type")) == QLatin1String("registered"))
        setConnected(true);
}

void RemoteStreamer::onGone(QWebSocket* socket) {
    // Only the current connection's end counts; one replaced meanwhile is over already.
    if (socket != socket_) return;
    const bool wasOpen = opened_;
    socket_ = nullptr;
    opened_ = false;
    socket->disconnect(this);
    socket->deleteLater();
    setConnected(false);
    // A connection that never opened (no relay there, handshake refused) is not retried: only the
    // user's switch starts it again.
    if (wasOpen && !reconnectTimer_.isActive()) reconnectTimer_.start();
}

void RemoteStreamer::send(const QString& output) {
    if (!connected_ || !socket_) return;
    const QByteArray message = QJsonDocument(QJsonObject{{QStringLiteral("type"), QStringLiteral("output")},
                                                         {QStringLiteral("data"), output}})
                                   .toJson(QJsonDocument::Compact);
    if (socket_->bytesToWrite() + message.size() > maxQueuedBytes_) {
        droppedBytes_ += output.toUtf8().size();
        droppedMessages_ += 1;
        return;
    }
    socket_->sendTextMessage(QString::fromUtf8(message));
}

void RemoteStreamer::sendJson(const QJsonObject& object) {
    if (socket_)
        socket_->sendTextMessage(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}
