#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

// The running copy's end of the single-instance socket: a later start connects and asks for the
// window, and onShowRequested runs. Only the holder of the lock listens, so a socket file left by
// a crashed copy is removed first.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(const QString& socketPath, QObject* parent = nullptr);
    bool isListening() const;
    // Handing over to another copy: this one stops listening (and removes the socket file) before
    // the other starts, so that its own socket is never removed from under it; and listens again
    // when the other copy could not start.
    void stopListening();
    void listenAgain();

    std::function<void()> onShowRequested;

private:
    QString socketPath_;
    QLocalServer* server_;
};
