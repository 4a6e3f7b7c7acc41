#pragma once

#include "engine/Cell.h"
#include "engine/Scrollback.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// The visible rows of one screen with their line attributes. Rows live in slots and the screen
// order is a list of slot numbers, so scrolling, inserting and deleting lines move 4-byte indices
// and never a row's cells; the attribute byte belongs to the slot and moves with its row.
class Grid {
public:
    Grid() = default;
    Grid(std::int64_t cols, std::int64_t rows) : slots_(std::size_t(rows), Row(std::size_t(cols), Cell{})) {
        attrs_.assign(slots_.size(), 0);
        resetOrder();
    }
    // Takes rows given in screen order (attrs has one entry per row).
    Grid(std::vector<Row>&& rows, std::vector<std::uint8_t>&& attrs)
        : slots_(std::move(rows)), attrs_(std::move(attrs)) {
        attrs_.resize(slots_.size(), 0);
        resetOrder();
    }

    std::int64_t rowCount() const { return std::int64_t(order_.size()); }
    bool empty() const { return order_.empty(); }
    Row& row(std::int64_t y) { return slots_[order_[std::size_t(y)]]; }
    const Row& row(std::int64_t y) const { return slots_[order_[std::size_t(y)]]; }
    std::uint8_t& attr(std::int64_t y) { return attrs_[order_[std::size_t(y)]]; }
    std::uint8_t attr(std::int64_t y) const { return attrs_[order_[std::size_t(y)]]; }

    // Reorders the screen rows [first, last) so that row `middle` comes first, as std::rotate.
    void rotate(std::int64_t first, std::int64_t middle, std::int64_t last) {
        std::rotate(order_.begin() + first, order_.begin() + middle, order_.begin() + last);
    }
    // Exchanges the storage of screen row y with `other`; the row's attribute byte is kept.
    void swapRow(std::int64_t y, Row& other) { std::swap(row(y), other); }

    // Moves the rows and their attributes out in screen order, leaving the grid empty.
    void release(std::vector<Row>& rows, std::vector<std::uint8_t>& attrs) {
        rows.clear();
        attrs.clear();
        for (std::uint32_t slot : order_) {
            rows.push_back(std::move(slots_[slot]));
            attrs.push_back(attrs_[slot]);
        }
        clear();
    }
    void clear() {
        slots_.clear();
        attrs_.clear();
        order_.clear();
    }

    // Visits every row in storage order, for walks that do not care about the screen order.
    template <class F> void forEachRow(F&& f) {
        for (Row& r : slots_) f(r);
    }
    template <class F> void forEachRow(F&& f) const {
        for (const Row& r : slots_) f(r);
    }

    // Bytes held by the rows and the per-row tables (capacities; allocator overhead excluded).
    std::size_t memoryFootprint() const {
        std::size_t bytes =
            slots_.capacity() * sizeof(Row) + attrs_.capacity() + order_.capacity() * sizeof(std::uint32_t);
        for (const Row& r : slots_) bytes += r.capacity() * sizeof(Cell);
        return bytes;
    }

private:
    void resetOrder() {
        order_.resize(slots_.size());
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = std::uint32_t(i);
    }

    std::vector<Row> slots_;
    std::vector<std::uint8_t> attrs_;  // per slot
    std::vector<std::uint32_t> order_; // screen row -> slot
};
