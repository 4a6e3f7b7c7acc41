#include "webpicker/BrowserLauncher.h"

#include "webpicker/BrowserProfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>

namespace browser {

namespace {

QStringList commandLineOf(pid_t pid) {
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray raw = file.readAll();
    QStringList args;
    for (const QByteArray& part : raw.split('\0'))
        if (!part.isEmpty()) args << QString::fromLocal8Bit(part);
    return args;
}

bool isHelperProcess(const QStringList& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const QString& a) { return a.startsWith(QLatin1String("--type=")); });
}

std::vector<pid_t> allProcesses() {
    std::vector<pid_t> pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const int pid = entry.toInt(&ok);
        if (ok && pid > 0) pids.push_back(pid);
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

} // namespace

std::optional<Command> launchCommand(int port) {
    Command command;
    const QString configured = qEnvironmentVariable(kBrowserVariable).trimmed();
    if (!configured.isEmpty()) {
        QStringList words = QProcess::splitCommand(configured);
        if (words.isEmpty()) return std::nullopt;
        // An absolute path is taken as it stands when it is executable; a name is looked up on the PATH.
        command.program = QStandardPaths::findExecutable(words.takeFirst());
        command.arguments = words;
    } else {
        for (const char* name : {"google-chrome", "google-chrome-stable", "chromium", "chromium-browser"}) {
            command.program = QStandardPaths::findExecutable(QString::fromLatin1(name));
            if (!command.program.isEmpty()) break;
        }
    }
    if (command.program.isEmpty()) return std::nullopt;
    QString problem;
    const std::optional<QString> profile = profileFolder(port, &problem);
    if (!profile) {
        qWarning("The browser profile folder is not used: %s", qPrintable(problem));
        return std::nullopt;
    }
    command.arguments << QStringLiteral("--user-data-dir=") + *profile
                      << QStringLiteral("--remote-debugging-port=%1").arg(port)
                      << QStringLiteral("--no-first-run") << QStringLiteral("--no-default-browser-check")
                      << QStringLiteral("--disable-session-restore");
    return command;
}

bool launch(int port) {
    const auto command = launchCommand(port);
    if (!command) return false;
    QProcess process;
    process.setProgram(command->program);
    process.setArguments(command->arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

std::vector<pid_t> processesWithProfile(const QString& profileFolder) {
    const QString flag = QStringLiteral("--user-data-dir=") + profileFolder;
    std::vector<pid_t> found;
    for (pid_t pid : allProcesses()) {
        const QStringList args = commandLineOf(pid);
        if (args.contains(flag) && !isHelperProcess(args)) found.push_back(pid);
    }
    return found;
}

bool isBrowserProcess(pid_t pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) return false;
    const QByteArray name = comm.readAll().trimmed();
    return name == "chrome" || name == "chromium" || name == "chromium-browse" || name == "google-chrome";
}

std::vector<pid_t> runningBrowsers() {
    std::vector<pid_t> found;
    for (pid_t pid : allProcesses())
        if (isBrowserProcess(pid) && !isHelperProcess(commandLineOf(pid))) found.push_back(pid);
    return found;
}

int terminateProcessesWithProfile(const QString& profileFolder) {
    int asked = 0;
    for (pid_t pid : processesWithProfile(profileFolder))
        if (::kill(pid, SIGTERM) == 0) ++asked;
    return asked;
}

} // namespace browser
