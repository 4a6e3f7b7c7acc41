// Starting a shell: terminal attributes, environment, argument vector, directory and history file,
// checked from inside real shells.
#include "ShellHarness.h"
#include "terminalview/PtyLaunch.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <csignal>
#include <unistd.h>

namespace {
struct ShellCase {
    const char* path;
    const char* loginArgument;
};

class ShellStartTest : public PtyTest, public testing::WithParamInterface<ShellCase> {};

QMap<QByteArray, QByteArray> parseEnvironment(const QByteArray& text) {
    QMap<QByteArray, QByteArray> variables;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0) variables.insert(line.left(equals), line.mid(equals + 1));
    }
    return variables;
}

QList<QByteArray> words(QByteArray text) {
    text.replace(';', ' ');
    return text.simplified().split(' ');
}
} // namespace

TEST_P(ShellStartTest, EchoesAndStartsWithTheTerminalAttributesEnvironmentAndLoginArguments) {
    const ShellCase shell = GetParam();
    pane.syntaxHighlighting = false; // with the switch off the shell gets no highlighting variable
    ShellHarness harness(settings(), "TAB-1");
    ASSERT_TRUE(harness.start(shell.path));
    EXPECT_EQ(harness.session.currentShell(), shell.path);

    EXPECT_EQ(harness.run("echo hi"), "hi\n");

    // The attributes as the shell's commands see them.
    const QList<QByteArray> stty = words(harness.run("stty -a"));
    for (const char* flag :
         {"icrnl",  "ixon",   "opost",   "onlcr",   "cs8",     "cread",   "hupcl",    "icanon",
          "isig",   "iexten", "echo",    "echoe",   "echok",   "-echoke", "-echoctl", "-inlcr",
          "-igncr", "-ixoff", "-parenb", "-echonl", "-noflsh", "-tostop"})
        EXPECT_TRUE(stty.contains(flag)) << flag;
    const QByteArray sttyText = harness.run("stty -a");
    EXPECT_TRUE(sttyText.contains("speed 38400 baud")) << sttyText.constData();
    for (const char* character :
         {"intr = ^C", "quit = ^\\", "erase = ^?", "kill = ^U", "eof = ^D", "eol = <undef>", "eol2 = <undef>",
          "start = ^Q", "stop = ^S", "susp = ^Z", "rprnt = <undef>", "werase = <undef>", "lnext = <undef>",
          "discard = <undef>", "min = 1", "time = 0"})
        EXPECT_TRUE(sttyText.contains(character)) << character << "\n" << sttyText.constData();

    const auto env = parseEnvironment(harness.run("env"));
    EXPECT_EQ(env.value("TERM"), "xterm-256color");
    EXPECT_EQ(env.value("COLORTERM"), "truecolor");
    EXPECT_EQ(env.value("CLICOLOR"), "1");
    EXPECT_EQ(env.value("CLICOLOR_FORCE"), "1");
    EXPECT_FALSE(env.contains("PK_SYNTAX_HL"));
    EXPECT_EQ(env.value("LANG"), shellLocaleName());
    EXPECT_EQ(env.value("LC_ALL"), shellLocaleName());
    EXPECT_EQ(env.value("SHELL_SESSIONS_DISABLE"), "1");
    EXPECT_EQ(env.value("HISTFILE"), QFile::encodeName(home.path() + "/.local/state/dunmar/history/TAB-1"));
    EXPECT_EQ(env.value("PK_PROMPT_THEME"), "default");
    EXPECT_TRUE(QFileInfo(home.path() + "/.local/state/dunmar/history").isDir());

    EXPECT_EQ(harness.run("ps -o args= -p $$").trimmed(), QByteArray(shell.path) + ' ' + shell.loginArgument);
    // No working directory given: the home directory.
    EXPECT_EQ(harness.run("pwd -P").trimmed(), QFile::encodeName(QDir(home.path()).canonicalPath()));
}

INSTANTIATE_TEST_SUITE_P(Shells, ShellStartTest,
                         testing::Values(ShellCase{"/bin/bash", "--login"}, ShellCase{"/bin/zsh", "--login"},
                                         ShellCase{"/bin/sh", "-l"},
                                         // dash knows no --login; as /bin/sh or under its own name it gets -l
                                         ShellCase{"/usr/bin/dash", "-l"},
                                         ShellCase{"/usr/bin/bash", "--login"}),
                         [](const testing::TestParamInfo<ShellCase>& info) {
                             return QFileInfo(info.param.path).fileName().toStdString() +
                                    (QByteArray(info.param.path).startsWith("/usr") ? "_usr" : "");
                         });

