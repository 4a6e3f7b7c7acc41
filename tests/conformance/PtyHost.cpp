#include "conformance/PtyHost.h"

#include "conformance/TextUtil.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace conformance {

namespace {

constexpr const char* kPath = "/usr/local/bin:/usr/bin:/bin";

std::string findExecutable(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    std::string_view path = kPath;
    while (!path.empty()) {
        const std::size_t colon = path.find(':');
        const std::string candidate = std::string(path.substr(0, colon)) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        path = colon == std::string_view::npos ? std::string_view() : path.substr(colon + 1);
    }
    throw std::runtime_error("conformance host: no executable " + name + " on " + kPath +
                             " (scripts/install-deps installs it)");
}

} // namespace

ScreenText screenText(const Terminal& terminal) {
    ScreenText rows;
    for (std::int64_t y = 0; y < terminal.rows(); ++y) {
        std::string line;
        for (const Cell& cell : terminal.gridRow(y)) {
            if (cell.width == 0) continue;
            char32_t one = 0;
            for (char32_t c : terminal.textOf(cell, one)) appendUtf8(line, c);
        }
        rows.push_back(trimRight(line));
    }
    return rows;
}

std::string cursorLine(long column, long row) {
    return "[cursor at column " + std::to_string(column) + ", row " + std::to_string(row) + "]";
}

PtyHost::PtyHost(PtyCommand command, std::string caseName) : terminal_(command.cols, command.rows) {
    if (command.argv.empty()) throw std::runtime_error("conformance host: empty command");
    recording_.caseName = std::move(caseName);
    recording_.cols = command.cols;
    recording_.rows = command.rows;

    const std::string executable = findExecutable(command.argv.front());
    std::string homeTemplate =
        (std::filesystem::temp_directory_path() / "dunmar-conformance-home-XXXXXX").string();
    if (!mkdtemp(homeTemplate.data()))
        throw std::runtime_error("conformance host: cannot make a home directory");
    home_ = homeTemplate;
    std::vector<std::string> env = {"TERM=xterm-256color",        "LANG=C.UTF-8",  "HOME=" + home_,
                                    std::string("PATH=") + kPath, "SHELL=/bin/sh", "USER=conformance"};
    std::vector<char*> argvPtrs;
    for (std::string& a : command.argv) argvPtrs.push_back(a.data());
    argvPtrs.push_back(nullptr);
    std::vector<char*> envPtrs;
    for (std::string& e : env) envPtrs.push_back(e.data());
    envPtrs.push_back(nullptr);
    const std::string cwd = command.workingDirectory.empty() ? home_ : command.workingDirectory;

    winsize size{};
    size.ws_col = static_cast<unsigned short>(command.cols);
    size.ws_row = static_cast<unsigned short>(command.rows);
    child_ = forkpty(&master_, nullptr, nullptr, &size);
    if (child_ < 0) {
        const std::string reason = strerror(errno);
        std::error_code ignored;
        std::filesystem::remove_all(home_, ignored);
        throw std::runtime_error("conformance host: forkpty failed: " + reason);
    }
    if (child_ == 0) {
        // Only async-signal-safe calls from here on. The program starts with default signal
        // dispositions and nothing blocked, whatever the test runner set for itself.
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        for (int sig : {SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGCHLD, SIGHUP, SIGTSTP, SIGTTIN, SIGTTOU}) {
            sigaction(sig, &defaults, nullptr);
        }
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        if (chdir(cwd.c_str()) != 0) _exit(126);
        closefrom(3);
        execve(executable.c_str(), argvPtrs.data(), envPtrs.data());
        _exit(127);
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);

    terminal_.onResponse = [this](const std::string& reply) { writeAll(reply); };
}

PtyHost::~PtyHost() {
    if (child_ > 0 && !reaped_) {
        kill(-child_, SIGKILL); // the child leads its own session and process group
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
    std::error_code ignored;
    if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
}

void PtyHost::writeAll(std::string_view bytes) {
    // Keys and replies are small; the pty's input queue takes them at once unless the program has
    // stopped reading, in which case its output is still drained so that neither side blocks.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!bytes.empty() && !closed_) {
        const ssize_t n = write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(std::size_t(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return; // the program is gone
        if (std::chrono::steady_clock::now() > deadline) return;
        pollfd p{master_, POLLOUT, 0};
        poll(&p, 1, 10);
    }
}

void PtyHost::send(std::string_view keys) {
    writeAll(keys);
}

bool PtyHost::pump(std::chrono::milliseconds wait) {
    if (closed_) return false;
    pollfd p{master_, POLLIN, 0};
    const int ready = poll(&p, 1, int(wait.count()));
    if (ready <= 0) return true;
    char buffer[32768];
    for (;;) {
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n > 0) {
            recording_.bytes.append(buffer, std::size_t(n));
            terminal_.process(std::string_view(buffer, std::size_t(n)));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
        closed_ = true; // EIO: every descriptor of the terminal's other side is closed
        return false;
    }
}

bool PtyHost::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (closed_ || std::chrono::steady_clock::now() > deadline) return false;
        pump(20ms);
    }
}

bool PtyHost::screenHas(std::string_view text) const {
    for (const std::string& row : screenText(terminal_)) {
        if (row.find(text) != std::string::npos) return true;
    }
    return false;
}

bool PtyHost::waitForScreenText(std::string_view text, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return screenHas(text); }, timeout);
}

int PtyHost::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!closed_ && std::chrono::steady_clock::now() < deadline) pump(20ms);
    while (!reaped_ && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        const pid_t r = waitpid(child_, &status, WNOHANG);
        if (r == child_) {
            reaped_ = true;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        std::this_thread::sleep_for(5ms); // the last descriptor closed just before the exit
    }
    return reaped_ ? exitStatus_ : -1;
}

void PtyHost::snapshot(std::string label) {
    ScreenText screen = screenText(terminal_);
    screen.push_back(cursorLine(long(terminal_.cursorX()), long(terminal_.cursorY())));
    recording_.snapshots.push_back({std::move(label), recording_.bytes.size(), std::move(screen)});
}

std::string PtyHost::describe() const {
    std::string s = "our screen:\n";
    const ScreenText rows = screenText(terminal_);
    for (std::size_t y = 0; y < rows.size(); ++y) s += "  |" + rows[y] + "\n";
    const std::string& bytes = recording_.bytes;
    const std::size_t tail = bytes.size() > 400 ? bytes.size() - 400 : 0;
    s += "last bytes of the stream: " + visible(std::string_view(bytes).substr(tail)) + "\n";
    return s;
}

} // namespace conformance
