#pragma once

#include <QString>
#include <Qt>
#include <optional>
#include <vector>

// What the nano and vim input modes read of a document and what they give back for a key: the
// modes never touch a widget, so a key string and a text are all a test needs.

// A key as the window hands it over: the characters it types and its Qt::Key code.
struct ModeKey {
    QString text;
    int key = 0;
    Qt::KeyboardModifiers modifiers{};
};

// A line of the text: where it starts and how long it is, with its line break when it has one.
struct ModeLine {
    int location = 0;
    int length = 0;
    bool hasBreak = false;
    int contentEnd() const { return location + length - (hasBreak ? 1 : 0); }
    int end() const { return location + length; }
};

class ModeDocument {
public:
    virtual ~ModeDocument() = default;
    virtual int caret() const = 0;
    virtual int length() const = 0;
    virtual ModeLine lineAt(int position) const = 0;
    virtual QString textIn(int from, int length) const = 0;
};

// Replaces [from, from + length) with `text`, as typed text would (an undoable edit).
struct ModeEdit {
    int from = 0;
    int length = 0;
    QString text;
    bool operator==(const ModeEdit&) const = default;
};

// What a key did. The edits apply in order, then the caret goes to `caret` when set, then the
// view makes the `motion` (lines move as they are laid out, which only the view knows), then it
// runs the `command`.
struct ModeResult {
    enum class Motion { none, left, right, up, down };
    // saveThenClose closes only once the save has written the file; closeAfterSave closes once the
    // save the previous key began has done so.
    enum class Command { none, save, close, saveThenClose, closeAfterSave, copyToClipboard };

    bool consumed = false;
    std::vector<ModeEdit> edits;
    std::optional<int> caret;
    Motion motion = Motion::none;
    Command command = Command::none;
    QString clipboardText; // for copyToClipboard

    static ModeResult taken() {
        ModeResult result;
        result.consumed = true;
        return result;
    }
};
