#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

// Bytes from outside, taken in up to a limit fixed before the first one arrives. A server that
// never stops answering, a child that prints without end and a file that grows while it is read
// all stop at the limit, not at the end of memory.
class BoundedBuffer {
public:
    explicit BoundedBuffer(qint64 limit);

    // Appends `bytes`; false, keeping none of them, when the total would pass the limit. From then
    // on the buffer is over its limit and takes nothing more.
    bool append(QByteArrayView bytes);
    // Appends as much of `bytes` as fits and drops the rest (the start of a long message is
    // enough); false when something was dropped.
    bool appendWhatFits(QByteArrayView bytes);
    // Reads what `device` has ready now (to its end, for a file), never more than one byte past
    // the limit, and keeps what fits; false once over the limit.
    bool readFrom(QIODevice& device);

    // Makes room for `bytes` up front (never more than the limit), sparing repeated growth.
    void reserve(qint64 bytes);

    bool isOverLimit() const { return overLimit_; }
    qint64 limit() const { return limit_; }
    qint64 size() const { return bytes_.size(); }
    const QByteArray& bytes() const { return bytes_; }
    QByteArray take();

private:
    QByteArray bytes_;
    qint64 limit_;
    bool overLimit_ = false;
};

// A byte count as people read it in a message: "512 bytes", "64 KiB", "1.5 MiB".
QString byteCountText(qint64 bytes);
