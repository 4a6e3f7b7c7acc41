#pragma once

#include <QString>

// What a terminal pane takes from the user's settings: its font, its cursor, copying a selection,
// and what its next shell starts with. The settings applier builds it from the store and hands it to
// every pane; the pane applies it itself and never reads the store. The defaults here are a new
// pane's when nobody hands it anything (the settings' own defaults).
struct PaneSettings {
    double fontSize = 10.0;
    qint64 fontFamily = 0;
    int cursorStyle = 0;
    bool cursorBlink = true;
    bool copyOnSelect = true;
    // Read when a shell starts: the syntax highlighting switch and the prompt theme's name.
    bool syntaxHighlighting = true;
    QString promptTheme = QStringLiteral("default");

    bool operator==(const PaneSettings&) const = default;
};
