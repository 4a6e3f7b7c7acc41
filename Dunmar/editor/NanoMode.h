#pragma once

#include "editor/InputModeTypes.h"

// nano's cut: Control+K cuts the line at the caret into the cut buffer and onto the clipboard.
// Control+S, Control+X and Control+U are the window's (save, close, paste).
class NanoMode {
public:
    const QString& cutBuffer() const { return cutBuffer_; }

    // Control+K; nothing else is consumed.
    ModeResult handleKey(const ModeKey& key, const ModeDocument& document);
    ModeResult cutCurrentLine(const ModeDocument& document);

private:
    QString cutBuffer_;
};
