#include "git/ChildProcess.h"

#include "platform/ProcessGroup.h"

#include <QCoreApplication>
#include <QMutex>
#include <QProcess>
#include <QSet>
#include <mutex>

namespace {

// The process groups of the children running now. When the program quits they are ended: the
// thread pool they block is waited for before the program can leave, and a fetch may hang on its
// remote for its whole time limit.
struct RunningChildren {
    QMutex mutex;
    QSet<qint64> groups;
};

RunningChildren& running() {
    static RunningChildren r;
    return r;
}

void endRunningChildrenAtQuit() {
    static std::once_flag once;
    std::call_once(once, [] {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return;
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] {
            QMutexLocker lock(&running().mutex);
            for (const qint64 group : std::as_const(running().groups)) processgroup::killGroup(group);
        });
    });
}

} // namespace

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
    processgroup::startInOwnGroup(process);
    process.start();
    if (!process.waitForStarted(-1)) {
        run.launchError = process.errorString();
        return run;
    }
    run.started = true;
    const qint64 pid = process.processId();
    endRunningChildrenAtQuit();
    {
        QMutexLocker lock(&running().mutex);
        running().groups.insert(pid);
    }
    if (!process.waitForFinished(timeLimitMs) && process.state() != QProcess::NotRunning) {
        run.timedOut = true;
        processgroup::killGroup(pid);
        process.waitForFinished(-1);
    }
    {
        QMutexLocker lock(&running().mutex);
        running().groups.remove(pid);
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    if (!run.timedOut && process.exitStatus() == QProcess::NormalExit) run.exitCode = process.exitCode();
    return run;
}
