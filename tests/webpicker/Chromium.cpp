#include "Chromium.h"

#include "webpicker/BrowserLauncher.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTest>
#include <csignal>

namespace testsupport {

PageServer::PageServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            auto received = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                *received += socket->readAll();
                if (!received->contains("\r\n\r\n")) return;
                const QList<QByteArray> request = received->left(received->indexOf("\r\n")).split(' ');
                const QString path = QString::fromLatin1(request.value(1));
                const bool known = pages_.contains(path);
                const QByteArray body = known ? pages_.value(path) : QByteArrayLiteral("not found");
                socket->write((known ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                              QByteArrayLiteral("\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: ") +
                              QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString PageServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

QStringList headlessFlags() {
    return {"--headless",       "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync"};
}

bool Chromium::start(const QString& url, const QStringList& flags) {
    process_ = std::make_unique<QProcess>();
    process_->setProgram(QStringLiteral("chromium"));
    process_->setArguments(flags + QStringList{"--remote-debugging-port=0",
                                               "--user-data-dir=" + profile_.path(), url});
    // The browser's complaints about a missing session bus and the like are of no interest here.
    process_->setStandardOutputFile(QProcess::nullDevice());
    process_->setStandardErrorFile(QProcess::nullDevice());
    process_->start();
    if (!process_->waitForStarted(10000)) return false;
    // The browser writes the port it chose into the profile's first line once it listens.
    QFile portFile(profile_.filePath(QStringLiteral("DevToolsActivePort")));
    if (!QTest::qWaitFor([&] { return portFile.exists() && portFile.size() > 0; }, 30000)) return false;
    if (!portFile.open(QIODevice::ReadOnly)) return false;
    port_ = portFile.readLine().trimmed().toInt();
    return port_ > 0;
}

namespace {

// Every process whose command line names the folder, the browser's helpers included.
std::vector<pid_t> processesNaming(const QString& folder) {
    std::vector<pid_t> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const int pid = entry.toInt(&ok);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (ok && cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(folder.toLocal8Bit()))
            found.push_back(pid);
    }
    return found;
}

} // namespace

void killBrowsersWithProfile(const QString& profileFolder) {
    for (pid_t pid : browser::processesWithProfile(profileFolder)) ::kill(pid, SIGKILL);
    // Its helpers end with it; until they have, they may still write into the profile.
    (void)QTest::qWaitFor([&] {
        for (pid_t pid : processesNaming(profileFolder)) ::kill(pid, SIGKILL);
        return processesNaming(profileFolder).empty();
    }, 10000);
}

void Chromium::kill() {
    if (!process_) return;
    process_->kill();
    process_->waitForFinished(10000);
    killBrowsersWithProfile(profile_.path());
    process_.reset();
}

Chromium::~Chromium() {
    kill();
}

} // namespace testsupport
