#pragma once

#include "engine/Terminal.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace conformance {

using namespace std::chrono_literals;

// The visible text of a screen: one string per row, trailing blanks trimmed. A screen taken for
// comparison ends with one more line that tells where the cursor is (cursorLine()).
using ScreenText = std::vector<std::string>;

// Our screen as text: each row's characters in UTF-8, the right halves of wide characters skipped.
ScreenText screenText(const Terminal& terminal);
// The line that stands for the cursor at the end of a compared screen; 0-based column and row.
std::string cursorLine(long column, long row);

// The screen at one moment of a recording: everything the program had written up to `offset`.
struct Snapshot {
    std::string label;
    std::size_t offset = 0;
    ScreenText ours;
};

// What a program wrote, as one byte stream, with the screens taken along the way.
struct Recording {
    std::string caseName;
    int cols = 80;
    int rows = 24;
    std::string bytes;
    std::vector<Snapshot> snapshots;
};

struct PtyCommand {
    std::vector<std::string> argv;
    int cols = 80;
    int rows = 24;
    std::string workingDirectory; // empty: the clean home directory
};

// Runs one command in a pseudo-terminal of a given size and feeds everything it writes to our
// Terminal, whose replies (device attributes, cursor reports, ...) go back to the program as a
// real terminal's would. The child gets a clean environment: TERM=xterm-256color, LANG=C.UTF-8,
// a fresh empty HOME, a plain PATH. All waits poll the pty with a deadline; nothing sleeps.
class PtyHost {
public:
    // Starts the command; a failure to start is a thrown std::runtime_error.
    explicit PtyHost(PtyCommand command, std::string caseName);
    ~PtyHost(); // ends the child (its process group) if it still runs, removes the home directory
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    // Writes keys to the program.
    void send(std::string_view keys);
    // Reads and processes output until `done` holds, the program ends, or the timeout passes.
    // Returns whether `done` held.
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 20s);
    // Waits until `text` is on our screen (on any row).
    bool waitForScreenText(std::string_view text, std::chrono::milliseconds timeout = 20s);
    // Reads until the program has ended and its last output is processed; returns its exit status
    // (-1 when it had not ended within the timeout or was killed by a signal).
    int waitForExit(std::chrono::milliseconds timeout = 20s);

    // Records our current screen under a label, with the stream offset it belongs to.
    void snapshot(std::string label);

    bool screenHas(std::string_view text) const;
    const Terminal& terminal() const { return terminal_; }
    const std::string& homeDirectory() const { return home_; }
    std::size_t streamSize() const { return recording_.bytes.size(); }
    // The stream and the screens taken so far; what the oracles replay.
    const Recording& recording() const { return recording_; }
    // Our screen and the stream's last bytes, for a failure message when a wait timed out.
    std::string describe() const;

private:
    // Reads what is ready (waiting up to `wait` for the first byte); false once the pty is closed.
    bool pump(std::chrono::milliseconds wait);
    void writeAll(std::string_view bytes);

    Terminal terminal_;
    Recording recording_;
    std::string home_;
    int master_ = -1;
    pid_t child_ = -1;
    bool closed_ = false;
    int exitStatus_ = -1;
    bool reaped_ = false;
};

} // namespace conformance
