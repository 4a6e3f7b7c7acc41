#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <deque>

// Input for the shell that the pseudo-terminal could not take yet. A full input buffer (a large
// paste while the shell is busy) must neither lose bytes nor stall the GUI thread, so the bytes wait
// here, in order, until the descriptor is writable again.
class WriteQueue {
public:
    enum class Result {
        Drained,    // everything queued has been written
        WouldBlock, // the descriptor is full; wait until it is writable
        Failed,     // the descriptor is gone (the shell's side hung up); the queue was dropped
    };

    void append(QByteArrayView bytes);
    // Writes as much as the non-blocking descriptor takes.
    Result flush(int fd);
    void clear();
    bool isEmpty() const { return pending_ == 0; }
    qsizetype pendingBytes() const { return pending_; }

private:
    std::deque<QByteArray> chunks_;
    qsizetype frontOffset_ = 0; // bytes of the first chunk already written
    qsizetype pending_ = 0;
};
