#pragma once

#include "git/GitStatus.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <vector>

// A line of text in pieces, each with its own font and colour.
struct StyledRun {
    QString text;
    QFont font;
    QColor color;
};
using StyledText = std::vector<StyledRun>;

// The text of a changed file's row: its tag in small bold capitals in the tag's colour, two blanks,
// and the file's last path component in the name's colour.
StyledText fileRowText(const GitFileEntry& entry);

// The plain characters of a styled text.
QString plainText(const StyledText& text);
