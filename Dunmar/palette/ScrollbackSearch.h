#pragma once

#include "terminalview/TerminalViewHost.h"

#include <QString>
#include <vector>

class Terminal;

// Every occurrence of a query in a terminal's scrollback and screen, ignoring letter case: one
// entry per match, scrollback lines first (oldest first, rows -scrollback count ... -1), then the
// screen rows (0 ...), left to right within a line; matches do not overlap. Columns count cells:
// each cell contributes exactly one lowercased code point, so a letter whose lowercase form is
// longer (such as "İ") cannot shift the columns of what follows.
std::vector<SearchHighlight> findScrollbackMatches(const Terminal& terminal, const QString& query);
// The same into `out`, which is emptied first and keeps its storage: a search repeated as the user
// types then writes into memory it already has, which on a query matching everywhere (hundreds of
// thousands of matches) is most of the cost.
void findScrollbackMatches(const Terminal& terminal, const QString& query, std::vector<SearchHighlight>& out);
