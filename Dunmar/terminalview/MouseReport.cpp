#include "terminalview/MouseReport.h"

#include <algorithm>

namespace mousereport {

namespace {

void appendUtf8(QByteArray& out, std::int64_t value) {
    if (value < 0x80) {
        out.append(char(value));
    } else {
        out.append(char(0xC0 | (value >> 6)));
        out.append(char(0x80 | (value & 0x3F)));
    }
}

} // namespace

QByteArray encode(int button, std::int64_t x, std::int64_t y, bool release, MouseEncoding mouseEncoding) {
    if (mouseEncoding == MouseEncoding::sgr) {
        return QByteArrayLiteral("\x1b[<") + QByteArray::number(std::max(button, 0)) + ';' +
               QByteArray::number(x) + ';' + QByteArray::number(y) + (release ? 'm' : 'M');
    }
    const int b = std::max(release ? kLegacyRelease : button, 0);
    QByteArray out("\x1b[M");
    if (mouseEncoding == MouseEncoding::utf8) {
        appendUtf8(out, std::min<std::int64_t>(b + 32, kUtf8MaxCoordinate + 32));
        appendUtf8(out, std::clamp<std::int64_t>(x, 0, kUtf8MaxCoordinate) + 32);
        appendUtf8(out, std::clamp<std::int64_t>(y, 0, kUtf8MaxCoordinate) + 32);
        return out;
    }
    out.append(char(std::min(b + 32, 255)));
    out.append(char(std::clamp<std::int64_t>(x, 0, kLegacyMaxCoordinate) + 32));
    out.append(char(std::clamp<std::int64_t>(y, 0, kLegacyMaxCoordinate) + 32));
    return out;
}

} // namespace mousereport
