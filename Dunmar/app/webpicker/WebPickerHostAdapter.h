#pragma once

#include "webpicker/WebPickerHost.h"

// The picker's way into the terminals: a pick's markup is pasted only into our own terminal pane
// that has the keyboard focus.
class WebPickerHostAdapter final : public WebPickerHost {
public:
    void pasteIntoFocusedTerminal(const QString& text) override;
};
