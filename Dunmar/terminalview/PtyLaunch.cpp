#include "terminalview/PtyLaunch.h"

#include "platform/PrivateFolder.h"
#include "platform/StateFolder.h"
#include "terminalview/ShellList.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <locale.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

extern char** environ;

QString historyDirectoryFor(const QString& home) {
    return statefolder::pathFor(home) + QStringLiteral("/history");
}

QString historyFileFor(const QString& home, const QString& tabId) {
    return historyDirectoryFor(home) + QLatin1Char('/') + tabId;
}

QList<QByteArray> currentEnvironment() {
    QList<QByteArray> entries;
    for (char** entry = environ; entry && *entry; ++entry) entries.append(QByteArray(*entry));
    return entries;
}

bool isLocaleInstalled(const char* name) {
    const locale_t locale = ::newlocale(LC_ALL_MASK, name, locale_t(nullptr));
    if (locale == locale_t(nullptr)) return false;
    ::freelocale(locale);
    return true;
}

QByteArray shellLocaleName() {
    static const QByteArray name = isLocaleInstalled("en_US.UTF-8") ? "en_US.UTF-8" : "C.UTF-8";
    return name;
}

namespace {
void setVariable(QList<QByteArray>& environment, const QByteArray& name, const QByteArray& value) {
    const QByteArray prefix = name + '=';
    for (QByteArray& entry : environment) {
        if (entry.startsWith(prefix)) {
            entry = prefix + value;
            return;
        }
    }
    environment.append(prefix + value);
}
} // namespace

PtyLaunchPlan makeLaunchPlan(const PtyLaunchOptions& options, const QList<QByteArray>& inheritedEnvironment) {
    PtyLaunchPlan plan;
    plan.shellPath = QFile::encodeName(options.shellPath);
    plan.arguments = {plan.shellPath, loginArgument(options.shellPath).toUtf8()};

    const QString workingDirectory =
        options.workingDirectory.isEmpty() ? options.homeDirectory : options.workingDirectory;
    plan.workingDirectory = QFile::encodeName(workingDirectory);
    plan.historyDirectory = QFile::encodeName(historyDirectoryFor(options.homeDirectory));

    QList<QByteArray> environment = inheritedEnvironment;
    setVariable(environment, "TERM", "xterm-256color");
    setVariable(environment, "COLORTERM", "truecolor");
    setVariable(environment, "CLICOLOR", "1");
    setVariable(environment, "CLICOLOR_FORCE", "1");
    if (options.syntaxHighlighting) setVariable(environment, "PK_SYNTAX_HL", "1");
    setVariable(environment, "LANG", shellLocaleName());
    setVariable(environment, "LC_ALL", shellLocaleName());
    setVariable(environment, "SHELL_SESSIONS_DISABLE", "1");
    setVariable(environment, "HISTFILE",
                QFile::encodeName(historyFileFor(options.homeDirectory, options.tabId)));
    setVariable(environment, "PK_PROMPT_THEME", options.promptTheme.toUtf8());
    plan.environment = environment;
    return plan;
}

termios initialTermios() {
    termios t{};
    t.c_iflag = ICRNL | IXON;
    t.c_oflag = OPOST | ONLCR;
    t.c_cflag = CS8 | CREAD | HUPCL;
    t.c_lflag = ICANON | ISIG | IEXTEN | ECHO | ECHOE | ECHOK;
    for (cc_t& c : t.c_cc) c = _POSIX_VDISABLE;
    t.c_cc[VEOF] = 4;     // Control-D
    t.c_cc[VERASE] = 127; // Delete
    t.c_cc[VKILL] = 21;   // Control-U
    t.c_cc[VINTR] = 3;    // Control-C
    t.c_cc[VQUIT] = 28;   // Control-Backslash
    t.c_cc[VSUSP] = 26;   // Control-Z
    t.c_cc[VSTART] = 17;  // Control-Q
    t.c_cc[VSTOP] = 19;   // Control-S
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    return t;
}

