#include "support/EndlessServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <memory>

namespace testsupport {

namespace {
// Enough for any limit under test; the server stops there rather than fill a disk or a pipe for
// ever when the client under test does not stop it.
constexpr qint64 kCeiling = 512LL * 1024 * 1024;
} // namespace

EndlessServer::EndlessServer(Pace pace, int trickleMs) : pace_(pace), trickleMs_(trickleMs) {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto request = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                if (request->contains("\r\n\r\n")) return;
                *request += socket->readAll();
                if (request->contains("\r\n\r\n")) serve(socket);
            });
        }
    });
}

QUrl EndlessServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

void EndlessServer::serve(QTcpSocket* socket) {
    // No length: the body lasts until the connection closes, which the server never does.
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n[");
    if (pace_ == Pace::flood) {
        const QByteArray piece(64 * 1024, ' ');
        auto more = [this, socket, piece] {
            while (socket->bytesToWrite() < 4 * piece.size() && sent_ < kCeiling)
                sent_ += socket->write(piece);
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
        return;
    }
    auto* timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket, [this, socket] {
        if (sent_ < kCeiling) sent_ += socket->write(" ");
    });
    timer->start(trickleMs_);
}

} // namespace testsupport
