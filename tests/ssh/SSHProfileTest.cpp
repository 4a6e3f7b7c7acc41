// The profile's command line, its quoting as a real shell and the real ssh client read it, the
// connection text and the stored list.
#include "ssh/SSHProfile.h"

#include "platform/Defaults.h"
#include "ssh/SSHConnectionText.h"
#include "ssh/SSHProfileStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kHome = QStringLiteral("/Users/ops");

SSHProfile profile(const QString& user, const QString& host, qint64 port = 22, const QString& key = {}) {
    return SSHProfile::make(QString(), user, host, port, key);
}

// Runs the command line through sh with a fake `ssh` first on PATH that prints each argument it
// got on a line of its own, NUL-separated so that line breaks inside an argument survive.
QStringList argvThroughShell(const QString& commandLine, const QString& fakeBin) {
    QProcess sh;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", fakeBin + ":" + env.value("PATH"));
    sh.setProcessEnvironment(env);
    sh.start("/bin/sh", {"-c", commandLine});
    EXPECT_TRUE(sh.waitForFinished(20000));
    QStringList args = QString::fromUtf8(sh.readAllStandardOutput()).split(QChar(0));
    if (!args.isEmpty() && args.last().isEmpty()) args.removeLast();
    return args;
}

class FakeSsh : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("bin"));
        QFile script(dir.filePath("bin/ssh"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The real client resolving the same arguments, with no configuration and no connection.
        QFile resolve(dir.filePath("resolve/ssh"));
        QDir().mkpath(dir.filePath("resolve"));
        ASSERT_TRUE(resolve.open(QIODevice::WriteOnly));
        resolve.write("#!/bin/sh\nexec /usr/bin/ssh -G -F /dev/null \"$@\"\n");
        resolve.close();
        resolve.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QTemporaryDir dir;
};

} // namespace

TEST(SSHProfile, QuotesOnlyWhatTheShellWouldRead) {
    const struct {
        QString in, out;
    } cases[] = {
        {"deploy", "deploy"},
        {"", ""},
        {"a.b-c_d+e:f@g/h", "a.b-c_d+e:f@g/h"},
        {QString::fromUtf8("café"), QString::fromUtf8("café")},
        {"my user", "'my user'"},
        {"o'neil", "'o'\\''neil'"},
        {"$HOME", "'$HOME'"},
        {"*", "'*'"},
        {"a;b", "'a;b'"},
        {"tab\there", "'tab\there'"},
        {"~root", "'~root'"},
    };
    for (const auto& c : cases) EXPECT_EQ(shellQuote(c.in), c.out) << c.in.toStdString();
}

