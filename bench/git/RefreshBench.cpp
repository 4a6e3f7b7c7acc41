// One refresh of a repository with 5,000 commits and 10,000 changed files: how long the refresh
// takes, how long its git commands take alone, and the longest stretch the GUI thread is held
// while a refresh runs and is applied.
#include "git/ChildProcess.h"
#include "git/GitPanelModel.h"
#include "git/GitRunner.h"
#include "git/RepositorySnapshot.h"
#include "platform/GitPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kFiles = 10000;
constexpr int kCommits = 5000;

// The history in one fast-import stream: the first commit adds every file, the others change one.
QByteArray history() {
    QByteArray s;
    s += "blob\nmark :1\ndata 6\nfirst\n";
    s += "commit refs/heads/main\nmark :2\ncommitter B <b@x> 1700000000 +0000\ndata 5\nfirst\n";
    for (int i = 0; i < kFiles; ++i) s += "M 100644 :1 files/f" + QByteArray::number(i) + ".txt\n";
    for (int c = 1; c < kCommits; ++c) {
        const QByteArray n = QByteArray::number(c);
        s += "commit refs/heads/main\ncommitter B <b@x> " + QByteArray::number(1700000000 + c) +
             " +0000\ndata " + QByteArray::number(n.size()) + "\n" + n + "\n";
        s += "M 100644 inline log.txt\ndata " + QByteArray::number(n.size()) + "\n" + n + "\n";
    }
    return s;
}

bool git(const QString& dir, const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(gitExecutablePath(), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(-1);
    return p.exitCode() == 0;
}

qint64 threadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString repo = dir.path();
    std::printf("building a repository of %d commits and %d files...\n", kCommits, kFiles);
    if (!git(repo, {"init", "-q", "-b", "main"}) || !git(repo, {"fast-import", "--quiet"}, history()) ||
        !git(repo, {"checkout", "-q", "-f", "main"})) {
        std::fprintf(stderr, "could not build the repository\n");
        return 1;
    }
    for (int i = 0; i < kFiles; ++i) {
        QFile f(QStringLiteral("%1/files/f%2.txt").arg(repo).arg(i));
        if (f.open(QIODevice::WriteOnly)) f.write("changed\n");
    }
    git(repo, {"status", "--porcelain"}); // settle the index's stat cache once

    const GitTimeLimits limits;
    const QStringList commands[] = {
        {"rev-parse", "--show-toplevel"},   {"config", "-z", "--get-regexp", "^(filter|remote|branch)\\."},
        {"branch", "--show-current"},       {"remote", "get-url", "origin"},
        {"status", "--porcelain=v1", "-z"}, {"log", "-1", "--pretty=format:%h %s"}};
    std::vector<double> gitMs, refreshMs;
    size_t entries = 0;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer t;
        t.start();
        for (const QStringList& args : commands)
            runChild(gitExecutablePath(), args, repo, userGitEnvironment(), limits.localMs);
        gitMs.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        entries = takeRepositorySnapshot(repo, limits).entries.size();
        refreshMs.push_back(t.nsecsElapsed() / 1e6);
    }

    // The GUI thread during refreshes: a 1 ms timer notes the most processor time the thread spent
    // between two of its ticks (processor time, so that a loaded machine's scheduling is not counted).
    GitPanelModel model;
    // The client's one-time start (the keyring's library and bus) is not part of a refresh.
    while (!model.github().initialTokenResolved())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    qint64 longestGapNs = 0;
    qint64 lastTick = threadCpuNs();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = threadCpuNs();
        longestGapNs = std::max(longestGapNs, now - lastTick);
        lastTick = now;
    });
    tick.start(1);
    int applied = 0;
    model.onUpdated = [&](const QString&) {
        if (++applied < 5)
            QTimer::singleShot(0, &model, &GitPanelModel::refresh);
        else
            app.quit();
    };
    model.startRefreshing(repo);
    lastTick = threadCpuNs();
    app.exec();

    const double g = median(gitMs), r = median(refreshMs);
    std::printf("entries: %zu\n", entries);
    std::printf("git commands alone: %.1f ms (median of 7)\n", g);
    std::printf("refresh snapshot:   %.1f ms (median of 7), %+.1f %% over git\n", r, (r / g - 1) * 100);
    std::printf("longest GUI-thread busy stretch during 5 refreshes: %.2f ms\n", longestGapNs / 1e6);
    return 0;
}
