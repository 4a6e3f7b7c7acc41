#include "support/QtPrinters.h"

#include <QList>
#include <cstdio>
#include <ostream>

namespace {

void printEscape(std::ostream& os, const char* format, unsigned value) {
    char buffer[12];
    std::snprintf(buffer, sizeof buffer, format, value);
    os << buffer;
}

// The escapes both printers share; false when `c` needs none.
bool printNamedEscape(std::ostream& os, char32_t c) {
    switch (c) {
    case '"':
        os << "\\\"";
        return true;
    case '\\':
        os << "\\\\";
        return true;
    case '\n':
        os << "\\n";
        return true;
    case '\r':
        os << "\\r";
        return true;
    case '\t':
        os << "\\t";
        return true;
    case 0x1b:
        os << "\\e";
        return true;
    default:
        return false;
    }
}

} // namespace

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"';
    for (const uint codePoint : text.toUcs4()) {
        const char32_t c = codePoint;
        if (printNamedEscape(*os, c)) continue;
        const bool control = c < 0x20 || (c >= 0x7f && c < 0xa0);
        if (control)
            printEscape(*os, "\\u%04X", static_cast<unsigned>(c));
        else
            *os << QString::fromUcs4(&c, 1).toStdString();
    }
    *os << '"';
}

void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"';
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (printNamedEscape(*os, b)) continue;
        if (b >= 0x20 && b < 0x7f)
            *os << byte;
        else
            printEscape(*os, "\\x%02X", b);
    }
    *os << '"';
}
