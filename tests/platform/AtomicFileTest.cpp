#include "platform/AtomicFile.h"

#include "platform/Defaults.h"
#include "support/FullDisk.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A document larger than the 4 KiB a failing write used to leave behind.
QByteArray document(char fill) {
    return QByteArray(5800, fill);
}
} // namespace

TEST(AtomicFileTest, AFullDiskKeepsTheOldFileAndSaysWhy) {
    FullDisk disk;
    const QString path = disk.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(atomicfile::write(path, QByteArray("old content\n")));

    disk.fill();
    QString error;
    EXPECT_FALSE(atomicfile::write(path, document('n'), &error)) << "a short write reported as success";
    EXPECT_FALSE(error.isEmpty());
    disk.release();

    EXPECT_EQ(readAll(path), QByteArray("old content\n"));
    EXPECT_EQ(disk.files(), QStringList{"notes.txt"}) << "a temporary file was left behind";
    ASSERT_TRUE(atomicfile::write(path, document('n')));
    EXPECT_EQ(readAll(path), document('n'));
}

TEST(AtomicFileTest, TheSettingsStoreKeepsItsFileAndItsChangesOnAFullDisk) {
    FullDisk disk;
    const QString path = disk.filePath(QStringLiteral("defaults.json"));
    Defaults d(path);
    d.setValue(QStringLiteral("sessionTabs"), QVariantList{QVariantMap{{"shell", "/bin/bash"}}});
    ASSERT_TRUE(d.synchronize());
    const QByteArray before = readAll(path);

    QSignalSpy failures(&d, &Defaults::writeFailed);
    disk.fill();
    d.setValue(QStringLiteral("big"), QString(QByteArray(6000, 'b')));
    EXPECT_FALSE(d.synchronize());
    d.setValue(QStringLiteral("more"), 1);
    EXPECT_FALSE(d.synchronize());
    EXPECT_EQ(failures.count(), 1) << "the user is told once per run of failures";
    EXPECT_EQ(readAll(path), before) << "the old file was replaced by a truncated one";

    disk.release();
    ASSERT_TRUE(d.synchronize()) << "the changes were not kept for the next write";
    Defaults reread(path);
    EXPECT_EQ(reread.string(QStringLiteral("big")).size(), 6000);
    EXPECT_EQ(reread.integer(QStringLiteral("more")), 1);
    EXPECT_EQ(reread.array(QStringLiteral("sessionTabs")).size(), 1);
}
