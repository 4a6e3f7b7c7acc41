#pragma once

#include <chrono>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

// Starts the built program as a separate process with an environment of the test's making, and
// watches it from outside: its caught signals, its exit.
namespace programtest {

class Program {
public:
    // Starts `executable` with exactly `environment`; its output goes to `logPath`.
    Program(const std::string& executable, const std::vector<std::string>& environment,
            const std::string& logPath) {
        // A crash test must not leave core files behind.
        rlimit core{};
        ::getrlimit(RLIMIT_CORE, &core);
        core.rlim_cur = 0;
        ::setrlimit(RLIMIT_CORE, &core);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(executable.c_str()), nullptr};
        std::vector<char*> envp;
        for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, executable.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }

    // The wait status once the process has ended, polling up to `timeout`.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout) {
        if (status_) return status_;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = status;
                return status_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

    bool isRunning() {
        if (status_) return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = status;
            return false;
        }
        return true;
    }

    void sendSignal(int signal) const { ::kill(pid_, signal); }

    // True once the process catches `signal` (its handler is installed), polling up to `timeout`.
    bool waitUntilCatching(int signal, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline && isRunning()) {
            if (catches(signal)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

private:
    bool catches(int signal) const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("SigCgt:", 0) != 0) continue;
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return (mask >> (signal - 1)) & 1ULL;
        }
        return false;
    }

    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Polls `condition` every 10 ms up to `timeout`.
template <class Condition> bool waitFor(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// The processes whose parent is `parent`, found in /proc.
inline std::vector<pid_t> childrenOf(pid_t parent) {
    std::vector<pid_t> children;
    DIR* proc = ::opendir("/proc");
    if (!proc) return children;
    while (dirent* entry = ::readdir(proc)) {
        const std::string name = entry->d_name;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat("/proc/" + name + "/stat");
        std::string line;
        std::getline(stat, line);
        // "pid (comm) state ppid ...": the command may hold spaces and parentheses.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        long ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent && state != "Z") children.push_back(static_cast<pid_t>(std::stol(name)));
    }
    ::closedir(proc);
    return children;
}

// Whether a process has ended: gone, or a zombie left for its parent to collect.
inline bool hasEnded(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && line.compare(close + 2, 1, "Z") == 0;
}

// The current folder of a process; empty when it cannot be read.
inline std::string cwdOf(pid_t pid) {
    char buffer[PATH_MAX];
    const std::string link = "/proc/" + std::to_string(pid) + "/cwd";
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace programtest
