#include "app/workspace/RunningProgram.h"

#include <QFile>
#include <unistd.h>

std::optional<QString> foregroundProgramName(int masterFd, pid_t shellPid) {
    if (masterFd < 0 || shellPid < 1) return std::nullopt;
    const pid_t foreground = ::tcgetpgrp(masterFd);
    const pid_t shellGroup = ::getpgid(shellPid);
    if (foreground <= 0 || shellGroup <= 0 || foreground == shellGroup) return std::nullopt;
    // The group's leader names the job: `vim` for vim, the first command of a pipeline.
    QFile comm(QStringLiteral("/proc/%1/comm").arg(foreground));
    QString name;
    if (comm.open(QIODevice::ReadOnly)) name = QString::fromUtf8(comm.readAll()).trimmed();
    if (name.isEmpty()) name = QStringLiteral("%1").arg(foreground);
    return name;
}
