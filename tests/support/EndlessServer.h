#pragma once

// A local HTTP server on 127.0.0.1 whose answer never ends: it floods as fast as the client takes
// it, or trickles a byte now and then so that the connection never goes quiet.

#include <QObject>
#include <QTcpServer>
#include <QTimer>
#include <QUrl>

namespace testsupport {

class EndlessServer : public QObject {
public:
    enum class Pace { flood, trickle };
    explicit EndlessServer(Pace pace, int trickleMs = 100);

    int port() const { return server_.serverPort(); }
    QUrl url(const QString& path = QStringLiteral("/json")) const;
    // Body bytes handed to the sockets so far, over all requests.
    qint64 sent() const { return sent_; }

private:
    void serve(class QTcpSocket* socket);

    QTcpServer server_;
    Pace pace_;
    int trickleMs_;
    qint64 sent_ = 0;
};

} // namespace testsupport
