// The single instance's socket when one copy hands over to the next.
#include "app/process/InstanceServer.h"
#include "app/process/SingleInstanceLock.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

TEST(HandOver, theOldCopyEndingLeavesTheNewCopysSocketInPlace) {
    QTemporaryDir dir;
    const std::string socket = instancelock::socketFilePath(dir.path().toStdString());
    auto old = std::make_unique<InstanceServer>(QString::fromStdString(socket));
    old->stopListening();
    EXPECT_FALSE(instancelock::askToShow(socket));

    InstanceServer fresh(QString::fromStdString(socket));
    old.reset(); // the old copy ends after the new one listens
    EXPECT_TRUE(instancelock::askToShow(socket)) << "the old copy's end took the new copy's socket";
}

TEST(HandOver, aFailedHandOverListensAgain) {
    QTemporaryDir dir;
    const std::string socket = instancelock::socketFilePath(dir.path().toStdString());
    InstanceServer server(QString::fromStdString(socket));
    server.stopListening();
    server.listenAgain();
    EXPECT_TRUE(server.isListening());
    EXPECT_TRUE(instancelock::askToShow(socket));
}
