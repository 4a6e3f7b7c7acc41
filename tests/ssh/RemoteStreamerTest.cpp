// The remote streamer against a relay on 127.0.0.1: a websocket server in secure mode with the
// test certificate.
#include "ssh/RemoteStreamer.h"

#include "support/Waits.h"
#include "terminalview/Utf8StreamDecoder.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslKey>
#include <QTest>
#include <QWebSocket>
#include <QWebSocketServer>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kShortReconnectMs = 200;

QString fixture(const QString& name) {
    return qEnvironmentVariable("DUNMAR_SOURCE_DIR") + "/tests/fixtures/tls/" + name;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The relay: records every connection and message, confirms registrations unless told not to,
// and counts how many connections are open at once.
class Relay : public QObject {
public:
    struct Connection {
        QWebSocket* socket = nullptr;
        QList<QJsonObject> messages;
        bool open = true;
        int closeCode = -1;
    };

    Relay() : server_("relay", QWebSocketServer::SecureMode) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setLocalCertificate(QSslCertificate(readFile(fixture("localhost.crt"))));
        ssl.setPrivateKey(QSslKey(readFile(fixture("localhost.key")), QSsl::Rsa));
        ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
        server_.setSslConfiguration(ssl);
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        connect(&server_, &QWebSocketServer::newConnection, this, [this] {
            while (QWebSocket* socket = server_.nextPendingConnection()) accept(socket);
        });
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server_.serverPort()); }
    int openCount() const {
        int n = 0;
        for (const auto& c : connections) n += c->open ? 1 : 0;
        return n;
    }

    bool confirm = true;
    int maxOpen = 0;
    QString path;
    std::vector<std::unique_ptr<Connection>> connections;

private:
    void accept(QWebSocket* socket) {
        auto connection = std::make_unique<Connection>();
        Connection* c = connection.get();
        c->socket = socket;
        path = socket->requestUrl().path();
        connections.push_back(std::move(connection));
        maxOpen = std::max(maxOpen, openCount());
        connect(socket, &QWebSocket::textMessageReceived, this, [this, c](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            c->messages << message;
            if (confirm && message.value("type") == "register")
                c->socket->sendTextMessage(R"({"type":"registered"})");
        });
        connect(socket, &QWebSocket::disconnected, this, [c] {
            c->open = false;
            c->closeCode = c->socket->closeCode();
        });
    }

    QWebSocketServer server_;
};

class Streaming : public testing::Test {
protected:
    void SetUp() override {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setCaCertificates({QSslCertificate(readFile(fixture("localhost.crt")))});
        streamer.setSslConfiguration(ssl);
        streamer.setReconnectDelay(kShortReconnectMs);
        streamer.relayHost = [this] { return relay.host(); };
        streamer.storedCodeIfEnabled = [this]() -> std::optional<QString> {
            if (!enabled) return std::nullopt;
            return storedCode;
        };
    }
    void TearDown() override {
        streamer.stop();
        testsupport::drainEvents();
    }
    bool waitForConnections(size_t n) {
        return QTest::qWaitFor([&] { return relay.connections.size() >= n; }, 20000);
    }
    // The messages of connection `i` of the given type.
    QList<QJsonObject> messages(size_t i, const QString& type) const {
        QList<QJsonObject> out;
        for (const QJsonObject& m : relay.connections.at(i)->messages)
            if (m.value("type") == type) out << m;
        return out;
    }

    Relay relay;
    RemoteStreamer streamer;
    bool enabled = true;
    QString storedCode = "000777";
};

} // namespace

