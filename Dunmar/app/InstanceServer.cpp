#include "app/InstanceServer.h"

#include "app/SingleInstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

InstanceServer::InstanceServer(const QString& socketPath, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath);
    server_->listen(socketPath);
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
