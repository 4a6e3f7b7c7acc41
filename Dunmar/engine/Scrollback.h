#pragma once

#include "engine/Cell.h"

#include <cstdint>
#include <span>
#include <vector>

using Row = std::vector<Cell>;

// The lines scrolled off the top of the main screen, oldest first, in a ring of at most
// `capacity` rows: pushing a line costs O(1) row moves however full the scrollback is, and the
// storage of the line that falls out is handed back for reuse as the new blank grid row.
class Scrollback {
public:
    static constexpr std::size_t kDefaultCapacity = 10000;

    explicit Scrollback(std::size_t capacity = kDefaultCapacity) : capacity_(capacity ? capacity : 1) {}

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }

    // Line i, 0 being the oldest; each keeps the width it had when it left the screen.
    std::span<const Cell> line(std::size_t i) const { return ring_[(head_ + i) % capacity_]; }
    // For the owner's renumbering of attribute and link ids; the width never changes.
    std::span<Cell> mutableLine(std::size_t i) { return ring_[(head_ + i) % capacity_]; }

    // Appends a line. When the ring was full the oldest line is dropped and its storage returned
    // (emptied but with its capacity) so the caller can reuse it; otherwise an empty row.
    Row push(Row&& row);
    // Removes every line (they count as dropped).
    void clear();

    // Lines ever pushed and ever dropped (by overflow or clear()); they only grow, and
    // pushedTotal() - droppedTotal() == size(). A view that remembers a position as
    // (droppedTotal() at the time + index) keeps it stable while output arrives.
    std::uint64_t pushedTotal() const { return pushed_; }
    std::uint64_t droppedTotal() const { return dropped_; }

    // Bytes held by the ring and its lines (capacities, not sizes; allocator overhead excluded).
    std::size_t memoryFootprint() const;

private:
    std::vector<Row> ring_;
    std::size_t capacity_;
    std::size_t head_ = 0; // index of the oldest line once the ring is full
    std::size_t size_ = 0;
    std::uint64_t pushed_ = 0;
    std::uint64_t dropped_ = 0;
};
