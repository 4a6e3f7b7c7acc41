#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// One finished run of a child process.
struct ChildRun {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1; // -1 when it did not end normally
    QByteArray out;
    QByteArray err;
    QString launchError;

    bool succeeded() const { return started && !timedOut && exitCode == 0; }
};

// Runs `program` to its end and blocks the calling thread, so it is called off the GUI thread only.
// The child reads an empty standard input and runs in a session of its own without a controlling
// terminal, so that an ssh or credential prompt fails instead of waiting for an answer. When it is
// still running after `timeLimitMs`, it and every process it started are killed.
ChildRun runChild(const QString& program, const QStringList& args, const QString& cwd,
                  const QProcessEnvironment& env, int timeLimitMs);
