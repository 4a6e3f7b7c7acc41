// How chords are shown: compactly on the footer's key caps, in words in tooltips.
#include "actions/ChordText.h"

#include <gtest/gtest.h>

TEST(ChordText, BadgesAreCompactAndTooltipsSpellTheChordOut) {
    const struct {
        Action action;
        const char* badge;
        const char* words;
    } cases[] = {
        {Action::newTab, "^⇧T", "Ctrl+Shift+T"},           {Action::closeTab, "^⇧W", "Ctrl+Shift+W"},
        {Action::splitSideBySide, "^⇧D", "Ctrl+Shift+D"},  {Action::splitStacked, "^⇧⌥D", "Ctrl+Shift+Alt+D"},
        {Action::switchSplitPane, "⌥⇥", "Alt+Tab"},        {Action::switchShell2, "^⌥2", "Ctrl+Alt+2"},
        {Action::saveAs, "^⇧⌥S", "Ctrl+Shift+Alt+S"},      {Action::formatDocument, "⇧⌥F", "Shift+Alt+F"},
        {Action::killLine, "^⇧⌫", "Ctrl+Shift+Backspace"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chordtext::badgeFor(c.action).text().toStdString(), c.badge) << actions::name(c.action);
        EXPECT_EQ(chordtext::wordsFor(c.action).toStdString(), c.words) << actions::name(c.action);
    }
    EXPECT_EQ(chordtext::badgeFor(Action::newTab).modifiers.toStdString(), "^⇧");
    EXPECT_EQ(chordtext::badgeFor(Action::newTab).key.toStdString(), "T");
    EXPECT_EQ(chordtext::tooltip(QStringLiteral("Save"), Action::save).toStdString(), "Save (Ctrl+Shift+S)");
    // An action without a key has no chord to show.
    EXPECT_EQ(chordtext::tooltip(QStringLiteral("Print"), Action::print).toStdString(), "Print");
    EXPECT_TRUE(chordtext::badgeFor(Action::print).text().isEmpty());
}
