#include "engine/Scrollback.h"

Row Scrollback::push(Row&& row) {
    ++pushed_;
    if (size_ < capacity_) {
        // The ring grows by appending until it is full; from then on slots are reused in place.
        std::size_t slot = (head_ + size_) % capacity_;
        if (slot == ring_.size()) {
            ring_.push_back(std::move(row));
        } else {
            ring_[slot] = std::move(row);
        }
        ++size_;
        return Row();
    }
    Row dropped = std::move(ring_[head_]);
    ring_[head_] = std::move(row);
    head_ = (head_ + 1) % capacity_;
    ++dropped_;
    dropped.clear();
    return dropped;
}

void Scrollback::clear() {
    dropped_ += size_;
    ring_.clear();
    head_ = 0;
    size_ = 0;
}

std::size_t Scrollback::memoryFootprint() const {
    std::size_t bytes = ring_.capacity() * sizeof(Row);
    for (const Row& row : ring_) bytes += row.capacity() * sizeof(Cell);
    return bytes;
}
