#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

// Records why the program died in the crash log ("crash.log" in the state folder): a report for an
// uncaught C++ exception, one line for a fatal signal. Each writer replaces the file's content.
namespace crash {

struct CrashReport {
    std::string exceptionName;         // the exception's type
    std::optional<std::string> reason; // its message; "unknown" is written when there is none
    std::vector<std::string> frames;   // the call stack, one line per frame
    std::time_t when = 0;
};

// The report text: header, UTC date, name, reason, stack, and a closing rule without a newline.
std::string formatCrashReport(const CrashReport& report);

// Writes "Dunmar crashed with signal <n>\n" into `out` without allocating (it runs inside a
// signal handler). Returns the length; the text is cut at `capacity`.
std::size_t formatSignalLine(int signal, char* out, std::size_t capacity);

// The signals that end the program with a crash line: SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGTRAP.
const std::vector<int>& fatalSignals();

// Installs the terminate handler and the fatal-signal handlers, writing to `crashLogPath`. The
// path is copied now, so the signal handler needs no memory of its own when it runs.
void setupCrashReporting(const std::string& crashLogPath);

} // namespace crash
