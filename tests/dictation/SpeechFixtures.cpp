#include "SpeechFixtures.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace speechfixtures {
namespace {

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s %s\n", qPrintable(program), qPrintable(p.errorString()),
                     p.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace

QString spokenWav(const QString& words) {
    static QHash<QString, QString> made;
    if (made.contains(words)) return made.value(words);
    const QString name = QString::number(made.size());
    const QString raw = folder().filePath(name + QStringLiteral("-raw.wav"));
    const QString wav = folder().filePath(name + QStringLiteral(".wav"));
    if (!run(QStringLiteral("espeak-ng"),
             {QStringLiteral("-s"), QStringLiteral("140"), QStringLiteral("-w"), raw, words}) ||
        !run(QStringLiteral("sox"), {raw, QStringLiteral("-r"), QStringLiteral("16000"), QStringLiteral("-c"),
                                     QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16"), wav}))
        return {};
    made.insert(words, wav);
    return wav;
}

QString commandGrammar() {
    const QString path = folder().filePath(QStringLiteral("commands.gram"));
    if (QFile::exists(path)) return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write("#JSGF V1.0;\n"
               "grammar commands;\n"
               "public <command> = list all files | show the log | open the door | close all tabs;\n");
    return path;
}

} // namespace speechfixtures
