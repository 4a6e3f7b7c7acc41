#include "terminalview/ShellList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ShellList, OffersTheInstalledShellsInOrder) {
    QList<ShellEntry> expected;
    for (const ShellEntry& e : {ShellEntry{"zsh", "/bin/zsh"}, {"bash", "/bin/bash"}, {"sh", "/bin/sh"}})
        if (QFile::exists(e.path)) expected.append(e);
    EXPECT_EQ(availableShells(), expected);
    EXPECT_FALSE(availableShells().isEmpty());
}

TEST(ShellList, TheConfigFolderLiesBesideTheExecutable) {
    EXPECT_EQ(shellConfigDir(), QCoreApplication::applicationDirPath() + "/shell");
}

TEST(ShellList, AShellThatCannotRunFallsBackToTheLoginShell) {
    QTemporaryDir dir;
    const QString notExecutable = dir.filePath("plain");
    QFile file(notExecutable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const struct {
        QString requested, environmentShell, passwdShell, expected;
    } cases[] = {
        {"/bin/bash", "/bin/zsh", "/bin/sh", "/bin/bash"},
        {"/nonexistent/zsh", "/bin/bash", "/bin/zsh", "/bin/bash"},
        {"/nonexistent/zsh", "", "/usr/bin/dash", "/usr/bin/dash"},
        {"/nonexistent/zsh", "/nonexistent/fish", "/usr/bin/dash", "/usr/bin/dash"},
        {notExecutable, "/nonexistent", "", "/bin/sh"},
        {dir.path(), "", "", "/bin/sh"}, // a directory is not a shell
        {"", "", "", "/bin/sh"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseShell(c.requested, c.environmentShell, c.passwdShell), c.expected)
            << c.requested.toStdString();
}

TEST(ShellList, LoginArgumentFollowsTheShell) {
    const struct {
        QString path, argument;
    } cases[] = {{"/bin/sh", "-l"},
                 {"/usr/bin/dash", "-l"},
                 {"/bin/bash", "--login"},
                 {"/bin/zsh", "--login"},
                 {"/usr/local/bin/bash", "--login"}};
    for (const auto& c : cases) EXPECT_EQ(loginArgument(c.path), c.argument) << c.path.toStdString();
}
