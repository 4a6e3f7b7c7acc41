#include "SettingsTestSupport.h"
#include "settings/PromptThemes.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

using namespace settingstest;

namespace {

// The scripts as the build installs them beside the executable.
QString installedShellDir() {
    return qEnvironmentVariable("DUNMAR_BUILD_DIR") + QStringLiteral("/Dunmar/shell");
}

struct ShellRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ShellRun runShell(const QString& shell, const QString& script, const QString& workingDirectory,
                  const QMap<QString, QString>& extraEnvironment = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TERM", "xterm-256color");
    environment.insert("LC_ALL", "C.UTF-8");
    environment.remove("PK_PROMPT_THEME");
    for (auto it = extraEnvironment.begin(); it != extraEnvironment.end(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    // zsh without the user's startup files, bash without them too: only the theme counts.
    const QStringList arguments =
        shell == "zsh" ? QStringList{"-f", "-c", script} : QStringList{"--norc", "-c", script};
    process.start(shell, arguments);
    ShellRun run;
    if (!process.waitForFinished(20000)) return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A repository on branch "main" to draw the prompts in.
QString makeRepository(const QTemporaryDir& dir) {
    const QString repo = dir.path() + "/dev";
    QDir().mkpath(repo);
    QProcess git;
    git.setWorkingDirectory(repo);
    git.start("git", {"init", "-q", "-b", "main", "."});
    git.waitForFinished(20000);
    return repo;
}

// Sources the loader for `theme` and prints the prompt as the shell would draw it.
QString expandedPromptScript(const QString& shell, const QString& loader) {
    const QString source = "source " + settings::shellSingleQuote(loader) + "; ";
    if (shell == "zsh")
        return source + "print -rn -- \"PROMPT<<$PROMPT>>\"; print -rnP -- \"DRAWN<<$PROMPT>>\"";
    return source + "printf 'PROMPT<<%s>>' \"$PS1\"; printf 'DRAWN<<%s>>' \"${PS1@P}\"";
}

QString between(const QString& text, const QString& open) {
    const qsizetype start = text.indexOf(open);
    if (start < 0) return QString();
    const qsizetype from = start + open.size();
    return text.mid(from, text.indexOf(">>", from) - from);
}

} // namespace

TEST(PromptThemes, NamesAndIndices) {
    EXPECT_EQ(settings::promptThemeNames(),
              (QStringList{"default", "cyberpunk", "minimal", "powerline", "retro", "lambda", "starship"}));
    EXPECT_EQ(settings::promptThemeName(4), "retro");
    EXPECT_EQ(settings::promptThemeName(9), "default");
    EXPECT_EQ(settings::promptThemeName(-1), "default");
    EXPECT_EQ(settings::promptThemeIndex("starship"), 6);
    EXPECT_EQ(settings::promptThemeIndex("Starship"), 0);
}

TEST(PromptThemes, CommandQuotesEveryValuePosixStyle) {
    EXPECT_EQ(
        settings::promptThemeCommand("retro", "/opt/dunmar/shell"),
        " export PK_PROMPT_THEME='retro'; source '/opt/dunmar/shell/themes/pk-theme-loader.sh'; clear\n");
    EXPECT_EQ(settings::shellSingleQuote("it's $HOME"), R"('it'\''s $HOME')");
    EXPECT_EQ(settings::shellSingleQuote(""), "''");
    EXPECT_EQ(settings::promptThemeCommand("x';rm -rf ~;'", "/d"),
              R"( export PK_PROMPT_THEME='x'\'';rm -rf ~;'\'''; source '/d/themes/pk-theme-loader.sh'; clear)"
              "\n");
}

TEST(PromptThemes, CommandRunsInARealShellFromAFolderWithQuotesInItsName) {
    // The scripts copied under a folder name that would break naive quoting.
    QTemporaryDir dir;
    const QString shellDir = dir.path() + "/it's $(touch pwned) dir/shell";
    QDirIterator files(installedShellDir(), QDir::Files, QDirIterator::Subdirectories);
    int copied = 0;
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = shellDir + source.mid(installedShellDir().size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        ASSERT_TRUE(QFile::copy(source, target));
        ++copied;
    }
    ASSERT_EQ(copied, 8) << "the build installs the loader and seven themes beside the executable";

    for (const QString shell : {"bash", "zsh"}) {
        SCOPED_TRACE(shell.toStdString());
        const QString line = settings::promptThemeCommand("lambda", shellDir);
        const QString print =
            shell == "zsh" ? "print -rn -- \"PROMPT<<$PROMPT>>\"" : "printf 'PROMPT<<%s>>' \"$PS1\"";
        const ShellRun run = runShell(shell, line + print + "\n", dir.path());
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(between(run.out, "PROMPT<<").contains("λ")) << run.out.toStdString();
        EXPECT_FALSE(QFile::exists(dir.path() + "/pwned"));
    }
}

TEST(PromptThemes, EveryThemeSetsAPromptInBashAndZsh) {
    const QString loader = installedShellDir() + "/themes/pk-theme-loader.sh";
    ASSERT_TRUE(QFile::exists(loader));
    QTemporaryDir dir;
    const QString repo = makeRepository(dir);
    const QStringList showBranch{"cyberpunk", "powerline", "retro", "lambda", "starship"};

    for (const QString shell : {"bash", "zsh"}) {
        QMap<QString, QString> prompts;
        for (const QString& theme : settings::promptThemeNames()) {
            SCOPED_TRACE((shell + " " + theme).toStdString());
            const ShellRun run =
                runShell(shell, expandedPromptScript(shell, loader), repo, {{"PK_PROMPT_THEME", theme}});
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.err, "");
            const QString prompt = between(run.out, "PROMPT<<");
            const QString drawn = between(run.out, "DRAWN<<");
            EXPECT_FALSE(prompt.trimmed().isEmpty());
            EXPECT_FALSE(drawn.trimmed().isEmpty());
            EXPECT_FALSE(drawn.contains("__pk_git_segment")) << "the branch helper runs when drawn";
            EXPECT_EQ(drawn.contains("main"), showBranch.contains(theme)) << drawn.toStdString();
            prompts.insert(theme, prompt);
        }
        EXPECT_EQ(QSet<QString>(prompts.begin(), prompts.end()).size(), 7) << "seven different prompts";

        // Unknown or hostile names fall back to the default theme instead of picking a file.
        for (const QString name : {"", "fancy", "../../../etc/passwd", "default; echo hi"}) {
            SCOPED_TRACE((shell + " [" + name + "]").toStdString());
            const ShellRun run =
                runShell(shell, expandedPromptScript(shell, loader), repo, {{"PK_PROMPT_THEME", name}});
            EXPECT_EQ(run.err, "");
            EXPECT_EQ(between(run.out, "PROMPT<<"), prompts.value("default"));
        }

        // Outside a repository the branch part disappears quietly.
        const ShellRun plain =
            runShell(shell, expandedPromptScript(shell, loader), dir.path(),
                     {{"PK_PROMPT_THEME", "retro"}, {"GIT_CEILING_DIRECTORIES", dir.path()}});
        EXPECT_EQ(plain.err, "");
        EXPECT_FALSE(between(plain.out, "DRAWN<<").contains("("));
    }
}
