#include "GitTestSupport.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <memory>

namespace gittest {

Sandbox::Sandbox() {
    QDir().mkpath(home());
    QDir().mkpath(home() + QStringLiteral("/.config"));
    qputenv("HOME", QFile::encodeName(home()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home() + QStringLiteral("/.config")));
    writeFile(home() + QStringLiteral("/.gitconfig"),
              "[user]\n\tname = Test Person\n\temail = test@example.org\n[init]\n\tdefaultBranch = main\n");
}

namespace {
QProcess* runIn(const QString& dir, const QStringList& args) {
    auto* p = new QProcess;
    p->setWorkingDirectory(dir);
    p->start(QStringLiteral("git"), args);
    p->waitForFinished(60000);
    return p;
}
} // namespace

QString git(const QString& dir, const QStringList& args) {
    std::unique_ptr<QProcess> p(runIn(dir, args));
    EXPECT_EQ(p->exitCode(), 0) << "git " << args.join(' ').toStdString() << ": "
                                << p->readAllStandardError().toStdString();
    return QString::fromUtf8(p->readAllStandardOutput()).trimmed();
}

int gitStatus(const QString& dir, const QStringList& args) {
    std::unique_ptr<QProcess> p(runIn(dir, args));
    return p->exitCode();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(content);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void commitFile(const QString& repo, const QString& name, const QByteArray& content, const QString& message) {
    writeFile(repo + QLatin1Char('/') + name, content);
    git(repo, {"add", "--", name});
    git(repo, {"commit", "-q", "-m", message});
}

QString makeRepo(const Sandbox& box, const QString& name) {
    const QString dir = box.path(name);
    QDir().mkpath(dir);
    git(dir, {"init", "-q"});
    commitFile(dir, QStringLiteral("README.md"), "hello\n", QStringLiteral("first"));
    return dir;
}

QString makeClonedRepo(const Sandbox& box, const QString& name, QString* bare) {
    const QString origin = box.path(name + QStringLiteral(".git"));
    git(box.path(QString()), {"init", "-q", "--bare", origin});
    const QString seed = makeRepo(box, name + QStringLiteral("-seed"));
    git(seed, {"push", "-q", origin, "main"});
    if (bare) *bare = origin;
    return cloneOf(box, origin, name);
}

QString cloneOf(const Sandbox& box, const QString& bare, const QString& name) {
    const QString clone = box.path(name);
    git(box.path(QString()), {"clone", "-q", bare, clone});
    return clone;
}

void pushFile(const QString& repo, const QString& name, const QByteArray& content, const QString& message) {
    commitFile(repo, name, content, message);
    git(repo, {"push", "-q", "origin", "main"});
}

} // namespace gittest
