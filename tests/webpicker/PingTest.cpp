// The channel's liveness check against a websocket server that never answers a ping by itself, and
// the browser launch's wait when no browser answers.
#include "WebPickerTestSupport.h"

#include "webpicker/BrowserLauncher.h"
#include "webpicker/ChromeCDPClient.h"

#include "platform/Defaults.h"
#include "support/Waits.h"

#include <QCryptographicHash>
#include <QTcpServer>
#include <QPointer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Accepts websocket handshakes and keeps quiet: a ping is only remembered, and answered when the
// test says so.
class SilentWebSocketServer : public QObject {
public:
    SilentWebSocketServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections;
                socket_ = socket;
                QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, this, [this] { ++closed; });
            }
        });
    }
    QString url() const { return QStringLiteral("ws://127.0.0.1:%1/devtools/page/silent").arg(server_.serverPort()); }
    void sendPong() {
        if (socket_) socket_->write(QByteArray("\x8a\x00", 2));
    }

    int connections = 0;
    int closed = 0;
    int pings = 0;

private:
    void read(QTcpSocket* socket) {
        buffer_ += socket->readAll();
        if (!handshaken_) {
            const qsizetype end = buffer_.indexOf("\r\n\r\n");
            if (end < 0) return;
            QByteArray key;
            for (const QByteArray& line : buffer_.left(end).split('\n'))
                if (line.toLower().startsWith("sec-websocket-key:")) key = line.mid(18).trimmed();
            const QByteArray accept =
                QCryptographicHash::hash(key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11", QCryptographicHash::Sha1)
                    .toBase64();
            socket->write("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                          "Sec-WebSocket-Accept: " + accept + "\r\n\r\n");
            buffer_.remove(0, end + 4);
            handshaken_ = true;
        }
        // Client frames are masked; only short frames come here.
        while (buffer_.size() >= 6) {
            const int length = buffer_[1] & 0x7f;
            if (buffer_.size() < 6 + length) return;
            if ((buffer_[0] & 0x0f) == 0x9) ++pings;
            buffer_.remove(0, 6 + length);
        }
    }

    QTcpServer server_;
    QPointer<QTcpSocket> socket_;
    QByteArray buffer_;
    bool handshaken_ = false;
};

} // namespace

TEST(CommandChannel, AMissingPongDropsTheConnectionOnceAndALatePongChangesNothing) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    SilentWebSocketServer server;
    ChromeCDPClient client(defaults);
    client.setPingTimeoutMs(300);
    int lost = 0;
    client.onDisconnected = [&] { ++lost; };
    std::vector<bool> results;
    client.connect(server.url(), [&](bool ok) { results.push_back(ok); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !results.empty(); }, 10000));
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(server.pings, 1);
    EXPECT_FALSE(client.isOpen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.closed == 1; }, 5000)) << "the connection is dropped";

    server.sendPong();
    testsupport::drainEvents();
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(server.connections, 1) << "no second connection";
    EXPECT_EQ(server.closed, 1);
    EXPECT_EQ(lost, 0) << "a connection that never answered was never open";
}

TEST(BrowserLaunch, WithNoBrowserAnsweringTheWaitShowsFourteenTexts) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    // A port nobody listens on, and a "browser" that ends at once.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    qputenv(browser::kBrowserVariable, "false");
    ChromeCDPClient client(defaults);
    client.setPortOverride(port);
    client.setLaunchPollIntervalMs(1);
    QStringList texts;
    int done = 0;
    client.launchChrome([&](const QString& text) { texts << text; }, [&] { ++done; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done > 0; }, 30000));
    EXPECT_EQ(texts.size(), 14);
    EXPECT_EQ(texts.value(0), "Waiting for Chrome..");
    EXPECT_EQ(texts.value(13), "Waiting for Chrome...") << "one ask left: 4 - (1 & 3) dots";
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(testsupport::await<bool>([&](auto d) { client.isAvailable(d); }));
    qunsetenv(browser::kBrowserVariable);
}
