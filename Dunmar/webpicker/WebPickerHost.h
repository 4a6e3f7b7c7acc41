#pragma once

#include <QString>

// What the picker needs of the controller.
class WebPickerHost {
public:
    virtual ~WebPickerHost() = default;

    // Pastes the text through the terminal's own paste when one of our terminal panes has the
    // keyboard focus; does nothing otherwise (another application never gets keystrokes).
    virtual void pasteIntoFocusedTerminal(const QString& text) = 0;
};
