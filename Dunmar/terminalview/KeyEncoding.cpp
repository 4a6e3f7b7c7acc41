#include "terminalview/KeyEncoding.h"

#include <QChar>

namespace keys {

namespace {

constexpr char kCsi[] = "\x1b[";

// A functional key in the kitty protocol: the number and the final byte. Keys with a letter final
// are sent as "CSI 1 ; m X", or "CSI X" with nothing to add.
struct KittyKey {
    int number = 0;
    char final = 'u';
};

std::optional<KittyKey> kittyFunctionalKey(FunctionalKey key) {
    switch (key) {
    case FunctionalKey::up:
        return KittyKey{1, 'A'};
    case FunctionalKey::down:
        return KittyKey{1, 'B'};
    case FunctionalKey::right:
        return KittyKey{1, 'C'};
    case FunctionalKey::left:
        return KittyKey{1, 'D'};
    case FunctionalKey::home:
        return KittyKey{1, 'H'};
    case FunctionalKey::end:
        return KittyKey{1, 'F'};
    case FunctionalKey::insert:
        return KittyKey{2, '~'};
    case FunctionalKey::forwardDelete:
        return KittyKey{3, '~'};
    case FunctionalKey::pageUp:
        return KittyKey{5, '~'};
    case FunctionalKey::pageDown:
        return KittyKey{6, '~'};
    case FunctionalKey::f1:
        return KittyKey{1, 'P'};
    case FunctionalKey::f2:
        return KittyKey{1, 'Q'};
    case FunctionalKey::f3:
        // Not "CSI 1 ; m R": unmodified that would read as a cursor position report.
        return KittyKey{13, '~'};
    case FunctionalKey::f4:
        return KittyKey{1, 'S'};
    case FunctionalKey::f5:
        return KittyKey{15, '~'};
    case FunctionalKey::f6:
        return KittyKey{17, '~'};
    case FunctionalKey::f7:
        return KittyKey{18, '~'};
    case FunctionalKey::f8:
        return KittyKey{19, '~'};
    case FunctionalKey::f9:
        return KittyKey{20, '~'};
    case FunctionalKey::f10:
        return KittyKey{21, '~'};
    case FunctionalKey::f11:
        return KittyKey{23, '~'};
    case FunctionalKey::f12:
        return KittyKey{24, '~'};
    case FunctionalKey::none:
        break;
    }
    return std::nullopt;
}

// The keys the protocol numbers by their legacy control code, and keypad Enter.
std::optional<KittyKey> kittyControlKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
        return KittyKey{13, 'u'};
    case Qt::Key_Enter:
        return KittyKey{57414, 'u'};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return KittyKey{9, 'u'};
    case Qt::Key_Backspace:
        return KittyKey{127, 'u'};
    case Qt::Key_Escape:
        return KittyKey{27, 'u'};
    default:
        return std::nullopt;
    }
}

bool isLetterFinal(char final) {
    return final != 'u' && final != '~';
}

} // namespace

FunctionalKey functionalKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Up:
        return FunctionalKey::up;
    case Qt::Key_Down:
        return FunctionalKey::down;
    case Qt::Key_Right:
        return FunctionalKey::right;
    case Qt::Key_Left:
        return FunctionalKey::left;
    case Qt::Key_Home:
        return FunctionalKey::home;
    case Qt::Key_End:
        return FunctionalKey::end;
    case Qt::Key_PageUp:
        return FunctionalKey::pageUp;
    case Qt::Key_PageDown:
        return FunctionalKey::pageDown;
    case Qt::Key_Insert:
    case Qt::Key_Help:
        return FunctionalKey::insert;
    case Qt::Key_Delete:
        return FunctionalKey::forwardDelete;
    case Qt::Key_F1:
        return FunctionalKey::f1;
    case Qt::Key_F2:
        return FunctionalKey::f2;
    case Qt::Key_F3:
        return FunctionalKey::f3;
    case Qt::Key_F4:
        return FunctionalKey::f4;
    case Qt::Key_F5:
        return FunctionalKey::f5;
    case Qt::Key_F6:
        return FunctionalKey::f6;
    case Qt::Key_F7:
        return FunctionalKey::f7;
    case Qt::Key_F8:
        return FunctionalKey::f8;
    case Qt::Key_F9:
        return FunctionalKey::f9;
    case Qt::Key_F10:
        return FunctionalKey::f10;
    case Qt::Key_F11:
        return FunctionalKey::f11;
    case Qt::Key_F12:
        return FunctionalKey::f12;
    default:
        return FunctionalKey::none;
    }
}

bool isModifierOnlyKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
    case Qt::Key_Multi_key:
    case Qt::Key_unknown:
        return true;
    default:
        return qtKey >= Qt::Key_Dead_Grave && qtKey <= Qt::Key_Dead_Longsolidusoverlay;
    }
}

std::optional<char32_t> firstScalar(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    const QChar first = text.at(0);
    if (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate())
        return QChar::surrogateToUcs4(first, text.at(1));
    if (first.isSurrogate()) return std::nullopt;
    return char32_t(first.unicode());
}

bool isPrintableText(const QString& text) {
    const std::optional<char32_t> c = firstScalar(text);
    return c && *c >= 0x20 && *c != 0x7F;
}

