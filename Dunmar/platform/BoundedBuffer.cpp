#include "platform/BoundedBuffer.h"

#include <QIODevice>
#include <algorithm>
#include <utility>

BoundedBuffer::BoundedBuffer(qint64 limit) : limit_(std::max<qint64>(0, limit)) {}

bool BoundedBuffer::append(QByteArrayView bytes) {
    if (overLimit_) return false;
    if (bytes.size() > limit_ - bytes_.size()) {
        overLimit_ = true;
        return false;
    }
    bytes_.append(bytes);
    return true;
}

bool BoundedBuffer::appendWhatFits(QByteArrayView bytes) {
    const qint64 room = limit_ - bytes_.size();
    if (bytes.size() <= room) return append(bytes);
    bytes_.append(bytes.first(room));
    overLimit_ = true;
    return false;
}

bool BoundedBuffer::readFrom(QIODevice& device) {
    // Reads in pieces, so that what lies beyond the limit is never taken in: one byte more than
    // fits is enough to know.
    constexpr qint64 kPiece = 65536;
    while (!overLimit_) {
        const QByteArray piece = device.read(std::min(kPiece, limit_ - bytes_.size() + 1));
        if (piece.isEmpty()) break;
        appendWhatFits(piece);
    }
    return !overLimit_;
}

void BoundedBuffer::reserve(qint64 bytes) {
    bytes_.reserve(static_cast<qsizetype>(std::clamp<qint64>(bytes, 0, limit_)));
}

QByteArray BoundedBuffer::take() {
    return std::exchange(bytes_, QByteArray());
}

QString byteCountText(qint64 bytes) {
    constexpr qint64 kKiB = 1024, kMiB = 1024 * 1024;
    const auto scaled = [bytes](qint64 unit, const char* name) {
        // One digit after the point, none when it is a zero.
        QString number = QString::number(double(bytes) / double(unit), 'f', 1);
        if (number.endsWith(QLatin1String(".0"))) number.chop(2);
        return number + QLatin1Char(' ') + QLatin1String(name);
    };
    if (bytes >= kMiB) return scaled(kMiB, "MiB");
    if (bytes >= kKiB) return scaled(kKiB, "KiB");
    return QString::number(bytes) + QStringLiteral(" bytes");
}