TEST(SSHProfile, CommandLinePutsPortAndKeyBeforeTheEndOfOptionsAndTheDestination) {
    const struct {
        SSHProfile p;
        QString command;
    } cases[] = {
        {profile("deploy", "build-box"), "ssh -- deploy@build-box"},
        {profile("my user", "build-box", 2222, "~/.ssh/id_ed25519"),
         "ssh -p 2222 -i /Users/ops/.ssh/id_ed25519 -- 'my user'@build-box"},
        {profile("root", "build-box", 22, "~/keys/work key"),
         "ssh -i '/Users/ops/keys/work key' -- root@build-box"},
        {profile("", "host"), "ssh -- @host"},
        {profile("u", "h", -1), "ssh -p -1 -- u@h"},
        {profile("u", "h", 22, "/keys/a~b"), "ssh -i /keys/a/Users/opsb -- u@h"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.p.connectCommand(kHome), c.command) << c.command.toStdString();
    EXPECT_EQ(profile("u", "h", 22, "~/k").connectCommand("/home/ops/"), "ssh -i /home/ops/k -- u@h")
        << "the home folder is written without its trailing slash";
}

TEST(SSHProfile, ControlCharactersAndOptionLikeUsersOrHostsMakeAProfileInvalid) {
    EXPECT_TRUE(profile("deploy", "build-box", 22, "~/k").isValid());
    EXPECT_TRUE(profile("a-b", "h-", 22, "-k").isValid()) << "a dash inside, or a key file's, is no option";
    for (const QString& bad : {QString("\x01"), QString("\t"), QString("\n"), QString("\r"),
                               QString("\x1b"), QString("\x7f"), QString(QChar(0x80)), QString(QChar(0x9f))}) {
        const std::string what = bad.toUtf8().toHex().toStdString();
        EXPECT_TRUE(hasControlCharacters("a" + bad + "b")) << what;
        EXPECT_FALSE(profile("u" + bad, "h").isValid()) << what;
        EXPECT_FALSE(profile("u", "h" + bad).isValid()) << what;
        EXPECT_FALSE(profile("u", "h", 22, bad).isValid()) << what;
        EXPECT_FALSE(SSHProfile::make(bad, "u", "h").isValid()) << what;
    }
    EXPECT_FALSE(hasControlCharacters(QString::fromUtf8("café \u00a0 \u202e 😀")));
    EXPECT_FALSE(profile("-l", "h").isValid());
    EXPECT_FALSE(profile("u", "-oProxyCommand=x").isValid());
}

TEST_F(FakeSsh, TheShellHandsSshExactlyTheProfilesArguments) {
    const QString bin = dir.filePath("bin");
    const struct {
        SSHProfile p;
        QStringList argv;
    } cases[] = {
        {profile("o'neil", "build-box"), {"--", "o'neil@build-box"}},
        {profile("my user", "host; touch pwned", 2222), {"-p", "2222", "--", "my user@host; touch pwned"}},
        {profile("$(id)", "`id`", -1, "~/keys/$x key"),
         {"-p", "-1", "-i", kHome + "/keys/$x key", "--", "$(id)@`id`"}},
        {profile("a b", "h*"), {"--", "a b@h*"}},
    };
    for (const auto& c : cases) {
        const QString command = c.p.connectCommand(kHome).value();
        EXPECT_EQ(argvThroughShell(command, bin), c.argv) << command.toStdString();
    }
    EXPECT_FALSE(QFile::exists("pwned"));
}

TEST_F(FakeSsh, TheRealClientResolvesUserHostPortAndIdentity) {
    const QString bin = dir.filePath("resolve");
    // A home folder of the test's own, with the key files in it: the client lists only identity
    // files that exist.
    const QString home = dir.filePath("home");
    for (const char* key : {"/.ssh/id_ed25519", "/keys/work key"}) {
        QDir().mkpath(QFileInfo(home + key).absolutePath());
        QFile f(home + key);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", home.toUtf8());
    const struct {
        SSHProfile p;
        QString user, host, port, identity;
    } cases[] = {
        {profile("deploy", "build-box"), "deploy", "build-box", "22", ""},
        // (The client itself refuses user names with quotes: those are checked through the shell above.)
        {profile("a*b", "10.0.0.7", 2200, "~/.ssh/id_ed25519"), "a*b", "10.0.0.7", "2200",
         home + "/.ssh/id_ed25519"},
        {profile("my user", "build-box", 22, "~/keys/work key"), "my user", "build-box", "22",
         home + "/keys/work key"},
        {profile(QString::fromUtf8("café"), "build-box"), QString::fromUtf8("café"), "build-box", "22", ""},
    };
    for (const auto& c : cases) {
        const QString command = c.p.connectCommand().value();
        const std::string what = command.toStdString();
        EXPECT_FALSE(command.contains('~')) << what;
        QProcess sh;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", bin + ":" + env.value("PATH"));
        sh.setProcessEnvironment(env);
        sh.start("/bin/sh", {"-c", command});
        ASSERT_TRUE(sh.waitForFinished(20000));
        ASSERT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().toStdString();
        QMap<QString, QStringList> resolved;
        for (const QString& line : QString::fromUtf8(sh.readAllStandardOutput()).split('\n')) {
            const qsizetype space = line.indexOf(' ');
            if (space > 0) resolved[line.left(space)] << line.mid(space + 1);
        }
        EXPECT_EQ(resolved.value("user").value(0), c.user) << what;
        EXPECT_EQ(resolved.value("hostname").value(0), c.host) << what;
        EXPECT_EQ(resolved.value("port").value(0), c.port) << what;
        if (!c.identity.isEmpty()) {
            EXPECT_EQ(resolved.value("identityfile").value(0), c.identity) << what;
        }
    }
    qputenv("HOME", realHome);
}

TEST(SSHConnectionText, ParsesUserHostAndPort) {
    const struct {
        QString text;
        std::optional<SSHConnectionTarget> target;
    } cases[] = {
        {"host", SSHConnectionTarget{"root", "host", 22}},
        {"ops@host:2200", SSHConnectionTarget{"ops", "host", 2200}},
        {"  ops@host:2200\t", SSHConnectionTarget{"ops", "host", 2200}},
        {"ops@host:", SSHConnectionTarget{"ops", "host", 22}},
        {"ops@host:abc", SSHConnectionTarget{"ops", "host", 22}},
        {"ops@host:-5", SSHConnectionTarget{"ops", "host", -5}},
        {"ops@host:99999999999999999999", SSHConnectionTarget{"ops", "host", 22}},
        {":2200", SSHConnectionTarget{"root", "2200", 22}},
        {"a@b@c", SSHConnectionTarget{"a", "b@c", 22}},
        {"a@b:1:2", SSHConnectionTarget{"a", "b", 22}},
        {"@@ops@host", SSHConnectionTarget{"ops", "host", 22}},
        {"@host", std::nullopt},
        {"ops@", std::nullopt},
        {"@", std::nullopt},
        {":", std::nullopt},
        {"", std::nullopt},
        {" \t ", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parseConnectionText(c.text), c.target) << c.text.toStdString();
    EXPECT_EQ(profile("deploy", "build-box", 2200).connectionText(), "deploy@build-box:2200");
    EXPECT_EQ(profile("deploy", "build-box").connectionText(), "deploy@build-box");
}

TEST(SSHProfileStore, KeepsTheListAndDropsItWhenOneRecordIsBroken) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    const QList<SSHProfile> list{SSHProfile::make("Prod", "ops", "prod", 2222, "~/.ssh/k"),
                                 SSHProfile::make("", "o'neil", QString::fromUtf8("café"), -1)};
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
                    .match(list[0].id)
                    .hasMatch())
        << list[0].id.toStdString();
    EXPECT_NE(list[0].id, list[1].id);
    sshprofiles::save(defaults, list);
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(sshprofiles::load(Defaults(dir.filePath("defaults.json"))), list) << "through the file";

    const struct {
        const char* what;
        QString stored;
    } broken[] = {
        {"a record without id",
         R"([{"id":"A","label":"","user":"u","host":"h","port":22,"keyFile":""},
             {"label":"","user":"u","host":"h","port":22,"keyFile":""}])"},
        {"a port that is text", R"([{"id":"A","label":"","user":"u","host":"h","port":"22","keyFile":""}])"},
        {"a port with a fraction",
         R"([{"id":"A","label":"","user":"u","host":"h","port":22.5,"keyFile":""}])"},
        {"not an array", R"({"id":"A"})"},
        {"not JSON", "nope"},
    };
    for (const auto& b : broken) {
        defaults.setValue(sshprofiles::kSSHProfilesKey, b.stored);
        EXPECT_TRUE(sshprofiles::load(defaults).isEmpty()) << b.what;
        EXPECT_EQ(defaults.string(sshprofiles::kSSHProfilesKey), b.stored) << "left as it is: " << b.what;
    }
    defaults.setValue(sshprofiles::kSSHProfilesKey,
                      R"([{"id":"A","label":"L","user":"u","host":"h","port":22,"keyFile":"","extra":1}])");
    ASSERT_EQ(sshprofiles::load(defaults).size(), 1) << "other keys are ignored";
}