std::optional<char32_t> unmodifiedCharacter(int qtKey, const QString& text) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return char32_t('a' + (qtKey - Qt::Key_A));
    // Below the special keys a Qt key is the character itself, upper case for letters.
    if (qtKey >= 0x20 && qtKey < Qt::Key_Escape && qtKey <= 0x10FFFF && !(qtKey >= 0xD800 && qtKey < 0xE000))
        return char32_t(QChar::toLower(char32_t(qtKey)));
    if (isPrintableText(text)) return char32_t(QChar::toLower(*firstScalar(text)));
    return std::nullopt;
}

int xtermModifierParam(bool shift, bool alt, bool control) {
    return 1 + (shift ? 1 : 0) + (alt ? 2 : 0) + (control ? 4 : 0);
}

QByteArray xtermFunctionalKey(FunctionalKey key, int m, bool appCursorMode) {
    const auto letterKey = [&](char final, bool followsCursorMode) {
        if (m > 1) return kCsi + QByteArray("1;") + QByteArray::number(m) + final;
        return QByteArray(followsCursorMode && appCursorMode ? "\x1bO" : kCsi) + final;
    };
    const auto tildeKey = [&](int number) {
        QByteArray out = kCsi + QByteArray::number(number);
        if (m > 1) out += ';' + QByteArray::number(m);
        return out + '~';
    };
    const auto pfKey = [&](char final) {
        if (m > 1) return kCsi + QByteArray("1;") + QByteArray::number(m) + final;
        return QByteArray("\x1bO") + final;
    };
    switch (key) {
    case FunctionalKey::up:
        return letterKey('A', true);
    case FunctionalKey::down:
        return letterKey('B', true);
    case FunctionalKey::right:
        return letterKey('C', true);
    case FunctionalKey::left:
        return letterKey('D', true);
    // The terminal description this terminal announces (xterm-256color) names Home and End in
    // their SS3 form, which programs expect while they have switched the cursor keys.
    case FunctionalKey::home:
        return letterKey('H', true);
    case FunctionalKey::end:
        return letterKey('F', true);
    case FunctionalKey::insert:
        return tildeKey(2);
    case FunctionalKey::forwardDelete:
        return tildeKey(3);
    case FunctionalKey::pageUp:
        return tildeKey(5);
    case FunctionalKey::pageDown:
        return tildeKey(6);
    case FunctionalKey::f1:
        return pfKey('P');
    case FunctionalKey::f2:
        return pfKey('Q');
    case FunctionalKey::f3:
        return pfKey('R');
    case FunctionalKey::f4:
        return pfKey('S');
    case FunctionalKey::f5:
        return tildeKey(15);
    case FunctionalKey::f6:
        return tildeKey(17);
    case FunctionalKey::f7:
        return tildeKey(18);
    case FunctionalKey::f8:
        return tildeKey(19);
    case FunctionalKey::f9:
        return tildeKey(20);
    case FunctionalKey::f10:
        return tildeKey(21);
    case FunctionalKey::f11:
        return tildeKey(23);
    case FunctionalKey::f12:
        return tildeKey(24);
    case FunctionalKey::none:
        break;
    }
    return {};
}

std::optional<char> controlByte(char32_t c) {
    if (c >= U'a' && c <= U'z') return char(c - 0x60);
    if (c == U'@' || c == U' ') return char(0);
    if (c == U'[' || c == U'\\' || c == U']' || c == U'^' || c == U'_') return char(c - 0x40);
    return std::nullopt;
}

std::optional<QByteArray> kittyEncode(const KeyInput& in, KeyEventType type, int flags) {
    if (flags < 1) return std::nullopt;
    const bool reportTypes = (flags & kKittyReportEventTypes) != 0;
    if (type == KeyEventType::release && !reportTypes) return std::nullopt;

    const int bits = (in.shift ? 1 : 0) + (in.alt ? 2 : 0) + (in.control ? 4 : 0) + (in.super ? 8 : 0);
    KittyKey key;
    bool textKey = false;
    if (const auto functional = kittyFunctionalKey(functionalKeyOf(in.key))) {
        key = *functional;
    } else if (const auto control = kittyControlKey(in.key)) {
        // Enter, Tab and Backspace stay what they always were unless a modifier is held, press and
        // release alike.
        const bool legacy = in.key == Qt::Key_Return || in.key == Qt::Key_Tab || in.key == Qt::Key_Backspace;
        if (legacy && bits == 0) return std::nullopt;
        key = *control;
    } else {
        const std::optional<char32_t> c = unmodifiedCharacter(in.key, in.text);
        if (!c) return std::nullopt;
        // Text typed without modifiers other than Shift is sent as text; only its release, when
        // asked for, is an event of its own.
        if (type != KeyEventType::release && !in.alt && !in.control && !in.super && isPrintableText(in.text))
            return std::nullopt;
        key = KittyKey{int(*c), 'u'};
        textKey = true;
    }

    const int param = 1 + bits;
    QByteArray textField;
    if (textKey && (flags & kKittyReportAlternates) != 0) {
        const std::optional<char32_t> produced = firstScalar(in.text);
        if (produced && int(*produced) != key.number && *produced > 31)
            textField = ';' + QByteArray::number(quint32(*produced));
    }
    const bool needsParam = param > 1 || reportTypes || !textField.isEmpty();
    QByteArray out(kCsi);
    if (!needsParam) {
        if (!isLetterFinal(key.final)) out += QByteArray::number(key.number);
        return out + key.final;
    }
    out += QByteArray::number(key.number) + ';' + QByteArray::number(param);
    if (reportTypes) out += ':' + QByteArray::number(int(type));
    return out + textField + key.final;
}

} // namespace keys
