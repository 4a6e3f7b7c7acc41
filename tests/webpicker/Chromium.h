#pragma once

// Debian's real Chromium, headless, on a port of its own choosing, and a local server for the pages
// it shows.

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// Serves fixed pages over HTTP on 127.0.0.1; unknown paths get a 404.
class PageServer : public QObject {
public:
    PageServer();
    void addPage(const QString& path, const QByteArray& html) { pages_.insert(path, html); }
    QString url(const QString& path) const;

private:
    QTcpServer server_;
    QMap<QString, QByteArray> pages_;
};

// The flags every test browser runs with.
QStringList headlessFlags();

// A browser on a fresh profile with remote debugging on a free port. Ended, with every process it
// forked, when the object goes.
class Chromium {
public:
    // Starts it showing `url` and waits until it has written its port; false when it did not start.
    bool start(const QString& url, const QStringList& flags = headlessFlags());
    int port() const { return port_; }
    QString profile() const { return profile_.path(); }
    // Ends the browser at once (SIGKILL), like a crash or the user quitting it.
    void kill();
    ~Chromium();

private:
    QTemporaryDir profile_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
};

// Ends our own browsers on `profileFolder` (SIGKILL) and waits until they are gone.
void killBrowsersWithProfile(const QString& profileFolder);

} // namespace testsupport
