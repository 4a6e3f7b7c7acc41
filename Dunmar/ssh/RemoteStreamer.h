#pragma once

#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class QWebSocket;

// Mirrors terminal output to a paired remote viewer through the relay: one websocket to
// "wss://<relay>/relay/", registered under the pairing code; output goes out only once the relay
// has confirmed the registration. Nothing else the relay sends has any effect. Main thread only.
class RemoteStreamer : public QObject {
    Q_OBJECT
public:
    static constexpr int kReconnectDelayMs = 5000;
    // Output waiting for a slow relay beyond this is dropped rather than held without end.
    static constexpr qint64 kMaxQueuedBytes = 4 * 1024 * 1024;
    // The largest message taken from the relay; a larger one ends the connection.
    static constexpr qint64 kMaxRelayMessageBytes = 64 * 1024;

    explicit RemoteStreamer(QObject* parent = nullptr);
    ~RemoteStreamer() override;

    // The relay's host (with ":port" when it has one), read at every start; empty: none is set up,
    // and nothing connects.
    std::function<QString()> relayHost;
    // The reconnect rule's question: the stored pairing code while streaming is switched on, else
    // none.
    std::function<std::optional<QString>()> storedCodeIfEnabled;

    void setSslConfiguration(const QSslConfiguration& configuration) { ssl_ = configuration; }
    void setReconnectDelay(int ms) { reconnectTimer_.setInterval(ms); }
    void setMaxQueuedBytes(qint64 bytes) { maxQueuedBytes_ = bytes; }

    // Closes any connection there is and opens a new one that registers with `code`.
    void start(const QString& code);
    // Closes the connection normally (1000) and forgets it; no reconnect follows.
    void stop();
    // Sends one piece of output while the relay has confirmed the registration; drops it otherwise.
    void send(const QString& output);

    bool isConnected() const { return connected_; }
    QString pairingCode() const { return pairingCode_; }
    bool isReconnectPending() const { return reconnectTimer_.isActive(); }
    // Output dropped because too much was still waiting for the relay.
    qint64 droppedBytes() const { return droppedBytes_; }
    qint64 droppedMessages() const { return droppedMessages_; }

signals:
    void connectedChanged(bool connected);

private:
    void setConnected(bool connected);
    void retire(QWebSocket* socket);
    void onOpened(QWebSocket* socket);
    void onText(QWebSocket* socket, const QString& text);
    void onGone(QWebSocket* socket);
    void sendJson(const QJsonObject& object);

    QPointer<QWebSocket> socket_;
    bool opened_ = false;
    bool connected_ = false;
    QString pairingCode_;
    QSslConfiguration ssl_ = QSslConfiguration::defaultConfiguration();
    QTimer reconnectTimer_;
    qint64 maxQueuedBytes_ = kMaxQueuedBytes;
    qint64 droppedBytes_ = 0;
    qint64 droppedMessages_ = 0;
};
