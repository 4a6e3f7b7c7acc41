#include "app/process/CrashReporter.h"

#include <array>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace crash {

namespace {

// Set once before the handlers are installed and only read afterwards.
char gCrashLogPath[PATH_MAX] = {};
char gCrashLogTempPath[PATH_MAX] = {};

// The handlers run on this stack, so that a crash by stack overflow is still recorded.
constexpr std::size_t kAltStackSize = 64 * 1024;
alignas(16) char gAltStack[kAltStackSize];

std::string demangle(const char* name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> out(abi::__cxa_demangle(name, nullptr, nullptr, &status),
                                               std::free);
    return status == 0 && out ? std::string(out.get()) : std::string(name);
}

std::vector<std::string> currentStack() {
    std::array<void*, 128> addresses{};
    const int count = ::backtrace(addresses.data(), static_cast<int>(addresses.size()));
    std::vector<std::string> frames;
    if (count <= 0) return frames;
    char** symbols = ::backtrace_symbols(addresses.data(), count);
    if (!symbols) return frames;
    for (int i = 0; i < count; ++i) frames.emplace_back(symbols[i]);
    std::free(symbols);
    return frames;
}

// Replaces the crash log as a whole: written beside it, then renamed over it.
void writeWholeFile(const std::string& text) {
    if (!gCrashLogPath[0]) return;
    const int fd = ::open(gCrashLogTempPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (done == text.size())
        std::rename(gCrashLogTempPath, gCrashLogPath);
    else
        ::unlink(gCrashLogTempPath);
}

[[noreturn]] void onTerminate() {
    CrashReport report;
    report.when = std::time(nullptr);
    if (std::exception_ptr current = std::current_exception()) {
        const std::type_info* type = abi::__cxa_current_exception_type();
        report.exceptionName = type ? demangle(type->name()) : std::string("unknown");
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            if (e.what() && e.what()[0]) report.reason = e.what();
        } catch (...) {
        }
    } else {
        report.exceptionName = "std::terminate";
        report.reason = "terminate called without an active exception";
    }
    report.frames = currentStack();
    writeWholeFile(formatCrashReport(report));
    // The abort below would otherwise replace the report with the bare signal line.
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

// Only async-signal-safe calls: open, write, close, signal, raise.
void onFatalSignal(int signal) {
    if (gCrashLogPath[0]) {
        const int fd = ::open(gCrashLogPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            char line[64];
            const std::size_t n = formatSignalLine(signal, line, sizeof line);
            const ssize_t ignored = ::write(fd, line, n);
            (void)ignored;
            ::close(fd);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

std::string formatCrashReport(const CrashReport& report) {
    char date[64] = {};
    std::tm utc{};
    ::gmtime_r(&report.when, &utc);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S +0000", &utc);

    std::string text = "=== Dunmar Crash Report ===\nDate: ";
    text += date;
    text += "\nException: ";
    text += report.exceptionName;
    text += "\nReason: ";
    text += report.reason.value_or("unknown");
    text += "\nStack Trace:\n";
    for (std::size_t i = 0; i < report.frames.size(); ++i) {
        if (i) text += '\n';
        text += report.frames[i];
    }
    text += "\n===================================";
    return text;
}

std::size_t formatSignalLine(int signal, char* out, std::size_t capacity) {
    static constexpr char kPrefix[] = "Dunmar crashed with signal ";
    std::size_t n = 0;
    auto put = [&](char c) {
        if (n < capacity) out[n++] = c;
    };
    for (const char* p = kPrefix; *p; ++p) put(*p);
    char digits[16];
    int count = 0;
    unsigned value = signal < 0 ? static_cast<unsigned>(-(long)signal) : static_cast<unsigned>(signal);
    if (signal < 0) put('-');
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value && count < 16);
    while (count) put(digits[--count]);
    put('\n');
    return n;
}

const std::vector<int>& fatalSignals() {
    static const std::vector<int> list{SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP};
    return list;
}

void setupCrashReporting(const std::string& crashLogPath) {
    const std::string temp = crashLogPath + ".tmp";
    if (!crashLogPath.empty() && temp.size() < sizeof gCrashLogTempPath) {
        std::memcpy(gCrashLogPath, crashLogPath.c_str(), crashLogPath.size() + 1);
        std::memcpy(gCrashLogTempPath, temp.c_str(), temp.size() + 1);
    }
    std::set_terminate(onTerminate);

    stack_t alt{};
    alt.ss_sp = gAltStack;
    alt.ss_size = kAltStackSize;
    ::sigaltstack(&alt, nullptr);
    for (int sig : fatalSignals()) {
        struct sigaction action {};
        action.sa_handler = onFatalSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_ONSTACK;
        ::sigaction(sig, &action, nullptr);
    }
}

} // namespace crash
