#pragma once

#include "editor/EditorModes.h"
#include "editor/InputModeTypes.h"

// vim's modal subset: a normal sub-mode of one- and two-key commands and ":" commands, and an
// insert sub-mode for typing that only Escape leaves. It keeps its own state (the sub-mode, the
// first half of dd or yy, the ":" awaiting its letter, the yank buffer) and answers each key with
// the edits and commands it stands for. A ":" command is the one letter after it and runs at once;
// a "q" right after ":w" makes it ":wq", which closes the tab once that write has succeeded.
class VimMode {
public:
    VimSubMode subMode() const { return subMode_; }
    // Back to normal clears every half-typed command.
    void setSubMode(VimSubMode mode);

    bool pendingColon() const { return pendingColon_; }
    bool pendingD() const { return pendingD_; }
    bool pendingY() const { return pendingY_; }
    const QString& yankBuffer() const { return yankBuffer_; }

    // A key of the normal sub-mode, or Escape in the insert sub-mode: the window routes nothing
    // else here. In the normal sub-mode every key is consumed, whether it means something or not.
    ModeResult handleKey(const ModeKey& key, const ModeDocument& document);

private:
    // dd and yy; nothing when the key is neither half.
    std::optional<ModeResult> handleVimTwoKeyOp(const ModeKey& key, const ModeDocument& document);
    ModeResult handleVimKey(const ModeKey& key, const ModeDocument& document);
    ModeResult handleVimColonCommand(const ModeKey& key, const ModeDocument& document);

    VimSubMode subMode_ = VimSubMode::normal;
    QString yankBuffer_;
    bool pendingColon_ = false;
    bool pendingD_ = false;
    bool pendingY_ = false;
    bool afterWrite_ = false; // the last key ended ":w"
};
