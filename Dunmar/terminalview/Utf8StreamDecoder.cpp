#include "terminalview/Utf8StreamDecoder.h"

namespace {
// The length a lead byte announces, or 0 for a continuation byte or a byte that never starts one.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}
} // namespace

qsizetype utf8CompletePrefixLength(QByteArrayView bytes) {
    const qsizetype size = bytes.size();
    // Walk back over at most three continuation bytes to the lead of the last sequence.
    for (qsizetype back = 1; back <= 4 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if (isContinuation(byte)) continue;
        const int needed = sequenceLength(byte);
        // A finished sequence, or a byte that is invalid anyway (the validator reports it).
        if (needed == 0 || needed <= back) return size;
        return size - back;
    }
    return size;
}

bool isValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const int length = sequenceLength(lead);
        if (length == 0 || i + length > size) return false;
        for (int k = 1; k < length; ++k)
            if (!isContinuation(p[i + k])) return false;
        const unsigned char second = p[i + 1];
        if (lead == 0xE0 && second < 0xA0) return false; // overlong
        if (lead == 0xED && second > 0x9F) return false; // surrogate
        if (lead == 0xF0 && second < 0x90) return false; // overlong
        if (lead == 0xF4 && second > 0x8F) return false; // above U+10FFFF
        i += length;
    }
    return true;
}

std::optional<QString> Utf8StreamDecoder::decode(QByteArrayView piece) {
    QByteArray bytes = carry_;
    bytes.append(piece.data(), piece.size());
    const qsizetype complete = utf8CompletePrefixLength(bytes);
    carry_ = bytes.mid(complete);
    bytes.truncate(complete);
    if (!isValidUtf8(bytes)) return std::nullopt;
    return QString::fromUtf8(bytes);
}
