#include "git/GitRunner.h"

#include "git/ChildProcess.h"
#include "platform/GitPath.h"

#include <QStringDecoder>

namespace {

std::optional<QString> strictUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

QString timedOutText(int timeLimitMs) {
    return QStringLiteral("git did not finish within %1 s and was stopped").arg((timeLimitMs + 999) / 1000);
}

} // namespace

QProcessEnvironment gitEnvironment(GitLocks locks) {
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment env;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "SSH_AUTH_SOCK", "PATH"}) {
        const QString key = QString::fromLatin1(name);
        if (own.contains(key)) env.insert(key, own.value(key));
    }
    if (!env.contains(QStringLiteral("PATH")))
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/usr/local/bin:/opt/homebrew/bin"));
    env.insert(QStringLiteral("GIT_TERMINAL_PROMPT"), QStringLiteral("0"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    if (locks == GitLocks::avoided) env.insert(QStringLiteral("GIT_OPTIONAL_LOCKS"), QStringLiteral("0"));
    return env;
}

std::optional<QString> runGit(const QStringList& args, const QString& cwd, int timeLimitMs, GitLocks locks) {
    if (cwd.isEmpty()) return std::nullopt; // never the program's own folder
    const ChildRun run = runChild(gitExecutablePath(), args, cwd, gitEnvironment(locks), timeLimitMs);
    if (!run.succeeded()) return std::nullopt;
    std::optional<QString> text = strictUtf8(run.out);
    if (!text) return std::nullopt;
    while (text->endsWith(QLatin1Char('\n')) || text->endsWith(QLatin1Char('\r'))) text->chop(1);
    return text;
}

GitActionResult runGitAction(const QStringList& args, const QString& cwd, int timeLimitMs) {
    if (cwd.isEmpty()) return {false, QStringLiteral("No folder to run git in")};
    const ChildRun run =
        runChild(gitExecutablePath(), args, cwd, gitEnvironment(GitLocks::allowed), timeLimitMs);
    if (!run.started) return {false, run.launchError};
    if (run.timedOut) return {false, timedOutText(timeLimitMs)};
    const QString out = strictUtf8(run.out).value_or(QString()).trimmed();
    const QString err = strictUtf8(run.err).value_or(QString()).trimmed();
    return run.exitCode == 0 ? GitActionResult{true, out} : GitActionResult{false, err};
}

QStringList conflictedFiles(const QString& cwd, int timeLimitMs) {
    if (cwd.isEmpty()) return {};
    const ChildRun run = runChild(gitExecutablePath(), {"diff", "--name-only", "-z", "--diff-filter=U"}, cwd,
                                  gitEnvironment(GitLocks::allowed), timeLimitMs);
    if (!run.succeeded()) return {};
    QStringList paths;
    for (const QByteArray& piece : run.out.split('\0'))
        if (!piece.isEmpty()) paths << QString::fromUtf8(piece);
    return paths;
}
