// The built program as the copy an update has just installed: started with "--post-update" while
// its predecessor still holds the lock, it waits for the lock, starts, and removes the backup.
#include "UpdaterTestSupport.h"
#include "app/process/SingleInstanceLock.h"
#include "updater/Installer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace updatertest;

TEST(ProgramAfterUpdate, waitsForThePredecessorsLockThenRemovesItsBackup) {
    QTemporaryDir dir;
    const QString root = dir.filePath("opt/dunmar");
    makeInstall(root, kAppIdentifier, "1.0.0");
    // The program must run from the install itself: its own path decides where it runs from.
    QFile::remove(root + "/Dunmar");
    if (::link(DUNMAR_EXECUTABLE, QFile::encodeName(root + "/Dunmar").constData()) != 0) {
        ASSERT_TRUE(QFile::copy(DUNMAR_EXECUTABLE, root + "/Dunmar"));
    }
    const QString backup = dir.filePath("opt/" + kBackupPrefix + "0");
    makeInstall(backup, kAppIdentifier, "0.9.0");

    const QString runtime = dir.filePath("run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(dir.filePath("config/dunmar"));
    // No check of the real service from a test.
    writeFile(dir.filePath("config/dunmar/defaults.json"), "{\"autoCheckUpdates\": false}");

    const int predecessorLock = instancelock::acquire(instancelock::lockFilePath(runtime.toStdString()));
    ASSERT_GE(predecessorLock, 0);

    QProcess program;
    QProcessEnvironment env;
    env.insert("HOME", dir.filePath("home"));
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("PATH", qEnvironmentVariable("PATH"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(root + "/Dunmar", {"--post-update", backup});
    ASSERT_TRUE(program.waitForStarted(10000));
    ::close(predecessorLock); // the predecessor lets go a moment after starting its successor

    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(backup), 30000);
    EXPECT_EQ(program.state(), QProcess::Running) << "the new copy took itself for a second instance";
    EXPECT_TRUE(QFileInfo::exists(root + "/bundle.json"));

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0);
}
