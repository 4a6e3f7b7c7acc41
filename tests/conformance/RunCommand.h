#pragma once

#include <string>
#include <vector>

namespace conformance {

struct CommandResult {
    int exitCode = -1; // -1 when it could not start or was ended by a signal
    std::string out;   // standard output
    std::string err;   // standard error
};

// Runs a program to its end with exactly the environment given (no shell, no PATH search beyond
// the absolute path or the standard directories) and collects what it prints.
CommandResult runCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env);

} // namespace conformance
