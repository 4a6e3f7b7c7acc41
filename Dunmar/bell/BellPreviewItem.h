#pragma once

#include "bell/BellPane.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Terminal;

// One numbered choice found on a screen: "2. No" is number 2, label "No".
struct BellOption {
    qint64 number = 0;
    QString label;
    bool operator==(const BellOption&) const = default;
};

struct ParsedOptions {
    std::vector<BellOption> options;
    int highlighted = 0; // index into options of the line marked with "❯" or ">"
};

// Finds a numbered choice in screen lines: each line that reads "<digits>." or "<digits>)" followed
// by a label, optionally after a "❯" or ">" mark that says which choice is highlighted. None when
// fewer than two choices were found.
std::optional<ParsedOptions> parseOptions(const QStringList& lines);

// The last `count` non-blank lines of the terminal's screen grid (never the scrollback), each
// trimmed, in screen order. The right halves of wide characters are skipped.
QStringList extractLastLines(const Terminal& terminal, int count);

// One queued preview of a ringing pane.
struct BellPreviewItem {
    BellPaneRef pane;
    QString tabName;   // the tab's custom name, or "Tab <n>"
    QStringList lines; // the last non-blank screen lines, at most kLineCount
    std::optional<std::vector<BellOption>> options;
    int currentHighlightedIndex = 0;
    bool appCursorMode = false;

    static constexpr int kLineCount = 5;

    // Writes to the ringing pane's shell; nothing once the pane is gone.
    void writePTY(const QByteArray& bytes) const {
        if (BellPane* p = pane.get()) p->writeToShell(bytes);
    }
};
