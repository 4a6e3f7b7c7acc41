#include "platform/PlainText.h"

#include <QLabel>
#include <QTextDocument>

namespace plaintext {

namespace {

// Marks that change the order or direction of the text around them without showing themselves: a
// name holding U+202E reads backwards from there on.
bool isDirectionControl(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool needsEscape(char16_t c, Lines lines) {
    if (lines == Lines::kept && (c == u'\n' || c == u'\t')) return false;
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           isDirectionControl(c);
}

void appendEscape(QString& out, char16_t c) {
    switch (c) {
    case 0x07:
        out += QLatin1String("\\a");
        return;
    case 0x08:
        out += QLatin1String("\\b");
        return;
    case 0x09:
        out += QLatin1String("\\t");
        return;
    case 0x0A:
        out += QLatin1String("\\n");
        return;
    case 0x0B:
        out += QLatin1String("\\v");
        return;
    case 0x0C:
        out += QLatin1String("\\f");
        return;
    case 0x0D:
        out += QLatin1String("\\r");
        return;
    case 0x1B:
        out += QLatin1String("\\e");
        return;
    default:
        break;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += QLatin1String(c < 0x80 ? "\\x" : "\\u");
    for (int shift = c < 0x80 ? 4 : 12; shift >= 0; shift -= 4) out += QLatin1Char(kHex[(c >> shift) & 0xF]);
}

} // namespace

QString visibleEscapes(QStringView text, Lines lines) {
    qsizetype first = 0;
    while (first < text.size() && !needsEscape(text[first].unicode(), lines)) ++first;
    if (first == text.size()) return text.toString();
    QString out;
    out.reserve(text.size() + 16);
    out += text.left(first);
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (needsEscape(c, lines))
            appendEscape(out, c);
        else
            out += QChar(c);
    }
    return out;
}

void makePlain(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
}

void setLabelText(QLabel* label, const QString& text, Lines lines) {
    makePlain(label);
    label->setText(visibleEscapes(text, lines));
}

QString menuText(const QString& text) {
    QString out = visibleEscapes(text);
    out.replace(QLatin1Char('&'), QLatin1String("&&"));
    return out;
}

QString toolTip(const QString& text) {
    const QString shown = visibleEscapes(text, Lines::kept);
    if (!Qt::mightBeRichText(shown)) return shown;
    // Escaped and wrapped as a paragraph of its own, the rich-text tooltip draws the characters.
    return Qt::convertFromPlainText(shown, Qt::WhiteSpaceNormal);
}

} // namespace plaintext
