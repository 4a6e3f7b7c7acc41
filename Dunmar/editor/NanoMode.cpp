#include "editor/NanoMode.h"

ModeResult NanoMode::handleKey(const ModeKey& key, const ModeDocument& document) {
    if (!(key.modifiers & Qt::ControlModifier)) return {};
    if (key.key == Qt::Key_K) return cutCurrentLine(document);
    if (key.key == Qt::Key_U) return pasteCutBuffer(document);
    return {};
}

ModeResult NanoMode::cutCurrentLine(const ModeDocument& document) {
    ModeResult result = ModeResult::taken();
    const ModeLine line = document.lineAt(document.caret());
    const QString cut = document.textIn(line.location, line.length);
    cutBuffer_ = cutRunOpen_ ? cutBuffer_ + cut : cut;
    cutRunOpen_ = true;
    result.edits.push_back({line.location, line.length, QString()});
    result.caret = line.location;
    result.command = ModeResult::Command::copyToClipboard;
    result.clipboardText = cutBuffer_;
    return result;
}

ModeResult NanoMode::pasteCutBuffer(const ModeDocument& document) {
    cutRunOpen_ = false;
    ModeResult result = ModeResult::taken();
    if (cutBuffer_.isEmpty()) return result;
    const int at = document.caret();
    result.edits.push_back({at, 0, cutBuffer_});
    result.caret = at + static_cast<int>(cutBuffer_.size());
    return result;
}