TEST_F(Streaming, RegistersWithTheCodeAndSendsOutputOnlyOnceConfirmed) {
    relay.confirm = false;
    streamer.start("004217");
    ASSERT_TRUE(waitForConnections(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages(0, "register").isEmpty(); }, 20000));
    EXPECT_EQ(relay.path, "/relay/");
    const QJsonObject reg = messages(0, "register").first();
    EXPECT_EQ(reg, (QJsonObject{{"type", "register"}, {"role", "mac"}, {"code", "004217"}}))
        << "the code as a string, leading zeros kept";

    // Nothing but the confirmation connects; output before it is dropped, not kept for later.
    QWebSocket* relaySide = relay.connections[0]->socket;
    for (const char* other : {R"({"type":"hello"})", R"({"code":"1"})", "not json", "[1,2]"})
        relaySide->sendTextMessage(other);
    relaySide->sendBinaryMessage(R"({"type":"registered"})");
    streamer.send("early");
    relaySide->sendTextMessage(R"({"type":"registered","viewer":"phone"})");
    ASSERT_TRUE(QTest::qWaitFor([&] { return streamer.isConnected(); }, 20000));

    // A character split across two reads reaches the relay whole.
    Utf8StreamDecoder decoder;
    for (const QByteArray& piece : {QByteArray("caf\xc3"), QByteArray("\xa9 ok")})
        if (const std::optional<QString> text = decoder.decode(piece); text && !text->isEmpty())
            streamer.send(*text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages(0, "output").size() >= 2; }, 20000));
    QString received;
    for (const QJsonObject& m : messages(0, "output")) received += m.value("data").toString();
    EXPECT_EQ(received, QString::fromUtf8("café ok"));
    EXPECT_FALSE(received.contains("early"));
}

TEST_F(Streaming, ReconnectsWithTheStoredCodeWhileEnabledAndNeverAfterStop) {
    streamer.start("123456");
    ASSERT_TRUE(QTest::qWaitFor([&] { return streamer.isConnected(); }, 20000));

    // The relay drops the connection: a new one registers with the stored code after the delay.
    relay.connections[0]->socket->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !streamer.isConnected(); }, 20000));
    ASSERT_TRUE(waitForConnections(2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return streamer.isConnected(); }, 20000));
    EXPECT_EQ(messages(1, "register").first().value("code"), "000777");
    EXPECT_EQ(relay.maxOpen, 1) << "one live connection throughout";

    // Switched off: the relay sees a normal closure and nothing comes back.
    enabled = false;
    streamer.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return relay.openCount() == 0; }, 20000));
    EXPECT_EQ(relay.connections[1]->closeCode, 1000);
    EXPECT_TRUE(testsupport::waitForTimerStartedBefore(kShortReconnectMs));
    EXPECT_EQ(relay.connections.size(), 2u);
    EXPECT_FALSE(streamer.isReconnectPending());
    streamer.send("after stop");
    testsupport::drainEvents();
    EXPECT_TRUE(messages(1, "output").isEmpty());
}

TEST_F(Streaming, ARestartClosesTheOldConnectionAndALostOneWhileDisabledStaysLost) {
    streamer.start("111111");
    ASSERT_TRUE(QTest::qWaitFor([&] { return streamer.isConnected(); }, 20000));
    streamer.start("222222");
    EXPECT_FALSE(streamer.isConnected()) << "the new connection has to register first";
    ASSERT_TRUE(waitForConnections(2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return streamer.isConnected() && relay.openCount() == 1; }, 20000));
    EXPECT_FALSE(relay.connections[0]->open);
    EXPECT_EQ(relay.connections[0]->closeCode, 1000);
    EXPECT_EQ(messages(1, "register").first().value("code"), "222222");

    enabled = false;
    relay.connections[1]->socket->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !streamer.isConnected(); }, 20000));
    EXPECT_TRUE(testsupport::waitForTimerStartedBefore(kShortReconnectMs));
    EXPECT_EQ(relay.connections.size(), 2u) << "switched off: no reconnect";
}

TEST_F(Streaming, WithoutARelayNothingConnects) {
    streamer.relayHost = [] { return QString(); };
    streamer.start("123456");
    EXPECT_TRUE(testsupport::waitForTimerStartedBefore(kShortReconnectMs));
    EXPECT_TRUE(relay.connections.empty());
    EXPECT_FALSE(streamer.isConnected());
}

TEST_F(Streaming, OutputBeyondTheQueueLimitIsDroppedAndCounted) {
    streamer.start("123456");
    ASSERT_TRUE(QTest::qWaitFor([&] { return streamer.isConnected(); }, 20000));
    streamer.setMaxQueuedBytes(64 * 1024);
    const QString piece(4096, QChar('x'));
    constexpr int kPieces = 200;
    // All at once, as a flooding shell would, without the loop getting a turn to write.
    for (int i = 0; i < kPieces; ++i) streamer.send(piece);
    EXPECT_GT(streamer.droppedMessages(), 0);
    EXPECT_EQ(streamer.droppedBytes(), streamer.droppedMessages() * 4096);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return messages(0, "output").size() + streamer.droppedMessages() == kPieces; }, 20000));
}
