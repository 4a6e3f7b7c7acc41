#pragma once

#include <QString>
#include <cstdint>

struct ParserDiagnostics;
struct PerfMetrics;

// The texts of the diagnostics panels.
namespace diagnostics {

// "1023 B", "1.0 K", "1.0 M".
QString formatBytes(std::int64_t bytes);
// The performance panel: rates of the last sample, the grid and the scrollback length.
QString perfText(const PerfMetrics& perf, std::int64_t cols, std::int64_t rows, std::int64_t scrollbackLines);
// The parser panel: the counters and the last 15 unhandled sequences.
QString parserText(const ParserDiagnostics& diag);

} // namespace diagnostics
