#include "settings/Autostart.h"

#include "SettingsTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

using namespace settingstest;

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

// Runs the distribution's validator; empty when the file passes without a remark.
QString validate(const QString& path) {
    QProcess validator;
    validator.setProcessChannelMode(QProcess::MergedChannels);
    validator.start(QStringLiteral("desktop-file-validate"), {path});
    if (!validator.waitForFinished(20000)) return QStringLiteral("desktop-file-validate did not run");
    const QString output = QString::fromUtf8(validator.readAll()).trimmed();
    if (validator.exitStatus() != QProcess::NormalExit || validator.exitCode() != 0)
        return QStringLiteral("exit %1: %2").arg(validator.exitCode()).arg(output);
    return output;
}

} // namespace

TEST(Autostart, ExecArgumentQuoting) {
    const QList<std::pair<QString, QString>> cases{
        {"/usr/bin/Dunmar", R"("/usr/bin/Dunmar")"},
        {"/opt/My Apps/Dunmar", R"("/opt/My Apps/Dunmar")"},
        {R"(/tmp/a"b)", R"("/tmp/a\\"b")"},
        {"/tmp/$HOME`x`", R"("/tmp/\\$HOME\\`x\\`")"},
        {R"(/tmp/back\slash)", R"("/tmp/back\\\\slash")"},
        {"/tmp/100%/Dunmar", R"("/tmp/100%%/Dunmar")"},
        {"/tmp/it's", R"("/tmp/it's")"},
    };
    for (const auto& [path, quoted] : cases)
        EXPECT_EQ(autostart::quoteExecArgument(path), quoted) << path.toStdString();
}

TEST(Autostart, EntryIsWrittenForTheRunningExecutableAndRemoved) {
    SettingsEnvironment env;
    const QString path = autostart::entryPath();
    EXPECT_EQ(path, env.config + "/autostart/com.glimmerdock.autostart.desktop");

    ASSERT_TRUE(SettingsOverlay::setAutoStart(true));
    const QString entry = readAll(path);
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"" + QCoreApplication::applicationFilePath() + "\"\n"));
    EXPECT_EQ(validate(path), "");

    // On twice: one file, the same content.
    ASSERT_TRUE(SettingsOverlay::setAutoStart(true));
    EXPECT_EQ(readAll(path), entry);
    EXPECT_EQ(QDir(env.config + "/autostart").entryList(QDir::Files).size(), 1);

    ASSERT_TRUE(SettingsOverlay::setAutoStart(false));
    EXPECT_FALSE(QFile::exists(path));
    // Off without an entry is no failure.
    QString error;
    EXPECT_TRUE(SettingsOverlay::setAutoStartLegacy(false, &error));
    EXPECT_TRUE(error.isEmpty());
}

TEST(Autostart, AwkwardExecutablePathsStayValidEntries) {
    SettingsEnvironment env;
    for (const QString& exe :
         {QStringLiteral("/opt/My Apps/Dunmar"), QStringLiteral(R"(/tmp/q"u$o`te\s %f/Dunmar)"),
          QStringLiteral("/home/zoë/bin/Dunmar")}) {
        SCOPED_TRACE(exe.toStdString());
        QString error;
        ASSERT_TRUE(autostart::install(exe, &error)) << error.toStdString();
        EXPECT_EQ(validate(autostart::entryPath()), "");
    }
}

TEST(Autostart, PathsThatCannotBeExpressedAreRefused) {
    SettingsEnvironment env;
    for (const QString& exe :
         {QString(), QStringLiteral("relative/Dunmar"), QStringLiteral("/tmp/new\nline")}) {
        QString error;
        EXPECT_FALSE(autostart::install(exe, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFile::exists(autostart::entryPath()));
    }
}

TEST(Autostart, FollowsXdgConfigHomeAndItsDefault) {
    SettingsEnvironment env;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(env.home + "/elsewhere"));
    EXPECT_EQ(autostart::entryPath(), env.home + "/elsewhere/autostart/com.glimmerdock.autostart.desktop");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(autostart::entryPath(), env.home + "/.config/autostart/com.glimmerdock.autostart.desktop");
}
