#include "UsageServer.h"

#include <QFile>
#include <QSslKey>

namespace usagetest {

namespace {

QByteArray fixture(const char* name) {
    QFile f(qEnvironmentVariable("DUNMAR_SOURCE_DIR") + "/tests/fixtures/tls/" + name);
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing test certificate %s", name);
    return f.readAll();
}

QByteArray reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 429:
        return "Too Many Requests";
    default:
        return "Status";
    }
}

} // namespace

QSslConfiguration serverSsl() {
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setLocalCertificate(QSslCertificate(fixture("localhost.crt")));
    ssl.setPrivateKey(QSslKey(fixture("localhost.key"), QSsl::Rsa));
    ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
    return ssl;
}

QSslConfiguration clientSsl() {
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setCaCertificates({QSslCertificate(fixture("localhost.crt"))});
    return ssl;
}

QByteArray UsageServer::Request::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key == name.toLower()) return value;
    return {};
}

UsageServer::UsageServer() {
    server_.setSslConfiguration(serverSsl());
    if (!server_.listen(QHostAddress::LocalHost, 0)) qFatal("the usage server cannot listen");
    connect(&server_, &QSslServer::pendingConnectionAvailable, this, [this] {
        while (auto* socket = qobject_cast<QSslSocket*>(server_.nextPendingConnection())) {
            connect(socket, &QSslSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl UsageServer::baseUrl() const {
    return QUrl(QStringLiteral("https://127.0.0.1:%1").arg(server_.serverPort()));
}

void UsageServer::readRequest(QSslSocket* socket) {
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) return;
    Request request;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffers_.remove(socket);
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.path = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.append(
                {lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed()});
    }
    requests << request;
    const Answer answer = answers.isEmpty() ? fallback : answers.takeFirst();
    if (answer.hold)
        held_.append({QPointer<QSslSocket>(socket), answer});
    else
        reply(socket, answer);
}

void UsageServer::releaseHeld() {
    for (const auto& [socket, answer] : held_)
        if (socket) reply(socket, answer);
    held_.clear();
}

void UsageServer::reply(QSslSocket* socket, const Answer& answer) {
    QByteArray response =
        "HTTP/1.1 " + QByteArray::number(answer.status) + " " + reason(answer.status) + "\r\n";
    response +=
        "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(answer.body.size()) +
        "\r\nConnection: close\r\n\r\n" + answer.body;
    socket->write(response);
    socket->disconnectFromHost();
}

} // namespace usagetest
