#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace gittest {

// A home folder of the test's own (identity, configuration), set as HOME and XDG_CONFIG_HOME of
// this process, and so of every git the program starts; plus a scratch folder for repositories.
class Sandbox {
public:
    Sandbox();
    QString path(const QString& name) const { return root_.filePath(name); }
    QString home() const { return root_.filePath(QStringLiteral("home")); }

private:
    QTemporaryDir root_;
};

// Runs git in `dir` for the test's own setup; fails the test when git does.
QString git(const QString& dir, const QStringList& args);
// Same, without failing: the exit code.
int gitStatus(const QString& dir, const QStringList& args);

// A work tree with one commit ("first") on "main", optionally cloned from a new bare repository.
QString makeRepo(const Sandbox& box, const QString& name);
// A bare repository and a clone of it with one pushed commit; returns the clone.
QString makeClonedRepo(const Sandbox& box, const QString& name, QString* bare = nullptr);
// Another clone of `bare`, as a second person's; returns it.
QString cloneOf(const Sandbox& box, const QString& bare, const QString& name);
// Commits a file in `repo` and pushes it to its origin.
void pushFile(const QString& repo, const QString& name, const QByteArray& content, const QString& message);

void writeFile(const QString& path, const QByteArray& content);
QByteArray readFile(const QString& path);
// Writes, stages and commits a file.
void commitFile(const QString& repo, const QString& name, const QByteArray& content, const QString& message);

// Waits for `condition`, processing events, for at most `timeoutMs`.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

} // namespace gittest
