#pragma once

#include "editor/InputModeTypes.h"

// nano's cut and paste: Control+K cuts the line at the caret into the cut buffer (and onto the
// clipboard), Control+U pastes the cut buffer at the caret. Cuts in a row, with no other key
// between them, gather into one buffer, so that a block cut line by line pastes back whole.
// Control+S and Control+X are the window's (save, close).
class NanoMode {
public:
    const QString& cutBuffer() const { return cutBuffer_; }

    // Control+K and Control+U; nothing else is consumed.
    ModeResult handleKey(const ModeKey& key, const ModeDocument& document);
    ModeResult cutCurrentLine(const ModeDocument& document);
    ModeResult pasteCutBuffer(const ModeDocument& document);
    // Any other key, or a click, between two cuts: the next cut starts a new buffer.
    void breakCutRun() { cutRunOpen_ = false; }

private:
    QString cutBuffer_;
    bool cutRunOpen_ = false;
};
