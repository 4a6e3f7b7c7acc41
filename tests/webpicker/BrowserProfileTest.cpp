// The picker's browser profile folder: private, never a folder someone else made first.
#include "webpicker/BrowserProfile.h"

#include "webpicker/BrowserLauncher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Sets an environment variable for its lifetime; an empty value unsets it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value) : name_(name), saved_(qgetenv(name)) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedVariable() {
        if (saved_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, saved_);
    }

private:
    const char* name_;
    QByteArray saved_;
};

unsigned modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
}

QString userDataDir(const browser::Command& command) {
    for (const QString& argument : command.arguments)
        if (argument.startsWith("--user-data-dir=")) return argument.mid(int(strlen("--user-data-dir=")));
    return {};
}

} // namespace

TEST(BrowserProfile, IsAPrivateFolderInTheRuntimeFolderOrAFreshTemporaryOne) {
    QTemporaryDir runtime;
    const ScopedVariable browserVariable(browser::kBrowserVariable, "true");
    {
        const ScopedVariable runtimeVariable("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString expected = runtime.filePath("dunmar-chrome-debug-9222");
        EXPECT_EQ(browser::profileFolder(9222), expected);
        EXPECT_EQ(modeOf(expected), 0700u);
        // One left by an earlier run with a wider mode is made private.
        ASSERT_EQ(::chmod(QFile::encodeName(expected).constData(), 0755), 0);
        const std::optional<browser::Command> command = browser::launchCommand(9222);
        ASSERT_TRUE(command);
        EXPECT_EQ(userDataDir(*command), expected);
        EXPECT_EQ(modeOf(expected), 0700u);
    }
    {
        // No runtime folder: mkdtemp's folder, the same one for the rest of the run.
        const ScopedVariable runtimeVariable("XDG_RUNTIME_DIR", {});
        const std::optional<QString> made = browser::profileFolder(9221);
        ASSERT_TRUE(made);
        EXPECT_TRUE(made->startsWith(QDir::tempPath() + "/dunmar-chrome-debug-9221-")) << made->toStdString();
        EXPECT_EQ(modeOf(*made), 0700u);
        EXPECT_EQ(browser::profileFolder(9221), made);
        ASSERT_TRUE(QDir(*made).removeRecursively());
        EXPECT_EQ(browser::profileFolder(9221), made) << "made again when removed";
        EXPECT_EQ(modeOf(*made), 0700u);
        QDir(*made).removeRecursively();
    }
}

// A folder at the profile's place that this user did not make is never used: no browser starts
// with it.
TEST(BrowserProfile, AFolderSomeoneElseMadeIsRefused) {
    QTemporaryDir runtime;
    const ScopedVariable runtimeVariable("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const ScopedVariable browserVariable(browser::kBrowserVariable, "true");
    const QString folder = runtime.filePath("dunmar-chrome-debug-9222");
    const QByteArray path = QFile::encodeName(folder);
    struct Case {
        const char* name;
        std::function<bool()> make;
    };
    const std::vector<Case> cases{
        {"a folder of another user",
         [&] {
             // As root the folder is handed to nobody; otherwise a link to a folder of root's stands
             // in for it.
             if (::geteuid() == 0)
                 return QDir().mkpath(folder) && ::chown(path.constData(), 65534, 65534) == 0;
             return QFile::link("/", folder);
         }},
        {"a file",
         [&] {
             QFile f(folder);
             return f.open(QIODevice::WriteOnly);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(folder);
        QDir(folder).removeRecursively();
        ASSERT_TRUE(c.make());
        QString problem;
        EXPECT_FALSE(browser::profileFolder(9222, &problem));
        EXPECT_FALSE(problem.isEmpty());
        EXPECT_FALSE(browser::launchCommand(9222)) << "a browser would start with someone else's profile";
    }
}
