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

    std::function<void()> onShowRequested;

private:
    QLocalServer* server_;
};
