#pragma once

// A small HTTPS server on 127.0.0.1 in the part of the usage endpoint: it records every request
// and answers with the status and body it is given; an answer can be held back and released
// later, to bring answers back out of order.

#include <QList>
#include <QMap>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <QUrl>

namespace usagetest {

// The test certificate, which the server presents and the client trusts.
QSslConfiguration serverSsl();
QSslConfiguration clientSsl();

class UsageServer : public QObject {
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        // Header names in lower case, in the order they came.
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray header(const QByteArray& name) const;
    };
    struct Answer {
        int status = 200;
        QByteArray body;
        bool hold = false;
    };

    UsageServer();

    QUrl baseUrl() const;
    // The answers for the next requests, in turn; once they run out, `fallback` answers.
    QList<Answer> answers;
    Answer fallback{200, R"({"five_hour":{"utilization":12}})"};
    QList<Request> requests;

    // Sends the answers held back, oldest first.
    void releaseHeld();
    int heldCount() const { return int(held_.size()); }

private:
    void readRequest(QSslSocket* socket);
    static void reply(QSslSocket* socket, const Answer& answer);

    QSslServer server_;
    QMap<QSslSocket*, QByteArray> buffers_;
    QList<QPair<QPointer<QSslSocket>, Answer>> held_;
};

} // namespace usagetest
