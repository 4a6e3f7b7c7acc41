#include "engine/Scrollback.h"

namespace {

// The storage of the line dropped two pushes from now becomes a blank grid row then: it was
// written 10,000 lines ago and is long out of the caches, so its cache lines are asked for now,
// for writing, while the lines in between are printed. Otherwise every scrolled line waits on
// memory for a whole row.
void prefetchForReuse(const Row& row) {
#if defined(__GNUC__)
    const char* p = reinterpret_cast<const char*>(row.data());
    const char* const end = p + row.size() * sizeof(Cell);
    for (; p < end; p += 64) __builtin_prefetch(p, 1, 3);
#else
    (void)row;
#endif
}

} // namespace

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
    prefetchForReuse(ring_[(head_ + 1) % capacity_]);
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
