#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Counters of what the parser has seen and a bounded tally of the sequences it did not handle,
// read (as a copy) by the diagnostics overlay. The counters only grow while the Terminal lives.
struct ParserDiagnostics {
    struct Unhandled {
        std::string seq; // "CSI q", "CSI ? 1001 h", "OSC 9"
        std::int64_t count = 0;
    };
    static constexpr std::size_t kMaxUnhandled = 50;

    std::int64_t totalScalars = 0; // scalars passed to the state machine
    std::int64_t csiCount = 0;     // plain CSI sequences (no prefix, none of the intermediates " !\"$")
    std::int64_t oscCount = 0;     // OSC strings handled
    std::int64_t escCount = 0;     // scalars received right after a 7-bit ESC
    std::int64_t dcsCount = 0;     // parameter, intermediate and final bytes of DCS strings
    // The distinct unhandled sequences in order of first appearance, at most kMaxUnhandled: when a
    // new one arrives at the limit the oldest is forgotten, and counts again from 1 if it returns.
    std::vector<Unhandled> unhandled;

    void recordUnhandled(const std::string& seq);

private:
    std::unordered_map<std::string, std::size_t> unhandledMap; // seq -> index in unhandled
};
