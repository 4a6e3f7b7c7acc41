#include "git/ChildProcess.h"

#include <QProcess>
#include <csignal>
#include <unistd.h>

ChildRun runChild(const QString& program, const QStringList& args, const QString& cwd,
                  const QProcessEnvironment& env, int timeLimitMs) {
    ChildRun run;
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    if (!cwd.isEmpty()) process.setWorkingDirectory(cwd);
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    // Its own process group, so that a time-out also ends the helpers it started (a fetch waits
    // in git-remote-http or ssh, not in git itself).
    process.setChildProcessModifier([] { ::setsid(); });
    process.start();
    if (!process.waitForStarted(-1)) {
        run.launchError = process.errorString();
        return run;
    }
    run.started = true;
    const qint64 pid = process.processId();
    if (!process.waitForFinished(timeLimitMs) && process.state() != QProcess::NotRunning) {
        run.timedOut = true;
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
        process.waitForFinished(-1);
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    if (!run.timedOut && process.exitStatus() == QProcess::NormalExit) run.exitCode = process.exitCode();
    return run;
}
