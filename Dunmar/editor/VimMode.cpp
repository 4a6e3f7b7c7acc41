#include "editor/VimMode.h"

#include <algorithm>
#include <utility>

namespace {

bool is(const ModeKey& key, const char* text) {
    return key.text == QLatin1String(text);
}

ModeResult moveTo(int position) {
    ModeResult result = ModeResult::taken();
    result.caret = position;
    return result;
}

ModeResult motion(ModeResult::Motion motion) {
    ModeResult result = ModeResult::taken();
    result.motion = motion;
    return result;
}

ModeResult command(ModeResult::Command command) {
    ModeResult result = ModeResult::taken();
    result.command = command;
    return result;
}

} // namespace

void VimMode::setSubMode(VimSubMode mode) {
    subMode_ = mode;
    if (mode == VimSubMode::normal) {
        afterWrite_ = false;
        pendingD_ = false;
        pendingY_ = false;
        pendingColon_ = false;
    }
}

ModeResult VimMode::handleKey(const ModeKey& key, const ModeDocument& document) {
    if (subMode_ == VimSubMode::insert) {
        if (key.key != Qt::Key_Escape) return {};
        setSubMode(VimSubMode::normal);
        return ModeResult::taken();
    }
    // The q of :wq: the write has already begun with the w, and the tab closes once it succeeded.
    const bool afterWrite = std::exchange(afterWrite_, false);
    ModeResult result;
    if (afterWrite && is(key, "q")) {
        result = command(ModeResult::Command::closeAfterSave);
    } else if (pendingColon_) {
        result = handleVimColonCommand(key, document);
    } else if (std::optional<ModeResult> op = handleVimTwoKeyOp(key, document)) {
        result = std::move(*op);
    } else {
        result = handleVimKey(key, document);
    }
    // No key of the normal sub-mode is typed, whether it means something or not.
    result.consumed = true;
    return result;
}

std::optional<ModeResult> VimMode::handleVimTwoKeyOp(const ModeKey& key, const ModeDocument& document) {
    const bool d = is(key, "d"), y = is(key, "y");
    if (!d && !y) {
        pendingD_ = false;
        pendingY_ = false;
        return std::nullopt;
    }
    bool& pending = d ? pendingD_ : pendingY_;
    if (!pending) {
        pendingD_ = d;
        pendingY_ = y;
        return ModeResult::taken();
    }
    pending = false;
    const ModeLine line = document.lineAt(document.caret());
    ModeResult result = ModeResult::taken();
    // dd yanks what it deletes, as vim does: ddp moves a line down.
    yankBuffer_ = document.textIn(line.location, line.length);
    if (d) {
        result.edits.push_back({line.location, line.length, QString()});
        result.caret = line.location;
    }
    return result;
}

ModeResult VimMode::handleVimKey(const ModeKey& key, const ModeDocument& document) {
    const int at = document.caret();
    const int length = document.length();
    const ModeLine line = document.lineAt(at);
    if (is(key, "i")) {
        setSubMode(VimSubMode::insert);
        return ModeResult::taken();
    }
    if (is(key, "a")) {
        // Appends after the character under the caret, never past the end of the line: after $
        // that is the end of this line, not the start of the next.
        setSubMode(VimSubMode::insert);
        return moveTo(std::min(at + 1, std::max(line.contentEnd(), line.location)));
    }
    if (is(key, "o")) {
        // A new empty line below this one, with the caret on it, also on the last line.
        ModeResult result = moveTo(line.contentEnd() + 1);
        result.edits.push_back({line.contentEnd(), 0, QStringLiteral("\n")});
        setSubMode(VimSubMode::insert);
        return result;
    }
    if (is(key, "h")) return moveTo(std::max(at - 1, 0));
    if (is(key, "l")) return moveTo(std::min(at + 1, length));
    if (is(key, "j")) return motion(ModeResult::Motion::down);
    if (is(key, "k")) return motion(ModeResult::Motion::up);
    if (is(key, "0")) return moveTo(line.location);
    if (is(key, "$")) return moveTo(std::max(line.contentEnd(), line.location));
    if (is(key, "p")) {
        ModeResult result = ModeResult::taken();
        if (yankBuffer_.isEmpty()) return result;
        QString pasted = yankBuffer_;
        if (!pasted.endsWith(u'\n')) pasted += u'\n';
        if (line.hasBreak) {
            result.edits.push_back({line.end(), 0, pasted});
            result.caret = line.end();
        } else {
            // The last line has no break to paste after: the pasted line goes below it, not onto it.
            pasted.chop(1);
            result.edits.push_back({line.end(), 0, QStringLiteral("\n") + pasted});
            result.caret = line.end() + 1;
        }
        return result;
    }
    if (is(key, ":")) {
        pendingColon_ = true;
        return ModeResult::taken();
    }
    switch (key.key) {
    case Qt::Key_Left:
        return motion(ModeResult::Motion::left);
    case Qt::Key_Right:
        return motion(ModeResult::Motion::right);
    case Qt::Key_Down:
        return motion(ModeResult::Motion::down);
    case Qt::Key_Up:
        return motion(ModeResult::Motion::up);
    default:
        return {};
    }
}

ModeResult VimMode::handleVimColonCommand(const ModeKey& key, const ModeDocument&) {
    pendingColon_ = false;
    if (is(key, "w")) {
        afterWrite_ = true;
        return command(ModeResult::Command::save);
    }
    if (is(key, "q")) return command(ModeResult::Command::close);
    if (is(key, "x")) return command(ModeResult::Command::saveThenClose);
    return ModeResult::taken();
}
