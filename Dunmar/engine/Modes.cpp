// DEC private modes (DECSET / DECRST) and their values for mode reports.
#include "engine/Terminal.h"

#include <string>

void Terminal::doPrivate(const CsiParams& params, std::uint8_t final) {
    if (final != 'h' && final != 'l') return;
    for (std::size_t i = 0; i < params.size(); ++i) setPrivateMode(params[i], final == 'h');
}

void Terminal::setPrivateMode(std::int64_t mode, bool set) {
    switch (mode) {
    case 1:
        appCursorMode = set;
        break;
    case 5:
        reverseVideoMode = set;
        break;
    case 6:
        originMode = set;
        cursor.x = 0;
        cursor.y = set ? scrollTop : 0;
        cursor.pendingWrap = false;
        break;
    case 7:
        autoWrapMode = set;
        break;
    case 12:
        break;
    case 25:
        cursorVisible = set;
        break;
    case 47:
    case 1047:
        if (set) {
            if (!altActive_) enterAltScreen();
        } else if (altActive_) {
            leaveAltScreen();
            restoreCursor(altCursor);
            cursor.pendingWrap = false;
        }
        break;
    case 69:
        leftRightMarginMode = set;
        if (!set) {
            leftMargin = 0;
            rightMargin = cols_ - 1;
        }
        break;
    case 1000:
    case 1002:
    case 1003:
        mouseMode = set ? mode : 0;
        break;
    case 1004:
        focusReportingMode = set;
        break;
    case 1005:
    case 1006:
        mouseEncoding = set ? mode : 0;
        break;
    case 1015:
    case 1016:
        break;
    case 1048:
        if (set) {
            savedCursor = cursor;
        } else {
            restoreCursor(savedCursor);
        }
        break;
    case 1049:
        if (set) {
            savedCursor = cursor;
            savedAttrs = attrs_;
            if (!altActive_) enterAltScreen();
        } else {
            leaveAltScreen();
            restoreCursor(savedCursor);
            setAttrs(savedAttrs);
        }
        break;
    case 2004:
        bracketedPasteMode = set;
        break;
    case 2026:
        synchronizedOutput = set;
        break;
    default:
        diag.recordUnhandled("CSI ? " + std::to_string(mode) + (set ? " h" : " l"));
        break;
    }
}

int Terminal::queryPrivateMode(std::int64_t mode) const {
    auto flag = [](bool on) { return on ? 1 : 2; };
    switch (mode) {
    case 1:
        return flag(appCursorMode);
    case 5:
        return flag(reverseVideoMode);
    case 6:
        return flag(originMode);
    case 7:
        return flag(autoWrapMode);
    case 12:
        return 2;
    case 25:
        return flag(cursorVisible);
    case 47:
    case 1047:
    case 1049:
        return flag(altActive_);
    case 69:
        return flag(leftRightMarginMode);
    case 1000:
    case 1002:
    case 1003:
        return flag(mouseMode == mode);
    case 1004:
        return flag(focusReportingMode);
    case 1006:
        return flag(mouseEncoding == 1006);
    case 2004:
        return flag(bracketedPasteMode);
    case 2026:
        return flag(synchronizedOutput);
    default:
        return 0; // 1005, 1015, 1016, 1048 and unknown modes
    }
}
