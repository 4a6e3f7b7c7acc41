#include "LocalHttpServer.h"

#include <QTcpSocket>

LocalHttpServer::LocalHttpServer(bool silent) : silent_(silent) {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            ++connections;
            if (silent_) continue; // holds the connection open and says nothing
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                const qsizetype headEnd = buffer->indexOf("\r\n\r\n");
                if (headEnd < 0) return;
                Request req;
                const QList<QByteArray> lines = buffer->left(headEnd).split('\n');
                const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
                req.method = first.value(0);
                req.target = first.value(1);
                for (qsizetype i = 1; i < lines.size(); ++i) {
                    const qsizetype colon = lines[i].indexOf(':');
                    if (colon > 0)
                        req.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                           lines[i].mid(colon + 1).trimmed());
                }
                const qsizetype length = req.headers.value("content-length", "0").toLongLong();
                if (buffer->size() - headEnd - 4 < length) return;
                req.body = buffer->mid(headEnd + 4, length);
                buffer->clear();
                requests << req;
                const Response r = handler ? handler(req) : Response{404, "{}", {}};
                QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) +
                                 " X\r\nContent-Length: " + QByteArray::number(r.body.size()) +
                                 "\r\nConnection: close\r\n";
                for (const auto& [name, value] : r.headers) out += name + ": " + value + "\r\n";
                socket->write(out + "\r\n" + r.body);
                socket->disconnectFromHost();
            });
        }
    });
}

QUrl LocalHttpServer::url(const QString& host) const {
    return QUrl(QStringLiteral("http://%1:%2").arg(host).arg(server_.serverPort()));
}

LocalHttpServer::Response jsonResponse(int status, const QByteArray& json) {
    return {status, json, {{"Content-Type", "application/json"}}};
}
