// Hostile profile fields typed into a real bash on a real pseudo-terminal, as a connect does: each
// either has no command at all, or reaches ssh as exactly the arguments it stands for (checked by
// the real client's `ssh -G`), and none of them runs anything of its own.
#include "ssh/SSHProfile.h"

#include "terminalview/ChildReaper.h"
#include "terminalview/PtySession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeScript(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class HostileProfiles : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        for (const char* sub : {"home", "bin", "out", "work"}) ASSERT_TRUE(QDir(root.path()).mkpath(sub));
        home = root.filePath("home");
        out = root.filePath("out");
        work = root.filePath("work");
        savedHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home));
        // Stands in for ssh: keeps the arguments it got (NUL-separated, so line breaks inside one
        // survive), then has the real client resolve them without connecting or reading a config.
        writeScript(root.filePath("bin/ssh"),
                    "#!/bin/sh\n"
                    "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" + QFile::encodeName(out) + "/argv'\n"
                    "/usr/bin/ssh -G -F /dev/null \"$@\" > '" + QFile::encodeName(out) + "/resolved' 2>&1\n"
                    "echo $? > '" + QFile::encodeName(out) + "/status'\n");
        shell = std::make_unique<PtySession>(QString(), PtySessionSettings{home, {}});
        shell->onOutput = [this](QByteArrayView piece) { output.append(piece.data(), piece.size()); };
        ASSERT_TRUE(shell->start("/bin/bash", work));
        // The login shell's profile sets PATH anew: put the stand-in first once it is up.
        type("PATH='" + root.filePath("bin") + "':\"$PATH\"; hash -r");
        sync();
    }
    void TearDown() override {
        shell.reset();
        EXPECT_TRUE(QTest::qWaitFor([] { return ChildReaper::shared().watchedCount() == 0; }, 10000));
        qputenv("HOME", savedHome);
    }
    // A line typed into the shell, as the connect does: the text and a line feed.
    void type(const QString& line) { shell->write(line + QLatin1Char('\n')); }
    // Waits until the shell has run everything typed before.
    void sync() {
        const QByteArray marker = "sync" + QByteArray::number(++syncs) + "-42";
        type("echo sync" + QString::number(syncs) + "-$((6*7))");
        ASSERT_TRUE(QTest::qWaitFor([&] { return output.contains(marker); }, 20000)) << output.right(400).data();
    }

    QTemporaryDir root;
    QString home, out, work;
    QByteArray savedHome;
    std::unique_ptr<PtySession> shell;
    QByteArray output;
    int syncs = 0;
};

SSHProfile profile(const QString& user, const QString& host, qint64 port = 22, const QString& key = {},
                   const QString& label = {}) {
    return SSHProfile::make(label, user, host, port, key);
}

} // namespace

TEST_F(HostileProfiles, FieldsReachSshAsTheirOwnArgumentsOrNotAtAll) {
    const struct {
        SSHProfile p;
        QStringList argv; // empty: the profile has no command
    } cases[] = {
        // Quoted, and handed over as they stand.
        {profile("$(touch M1)", "h"), {"--", "$(touch M1)@h"}},
        {profile("`touch M2`", "h"), {"--", "`touch M2`@h"}},
        {profile("o'neil;touch M3;'", "h"), {"--", "o'neil;touch M3;'@h"}},
        {profile("u", "h;touch M4"), {"--", "u@h;touch M4"}},
        {profile("u", "h|touch M5&"), {"--", "u@h|touch M5&"}},
        {profile("\"$(touch M6)\"", "h\\"), {"--", "\"$(touch M6)\"@h\\"}},
        {profile("u!!x", "h!$"), {"--", "u!!x@h!$"}},
        {profile("~root", "*"), {"--", "~root@*"}},
        {profile("my user", "build-box", 2222), {"-p", "2222", "--", "my user@build-box"}},
        {profile(QString::fromUtf8("café"), QString::fromUtf8("münchen.example")),
         {"--", QString::fromUtf8("café@münchen.example")}},
        {profile("u", "h", -1), {"-p", "-1", "--", "u@h"}},
        {profile("u", "h", 22, "~/k $(touch M7)"), {"-i", home + "/k $(touch M7)", "--", "u@h"}},
        // The key file is the value of -i whatever it starts with.
        {profile("u", "h", 22, "-oProxyCommand=touch M8"), {"-i", "-oProxyCommand=touch M8", "--", "u@h"}},
        {profile("u", "h", 22, {}, "$(touch M9)"), {"--", "u@h"}},
        // Options and control characters: no command.
        {profile("-oProxyCommand=touch M10", "h"), {}},
        {profile("u", "-oProxyCommand=touch M11"), {}},
        {profile("x\x15touch M12\r", "127.0.0.1"), {}},
        {profile("u", "h\ntouch M13"), {}},
        {profile("u\x03touch M14", "h"), {}},
        {profile("u", "h", 22, "k\x1b[201~\rtouch M15\r"), {}},
        {profile("u", "h", 22, {}, QString::fromUtf8("\u009b2J")), {}},
        {profile("u", "h\x7f"), {}},
        {profile("u\ttouch M16", "h"), {}},
    };
    for (const auto& c : cases) {
        const std::optional<QString> command = c.p.connectCommand(home);
        const std::string what = (c.p.label + " | " + c.p.user + " | " + c.p.host + " | " + c.p.keyFile).toStdString();
        EXPECT_EQ(c.p.isValid(), !c.argv.isEmpty()) << what;
        if (c.argv.isEmpty()) {
            EXPECT_FALSE(command.has_value()) << what << " -> " << command.value_or(QString()).toStdString();
            continue;
        }
        ASSERT_TRUE(command.has_value()) << what;
        for (const char* file : {"argv", "resolved", "status"}) QFile::remove(out + "/" + file);
        type(*command);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out + "/status"); }, 20000)) << what;
        QStringList argv = QString::fromUtf8(readFile(out + "/argv")).split(QChar(0));
        argv.removeLast();
        EXPECT_EQ(argv, c.argv) << what << " typed as " << command->toStdString();

        // The real client reads the same destination, or refuses it as a whole; it never finds an
        // option in it.
        const QString resolved = "\n" + QString::fromUtf8(readFile(out + "/resolved"));
        EXPECT_FALSE(resolved.contains("\nproxycommand ")) << what;
        if (readFile(out + "/status").trimmed() == "0") {
            EXPECT_TRUE(resolved.contains("\nuser " + c.p.user + "\n")) << what << "\n" << resolved.toStdString();
            EXPECT_TRUE(resolved.contains("\nhostname " + c.p.host.toLower() + "\n"))
                << what << "\n" << resolved.toStdString();
            EXPECT_TRUE(resolved.contains("\nport " + QString::number(c.p.port) + "\n")) << what;
        } else {
            EXPECT_TRUE(resolved.contains("invalid characters") || resolved.contains("Bad port"))
                << what << "\n" << resolved.toStdString();
        }
    }
    sync();
    EXPECT_EQ(QDir(work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList())
        << "a field ran a command of its own";

    // The home folder the key file's "~" stands for is not ours to trust either.
    EXPECT_FALSE(profile("u", "h", 22, "~/k").connectCommand("/home/a\x1b[201~b").has_value());
}
