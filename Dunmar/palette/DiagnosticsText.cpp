#include "palette/DiagnosticsText.h"

#include "engine/Diagnostics.h"
#include "engine/PerfMetrics.h"

namespace diagnostics {

namespace {

constexpr std::size_t kShownUnhandled = 15;

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

} // namespace

QString formatBytes(std::int64_t bytes) {
    if (bytes < 1024) return QString::number(bytes) + QStringLiteral(" B");
    if (bytes < 1048576) return fixed(double(bytes) / 1024.0, 1) + QStringLiteral(" K");
    return fixed(double(bytes) / 1048576.0, 1) + QStringLiteral(" M");
}

QString perfText(const PerfMetrics& perf, std::int64_t cols, std::int64_t rows,
                 std::int64_t scrollbackLines) {
    QString t = QStringLiteral("--- Performance ---\nFPS:          ") + fixed(perf.fps, 1);
    t += QStringLiteral("\nDraw avg:     ") + fixed(perf.avgDrawMs, 2);
    t += QStringLiteral(" ms\nLast draw:    ") + fixed(perf.lastDrawTime * 1000, 2);
    t += QStringLiteral(" ms\nPTY read:     ") + formatBytes(perf.readBytesPerSec) + QStringLiteral("/s (") +
         QString::number(perf.readsPerSec);
    t += QStringLiteral(" calls/s)\nPTY write:    ") + formatBytes(perf.writeBytesPerSec) +
         QStringLiteral("/s (") + QString::number(perf.writesPerSec);
    t += QStringLiteral(" calls/s)\nGrid:         ") + QString::number(cols) + QLatin1Char('x') +
         QString::number(rows);
    t += QStringLiteral("\nScrollback:   ") + QString::number(scrollbackLines) + QStringLiteral(" lines");
    return t;
}

QString parserText(const ParserDiagnostics& diag) {
    QString t = QStringLiteral("--- Parser ---\nTotal scalars: ") + QString::number(diag.totalScalars);
    t += QStringLiteral("\nCSI:           ") + QString::number(diag.csiCount);
    t += QStringLiteral("\nOSC:           ") + QString::number(diag.oscCount);
    t += QStringLiteral("\nESC:           ") + QString::number(diag.escCount);
    t += QStringLiteral("\nDCS:           ") + QString::number(diag.dcsCount);
    if (diag.unhandled.empty()) return t + QStringLiteral("\n\nNo unhandled sequences.");
    t += QStringLiteral("\n\n--- Unhandled Sequences ---");
    const std::size_t first =
        diag.unhandled.size() > kShownUnhandled ? diag.unhandled.size() - kShownUnhandled : 0;
    for (std::size_t i = first; i < diag.unhandled.size(); ++i)
        t += QStringLiteral("\n  ") + QString::fromStdString(diag.unhandled[i].seq) + QStringLiteral("  x") +
             QString::number(diag.unhandled[i].count);
    return t;
}

} // namespace diagnostics
