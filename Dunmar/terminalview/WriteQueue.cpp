#include "terminalview/WriteQueue.h"

#include <cerrno>
#include <unistd.h>

void WriteQueue::append(QByteArrayView bytes) {
    if (bytes.isEmpty()) return;
    chunks_.emplace_back(bytes.data(), bytes.size());
    pending_ += bytes.size();
}

WriteQueue::Result WriteQueue::flush(int fd) {
    while (!chunks_.empty()) {
        const QByteArray& front = chunks_.front();
        const ssize_t written =
            ::write(fd, front.constData() + frontOffset_, size_t(front.size() - frontOffset_));
        if (written < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return Result::WouldBlock;
            clear();
            return Result::Failed;
        }
        if (written == 0) return Result::WouldBlock;
        frontOffset_ += written;
        pending_ -= written;
        if (frontOffset_ == front.size()) {
            chunks_.pop_front();
            frontOffset_ = 0;
        }
    }
    return Result::Drained;
}

void WriteQueue::clear() {
    chunks_.clear();
    frontOffset_ = 0;
    pending_ = 0;
}
