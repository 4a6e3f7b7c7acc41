#include "platform/ProcessGroup.h"

#include <QProcess>
#include <csignal>
#include <unistd.h>

namespace processgroup {

void startInOwnGroup(QProcess& process) {
    process.setChildProcessModifier([] { ::setsid(); });
}

void killGroup(qint64 leader) {
    if (leader > 0) ::kill(-static_cast<pid_t>(leader), SIGKILL);
}

} // namespace processgroup
