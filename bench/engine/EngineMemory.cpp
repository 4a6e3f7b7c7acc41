// Memory of the screen model with a full scrollback: a 200 x 50 terminal is fed SGR-heavy text
// until its 10,000-line scrollback is full, and the bytes per cell of grid plus scrollback are
// reported two ways:
//   structures  Terminal::memoryFootprint(): capacities of the rows, the ring and the tables of
//               renditions and links, as the data structures hold them (no allocator overhead)
//   RSS         the process's peak resident set during the fill minus its resident set just before
//               the terminal was made (allocator overhead and freed-but-kept memory included)
// Each colour mix is measured in a child process of its own so that one does not inflate the next.
#include "Workloads.h"
#include "engine/Terminal.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace benchwork;

namespace {

// A "VmRSS:" or "VmHWM:" figure of /proc/self/status in bytes, 0 when unavailable.
std::size_t statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::size_t(std::stoull(line.substr(std::strlen(field)))) * 1024;
    }
    return 0;
}

// Makes VmHWM start again from the current resident set (Linux: "5" to clear_refs).
bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

struct Result {
    double structureBytesPerCell = 0;
    double rssBytesPerCell = 0; // negative when the peak could not be measured
    std::size_t cells = 0;
    std::size_t scrollbackLines = 0;
};

Result measure(bool paletteOnly) {
    // The input is made before the baseline, so it is not counted as the terminal's memory.
    Rng rng(paletteOnly ? 7 : 8);
    std::string input;
    const std::size_t lines = Terminal::kScrollbackLimit + kRows;
    for (std::size_t i = 0; i < lines; ++i) input += sgrLine(rng, kCols, paletteOnly);

    const std::size_t baseline = statusBytes("VmRSS:");
    const bool peakReset = resetPeak();
    auto terminal = std::make_unique<Terminal>(kCols, kRows);
    for (std::size_t off = 0; off < input.size(); off += kPieceBytes) {
        terminal->process(std::string_view(input).substr(off, kPieceBytes));
    }
    const std::size_t peak = statusBytes("VmHWM:");

    Result r;
    r.scrollbackLines = terminal->scrollback().size();
    r.cells = std::size_t(kCols) * (std::size_t(kRows) + r.scrollbackLines);
    r.structureBytesPerCell = double(terminal->memoryFootprint()) / double(r.cells);
    r.rssBytesPerCell = peakReset && peak > baseline ? double(peak - baseline) / double(r.cells) : -1;
    return r;
}

// Runs measure() in a child so every mix starts from the same resident set.
bool measureInChild(bool paletteOnly, Result& out) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        close(fds[0]);
        const Result r = measure(paletteOnly);
        const bool ok = write(fds[1], &r, sizeof r) == ssize_t(sizeof r);
        _exit(ok ? 0 : 1);
    }
    close(fds[1]);
    const bool ok = read(fds[0], &out, sizeof out) == ssize_t(sizeof out);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main() {
    std::printf("Memory, %dx%d grid plus a full scrollback, SGR before every word\n", kCols, kRows);
    std::printf("%-34s %10s %18s %14s %16s\n", "colours", "cells", "structures B/cell", "beyond cells",
                "peak RSS B/cell");
    bool allOk = true;
    for (bool paletteOnly : {true, false}) {
        Result r;
        const char* name = paletteOnly ? "256-colour fg, 16-colour bg" : "256-colour fg, true-colour bg";
        if (!measureInChild(paletteOnly, r)) {
            std::printf("%-34s measurement failed\n", name);
            allOk = false;
            continue;
        }
        // "beyond cells": what rows, the ring and the tables of renditions and links add to the
        // cells themselves.
        std::printf("%-34s %10zu %18.2f %14.2f ", name, r.cells, r.structureBytesPerCell,
                    r.structureBytesPerCell - double(sizeof(Cell)));
        if (r.rssBytesPerCell >= 0) {
            std::printf("%16.2f\n", r.rssBytesPerCell);
        } else {
            std::printf("%16s\n", "n/a");
        }
        if (r.scrollbackLines != Terminal::kScrollbackLimit) {
            std::printf("  (the scrollback holds %zu lines, not %zu)\n", r.scrollbackLines,
                        Terminal::kScrollbackLimit);
            allOk = false;
        }
    }
    return allOk ? 0 : 1;
}