TEST_F(PtyTest, SettingsDecideTheSyntaxAndPromptThemeVariables) {
    qunsetenv("PK_SYNTAX_HL");
    struct Case {
        bool syntaxHighlighting;
        QString promptTheme;
        QByteArray expectTheme;
    };
    const Case cases[] = {
        {true, QString("neon"), "neon"},
        {false, QString("default"), "default"},
        {false, QString(""), ""},
    };
    for (const Case& c : cases) {
        pane.syntaxHighlighting = c.syntaxHighlighting;
        pane.promptTheme = c.promptTheme;
        ShellHarness harness(settings());
        ASSERT_TRUE(harness.start("/bin/sh"));
        const auto env = parseEnvironment(harness.run("env"));
        EXPECT_EQ(env.contains("PK_SYNTAX_HL"), c.syntaxHighlighting);
        if (c.syntaxHighlighting) {
            EXPECT_EQ(env.value("PK_SYNTAX_HL"), "1");
        }
        EXPECT_TRUE(env.contains("PK_PROMPT_THEME"));
        EXPECT_EQ(env.value("PK_PROMPT_THEME"), c.expectTheme);
    }
}

TEST_F(PtyTest, WorkingDirectoryIsTheGivenOneElseHome) {
    QTemporaryDir elsewhere;
    const QByteArray homeCanonical = QFile::encodeName(QDir(home.path()).canonicalPath());
    const QByteArray elsewhereCanonical = QFile::encodeName(QDir(elsewhere.path()).canonicalPath());
    const struct {
        QString cwd;
        QByteArray expected;
    } cases[] = {{elsewhere.path(), elsewhereCanonical}, {QString(""), homeCanonical}};
    for (const auto& c : cases) {
        ShellHarness harness(settings());
        ASSERT_TRUE(harness.start("/bin/sh", c.cwd));
        EXPECT_EQ(harness.run("pwd -P").trimmed(), c.expected);
    }
}

TEST_F(PtyTest, AFreshSessionNamesItsHistoryFileWithANewIdentifier) {
    PtySession a(QString(), settings());
    PtySession b(QString(), settings());
    EXPECT_FALSE(a.tabId().isEmpty());
    EXPECT_NE(a.tabId(), b.tabId());
    EXPECT_EQ(a.historyFilePath(), home.path() + "/.local/state/dunmar/history/" + a.tabId());
}

// en_US.UTF-8 is often not installed on Linux; naming it anyway makes every program warn that it
// cannot change the locale and fall back to ASCII.
TEST_F(PtyTest, TheShellRunsInAnInstalledUtf8Locale) {
    EXPECT_EQ(shellLocaleName(), isLocaleInstalled("en_US.UTF-8") ? "en_US.UTF-8" : "C.UTF-8");
    EXPECT_TRUE(isLocaleInstalled(shellLocaleName().constData()));
    EXPECT_FALSE(isLocaleInstalled("xx_NOWHERE.UTF-8"));

    ShellHarness harness(settings());
    ASSERT_TRUE(harness.start("/bin/bash"));
    // A login bash that cannot set its locale says so on standard error.
    EXPECT_EQ(harness.run("bash -c 'echo fine' 2>&1"), "fine\n");
    EXPECT_EQ(harness.run("locale charmap 2>&1"), "UTF-8\n");
    EXPECT_EQ(harness.run("printf '\\u00e9' | wc -m"), "1\n");
}

TEST_F(PtyTest, TheShellInheritsNoStrayDescriptorsAndNoIgnoredSignals) {
    // A descriptor opened without close-on-exec, as a library might, and signals a parent ignored.
    int leak[2];
    ASSERT_EQ(::pipe(leak), 0);
    struct sigaction ignore {
    }, oldXfsz{}, oldVtalrm{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &oldXfsz);
    ::sigaction(SIGVTALRM, &ignore, &oldVtalrm);
    ShellHarness harness(settings());
    const bool started = harness.start("/bin/bash");
    ::sigaction(SIGXFSZ, &oldXfsz, nullptr);
    ::sigaction(SIGVTALRM, &oldVtalrm, nullptr);
    ASSERT_TRUE(started);

    const QByteArray fds = harness.run(QStringLiteral("ls /proc/$$/fd | tr '\\n' ' '"));
    const QList<QByteArray> open = fds.simplified().split(' ');
    EXPECT_FALSE(open.contains(QByteArray::number(leak[0])) || open.contains(QByteArray::number(leak[1])))
        << "open in the shell: " << fds.constData();
    // Bits 24 and 25 of the ignored-signal mask are SIGXFSZ and SIGVTALRM.
    EXPECT_EQ(harness.run(QStringLiteral(
                  "m=$(awk '/^SigIgn/{print $2}' /proc/self/status); echo $(( (0x$m >> 24) & 3 ))")),
              "0\n");
    ::close(leak[0]);
    ::close(leak[1]);
}