namespace {
void closeQuietly(int fd) {
    if (fd >= 0) ::close(fd);
}

// Async-signal-safe: close_range where the kernel has it, else one close per possible number.
void closeDescriptorsAbove(int lowest) {
#ifdef SYS_close_range
    if (::syscall(SYS_close_range, unsigned(lowest + 1), ~0U, 0U) == 0) return;
#endif
    rlimit limit{};
    const long highest = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                             ? long(std::min<rlim_t>(limit.rlim_cur, 1 << 20))
                             : 65536;
    for (long fd = lowest + 1; fd < highest; ++fd) ::close(int(fd));
}

// Everything the child touches, as plain pointers made before the fork.
struct ChildImage {
    std::vector<char*> argv;
    std::vector<char*> envp;
};

ChildImage makeImage(const PtyLaunchPlan& plan) {
    ChildImage image;
    for (const QByteArray& argument : plan.arguments)
        image.argv.push_back(const_cast<char*>(argument.constData()));
    image.argv.push_back(nullptr);
    for (const QByteArray& entry : plan.environment)
        image.envp.push_back(const_cast<char*>(entry.constData()));
    image.envp.push_back(nullptr);
    return image;
}

[[noreturn]] void runChild(int masterFd, int slaveFd, const PtyLaunchPlan& plan, const ChildImage& image) {
    // Only async-signal-safe calls from here on. The master is close-on-exec already; closing it
    // now also covers a child that never reaches exec.
    ::close(masterFd);
    ::setsid();
    ::ioctl(slaveFd, TIOCSCTTY, 0);
    ::dup2(slaveFd, STDIN_FILENO);
    ::dup2(slaveFd, STDOUT_FILENO);
    ::dup2(slaveFd, STDERR_FILENO);
    if (slaveFd > STDERR_FILENO)
        ::close(slaveFd);
    else
        ::fcntl(slaveFd, F_SETFD, 0); // dup2 onto itself keeps close-on-exec

    // Descriptors this process opened without close-on-exec (by a library, or inherited from
    // whatever started us) must not reach every shell.
    closeDescriptorsAbove(STDERR_FILENO);

    // The shell starts with default signal handling and nothing blocked, whatever the GUI set up.
    // An ignored signal survives exec, so every one a parent may ignore is named here.
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    for (int signal : {SIGCHLD, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGTSTP, SIGTTIN, SIGTTOU, SIGALRM,
                       SIGUSR1, SIGUSR2, SIGWINCH, SIGXFSZ, SIGVTALRM, SIGPROF, SIGURG})
        ::sigaction(signal, &defaultAction, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    // A directory that cannot be entered leaves the shell where the program runs.
    [[maybe_unused]] const int changed = ::chdir(plan.workingDirectory.constData());
    ::execve(plan.shellPath.constData(), image.argv.data(), image.envp.data());
    ::_exit(1);
}
} // namespace

PtyChild spawnOnPty(const PtyLaunchPlan& plan, const termios& attributes, const winsize& size) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return {};
    char slaveName[128];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, slaveName, sizeof slaveName) != 0) {
        closeQuietly(master);
        return {};
    }
    const int slave = ::open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        closeQuietly(master);
        return {};
    }
    ::tcsetattr(slave, TCSANOW, &attributes);
    ::ioctl(slave, TIOCSWINSZ, &size);

    // Made here rather than in the child, which may not allocate: the shell writes its history
    // file there, and the folder is the user's alone.
    privatefolder::ensure(QFile::decodeName(plan.historyDirectory));
    const ChildImage image = makeImage(plan);
    const pid_t pid = ::fork();
    if (pid == 0) runChild(master, slave, plan, image);
    closeQuietly(slave);
    if (pid < 0) {
        closeQuietly(master);
        return {};
    }
    const int flags = ::fcntl(master, F_GETFL);
    if (flags >= 0) ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
    return {master, pid};
}
