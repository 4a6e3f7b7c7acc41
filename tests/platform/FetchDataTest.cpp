// A request's answer against a real server on 127.0.0.1: the body whatever the HTTP status, an
// error only when no answer came.
#include "platform/FetchData.h"

#include "support/EndlessServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Answers every request with a fixed response, or drops the connection when it is empty.
class CannedServer : public QObject {
public:
    explicit CannedServer(QByteArray response) : response_(std::move(response)) {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    received += socket->readAll();
                    if (!received.contains("\r\n\r\n")) return;
                    if (!response_.isEmpty()) socket->write(response_);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QUrl url(const QString& path = "/") const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }
    QByteArray received;

private:
    QTcpServer server_;
    QByteArray response_;
};

QByteArray httpResponse(int status, const QByteArray& reason, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(status) + " " + reason +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// Runs the request to its answer.
std::optional<FetchResult> fetch(QNetworkAccessManager& manager, const QUrl& url,
                                 const QByteArray& verb = "GET", const QByteArray& body = {},
                                 const FetchLimits& limits = {}) {
    std::optional<FetchResult> result;
    int calls = 0;
    fetchData(
        manager, QNetworkRequest(url), nullptr,
        [&](FetchResult r) {
            ++calls;
            result = std::move(r);
        },
        verb, body, limits);
    QElapsedTimer timer;
    timer.start();
    while (!result && timer.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    EXPECT_LE(calls, 1);
    return result;
}

} // namespace

TEST(FetchData, TheBodyComesBackWhateverTheStatus) {
    struct Case {
        int status;
        QByteArray reason, body;
    };
    const Case cases[] = {{200, "OK", "{\"tag\":\"v1.1\"}"},
                          {404, "Not Found", "no such release"},
                          {401, "Unauthorized", "sign in"},
                          {500, "Internal Server Error", "oops"},
                          {204, "No Content", ""}};
    QNetworkAccessManager manager;
    for (const Case& c : cases) {
        CannedServer server(httpResponse(c.status, c.reason, c.body));
        const std::optional<FetchResult> r = fetch(manager, server.url("/releases"));
        ASSERT_TRUE(r.has_value()) << c.status;
        EXPECT_TRUE(r->ok()) << c.status << ": " << (r->error ? r->error->message.toStdString() : "");
        EXPECT_EQ(r->data, c.body) << c.status;
        EXPECT_EQ(r->httpStatus, c.status);
    }
}

TEST(FetchData, AMethodAndBodyAreSent) {
    QNetworkAccessManager manager;
    CannedServer server(httpResponse(201, "Created", "made"));
    const std::optional<FetchResult> r = fetch(manager, server.url("/items"), "POST", "name=x");
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->data, "made");
    EXPECT_TRUE(server.received.startsWith("POST /items HTTP/1.1\r\n"));
    EXPECT_TRUE(server.received.endsWith("name=x") || server.received.contains("name=x"));
}

TEST(FetchData, OnlyAMissingAnswerIsAnError) {
    QNetworkAccessManager manager;
    // Nobody listens on a port that was just given back.
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    const std::optional<FetchResult> refused =
        fetch(manager, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
    ASSERT_TRUE(refused.has_value());
    ASSERT_FALSE(refused->ok());
    EXPECT_EQ(refused->error->code, QNetworkReply::ConnectionRefusedError);
    EXPECT_EQ(refused->httpStatus, 0);
    EXPECT_TRUE(refused->data.isEmpty());

    CannedServer hangUp(QByteArray{}); // closes without a word
    const std::optional<FetchResult> closed = fetch(manager, hangUp.url());
    ASSERT_TRUE(closed.has_value());
    EXPECT_FALSE(closed->ok());
}

TEST(FetchData, TheAnswerIsDeliveredOnceOrNotAtAllWhenItsReceiverIsGone) {
    CannedServer server(httpResponse(200, "OK", "late"));
    auto manager = std::make_unique<QNetworkAccessManager>();
    int calls = 0;
    {
        QObject receiver;
        fetchData(*manager, QNetworkRequest(server.url()), &receiver, [&](FetchResult) { ++calls; });
    }
    // The request runs to its end (the reply is gone) and finds no one to tell.
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager->findChildren<QNetworkReply*>().isEmpty(); }, 20000));
    EXPECT_EQ(calls, 0);

    // A manager destroyed before the answer still ends the request, as a cancellation.
    std::optional<FetchResult> result;
    fetchData(*manager, QNetworkRequest(server.url()), nullptr, [&](FetchResult r) {
        ++calls;
        result = std::move(r);
    });
    manager.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    ASSERT_TRUE(result.has_value());
    ASSERT_FALSE(result->ok());
    EXPECT_EQ(result->error->code, QNetworkReply::OperationCanceledError);
}

TEST(FetchData, AnAnswerWithoutEndIsCutOffAtItsLimits) {
    using testsupport::EndlessServer;
    QNetworkAccessManager manager;
    EndlessServer flood(EndlessServer::Pace::flood);
    const std::optional<FetchResult> large =
        fetch(manager, flood.url(), "GET", {}, FetchLimits{1024 * 1024, 0});
    ASSERT_TRUE(large.has_value());
    ASSERT_FALSE(large->ok());
    EXPECT_TRUE(large->error->cutOff);
    EXPECT_EQ(large->error->message, "answer larger than 1 MiB");
    EXPECT_TRUE(large->data.isEmpty());

    // A byte now and then: the transfer time-out, which waits for silence, never comes.
    EndlessServer trickle(EndlessServer::Pace::trickle, 50);
    QNetworkAccessManager patient;
    patient.setTransferTimeout(60000);
    const std::optional<FetchResult> slow = fetch(patient, trickle.url(), "GET", {}, FetchLimits{1024, 500});
    ASSERT_TRUE(slow.has_value());
    ASSERT_FALSE(slow->ok());
    EXPECT_TRUE(slow->error->cutOff);
    EXPECT_EQ(slow->error->message, "answer not complete after 0.5 s");
}

TEST(FetchData, TransportFailureClassification) {
    using E = QNetworkReply::NetworkError;
    EXPECT_FALSE(isTransportFailure(E::NoError, false));
    EXPECT_FALSE(isTransportFailure(E::ContentNotFoundError, true));
    EXPECT_FALSE(isTransportFailure(E::InternalServerError, true));
    EXPECT_FALSE(isTransportFailure(E::AuthenticationRequiredError, true));
    EXPECT_TRUE(isTransportFailure(E::ContentNotFoundError, false));
    EXPECT_TRUE(isTransportFailure(E::RemoteHostClosedError, true)) << "a transfer broken after the status";
    EXPECT_TRUE(isTransportFailure(E::TimeoutError, false));
    EXPECT_TRUE(isTransportFailure(E::ProtocolFailure, true));
}
