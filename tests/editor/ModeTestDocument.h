#pragma once

#include "editor/InputModeTypes.h"

#include <QStringList>
#include <algorithm>

namespace editortest {

// A text and a caret that take what an input mode gives back for a key, as the editor view would:
// edits, the caret, a motion (lines moved by their characters, as in an unwrapped view), and the
// commands, written down in `commands`.
class ModeTestDocument final : public ModeDocument {
public:
    ModeTestDocument(const QString& text, int caret) : text_(text), caret_(caret) {}

    const QString& text() const { return text_; }
    int caret() const override { return caret_; }
    int length() const override { return static_cast<int>(text_.size()); }
    ModeLine lineAt(int position) const override {
        const int start = position == 0 ? 0 : static_cast<int>(text_.lastIndexOf(u'\n', position - 1)) + 1;
        const int newline = static_cast<int>(text_.indexOf(u'\n', start));
        const bool hasBreak = newline >= 0;
        return {start, (hasBreak ? newline + 1 : length()) - start, hasBreak};
    }
    QString textIn(int from, int length) const override { return text_.mid(from, length); }

    // Typing in the insert sub-mode.
    void type(const QString& typed) {
        text_.insert(caret_, typed);
        caret_ += static_cast<int>(typed.size());
    }

    void apply(const ModeResult& result) {
        for (const ModeEdit& edit : result.edits) {
            text_.replace(edit.from, edit.length, edit.text);
            caret_ = edit.from + static_cast<int>(edit.text.size());
        }
        if (result.caret) caret_ = *result.caret;
        const ModeLine line = lineAt(caret_);
        const int column = caret_ - line.location;
        switch (result.motion) {
        case ModeResult::Motion::left:
            caret_ = std::max(caret_ - 1, 0);
            break;
        case ModeResult::Motion::right:
            caret_ = std::min(caret_ + 1, length());
            break;
        case ModeResult::Motion::up:
            if (line.location > 0) {
                const ModeLine above = lineAt(line.location - 1);
                caret_ = above.location + std::min(column, above.contentEnd() - above.location);
            }
            break;
        case ModeResult::Motion::down:
            if (line.hasBreak) {
                const ModeLine below = lineAt(line.end());
                caret_ = below.location + std::min(column, below.contentEnd() - below.location);
            }
            break;
        case ModeResult::Motion::none:
            break;
        }
        static const char* const kCommands[] = {"",           "save",           "close",
                                                "save+close", "close-if-saved", "clipboard"};
        if (result.command != ModeResult::Command::none)
            commands << QString::fromLatin1(kCommands[static_cast<int>(result.command)]);
    }

    QStringList commands;

private:
    QString text_;
    int caret_ = 0;
};

// The keys of a key string: "<esc>", "<cr>", "<right>" and "^K" (Control+K) are one key each,
// every other character is the key that types it.
inline std::vector<ModeKey> modeKeys(const QString& keys) {
    std::vector<ModeKey> out;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i] == u'<') {
            const qsizetype close = keys.indexOf(u'>', i);
            const QString name = keys.mid(i + 1, close - i - 1);
            if (name == QLatin1String("esc")) out.push_back({QStringLiteral("\x1b"), Qt::Key_Escape});
            if (name == QLatin1String("cr")) out.push_back({QStringLiteral("\r"), Qt::Key_Return});
            if (name == QLatin1String("right")) out.push_back({QString(), Qt::Key_Right});
            i = close;
        } else if (keys[i] == u'^' && i + 1 < keys.size()) {
            const QChar letter = keys[++i];
            out.push_back(
                {QString(QChar(letter.unicode() - u'A' + 1)), letter.unicode(), Qt::ControlModifier});
        } else {
            out.push_back({QString(keys[i]), QChar(keys[i]).toUpper().unicode()});
        }
    }
    return out;
}

} // namespace editortest
