#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>
#include <functional>

// A small HTTP/1.1 server on 127.0.0.1 for the client's tests: every request is recorded and
// answered by `handler`; a silent server accepts connections and never answers.
class LocalHttpServer : public QObject {
public:
    struct Request {
        QByteArray method;
        QByteArray target;                     // path and query as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };
    struct Response {
        int status = 200;
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
    };

    explicit LocalHttpServer(bool silent = false);
    QUrl url(const QString& host = QStringLiteral("127.0.0.1")) const;
    quint16 port() const { return server_.serverPort(); }
    void close() { server_.close(); }

    std::function<Response(const Request&)> handler;
    QList<Request> requests;
    int connections = 0;

private:
    QTcpServer server_;
    bool silent_;
};

LocalHttpServer::Response jsonResponse(int status, const QByteArray& json);
