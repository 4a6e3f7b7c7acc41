#pragma once

#include <QFont>
#include <QString>
#include <array>

// The terminal fonts the settings offer: a label and the font names of the regular and, where the
// family has its own, the bold face.
struct TerminalFontEntry {
    const char* label;
    const char* fontName;
    const char* boldFontName; // nullptr: bold text uses the system monospace font in bold
};
const std::array<TerminalFontEntry, 4>& availableFonts();

// Registers the font files that ship beside the executable and the packaged Fira Code and
// JetBrains Mono files, for this process. Runs once; missing or unreadable files are skipped.
void loadTerminalFonts();

// The four faces a pane draws with and the cell they give. Sizes are in the view's logical pixels
// (the unit of all view geometry), whatever the screen's resolution.
struct TerminalFonts {
    QFont font;
    QFont boldFont;
    QFont italicFont;
    QFont boldItalicFont;
    qreal cellW = 8;
    qreal cellH = 16;
    qreal ascent = 12;              // from a cell's top to the baseline of its glyph
    bool regularIsFallback = false; // the family's regular face is not installed
    bool boldIsFallback = false;    // bold uses the system monospace font
};

// The fonts for a size (10 when not above 0) and an index into availableFonts() (out of range: 0).
TerminalFonts makeTerminalFonts(double size, qint64 familyIndex);

// The cell width of a font: the advance of "M" rounded up, or the widest advance when the font has
// no such glyph.
qreal monoAdvance(const QFont& font);
