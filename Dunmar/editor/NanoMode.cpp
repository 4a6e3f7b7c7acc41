#include "editor/NanoMode.h"

ModeResult NanoMode::handleKey(const ModeKey& key, const ModeDocument& document) {
    if (!(key.modifiers & Qt::ControlModifier)) return {};
    if (key.key == Qt::Key_K) return cutCurrentLine(document);
    return {};
}

ModeResult NanoMode::cutCurrentLine(const ModeDocument& document) {
    ModeResult result = ModeResult::taken();
    const ModeLine line = document.lineAt(document.caret());
    cutBuffer_ = document.textIn(line.location, line.length);
    result.edits.push_back({line.location, line.length, QString()});
    result.caret = line.location;
    result.command = ModeResult::Command::copyToClipboard;
    result.clipboardText = cutBuffer_;
    return result;
}
