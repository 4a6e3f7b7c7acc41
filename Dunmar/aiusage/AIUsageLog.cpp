#include "aiusage/AIUsageLog.h"

#include "platform/PrivateFolder.h"
#include "platform/StateFolder.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString AIUsageLog::defaultPath() {
    return statefolder::path() + QStringLiteral("/aiusage.log");
}

void AIUsageLog::write(const QString& message) {
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QByteArray line =
        (QLatin1Char('[') + stamp + QStringLiteral(" +0000] ") + message + QLatin1Char('\n')).toUtf8();
    privatefolder::ensure(QFileInfo(path_).absolutePath());
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(line);
    const qint64 size = file.size();
    file.close();
    if (size > kMaxBytes) trim();
}

void AIUsageLog::trim() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray all = file.readAll();
    file.close();
    // The newest half, from the start of a whole line.
    QByteArray kept = all.right(kMaxBytes / 2);
    const qsizetype firstBreak = kept.indexOf('\n');
    kept = firstBreak >= 0 ? kept.mid(firstBreak + 1) : QByteArray();
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly)) return;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    out.write(kept);
    out.commit();
}
