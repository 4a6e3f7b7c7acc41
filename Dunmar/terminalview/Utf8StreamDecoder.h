#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// Turns pieces of shell output into text for the remote viewer. A multi-byte character split across
// two reads is carried over and delivered whole with the next piece. A piece holding bytes that are
// not UTF-8 yields no text (the viewer only takes text), but an unfinished sequence at its end is
// still carried over.
class Utf8StreamDecoder {
public:
    // The text of carry + piece up to its last complete character, or nothing when that part is not
    // valid UTF-8. The result may be empty (a piece that only started a character).
    std::optional<QString> decode(QByteArrayView piece);
    // Forgets a carried partial character (a new shell starts a new stream).
    void reset() { carry_.clear(); }
    qsizetype carriedBytes() const { return carry_.size(); }

private:
    QByteArray carry_;
};

// Length of the longest prefix of bytes that ends on a character boundary, given that the bytes
// after it begin a character that is still incomplete (at most three bytes are held back).
qsizetype utf8CompletePrefixLength(QByteArrayView bytes);
// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(QByteArrayView bytes);
