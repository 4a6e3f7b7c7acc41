#include "app/process/InstanceServer.h"

#include "app/process/SingleInstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

InstanceServer::InstanceServer(const QString& socketPath, QObject* parent)
    : QObject(parent), socketPath_(socketPath), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    listenAgain();
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            const QPointer<InstanceServer> self(this);
            connect(client, &QLocalSocket::readyRead, this, [self, client] {
                // One short line; anything longer is not ours.
                const QByteArray line = client->readLine(64);
                if (line == instancelock::kShowMessage && self && self->onShowRequested)
                    self->onShowRequested();
                client->disconnectFromServer();
            });
        }
    });
}

bool InstanceServer::isListening() const {
    return server_->isListening();
}

void InstanceServer::stopListening() {
    server_->close();
}

void InstanceServer::listenAgain() {
    if (server_->isListening()) return;
    QLocalServer::removeServer(socketPath_);
    server_->listen(socketPath_);
}
