#include "engine/Bidi.h"

#include "engine/CharWidth.h"

#include <algorithm>
#include <memory>
#include <unicode/ubidi.h>
#include <unicode/utf16.h>

namespace {

struct BidiCloser {
    void operator()(UBiDi* b) const { ubidi_close(b); }
};

} // namespace

std::optional<std::vector<std::int64_t>> bidiVisualOrder(std::span<const Cell> row, std::int64_t cols,
                                                         const ClusterTable* clusters) {
    const auto baseOf = [clusters](const Cell& cell) { return clusters ? clusters->base(cell.ch) : cell.ch; };
    const std::int64_t m = std::min<std::int64_t>(cols, std::int64_t(row.size()));
    if (m <= 0) return std::nullopt;
    bool anyRTL = false;
    for (std::int64_t i = 0; i < m && !anyRTL; ++i) anyRTL = isStrongRTL(baseOf(row[std::size_t(i)]));
    if (!anyRTL) return std::nullopt;

    // One entry per shown scalar. ICU works in UTF-16, so each entry remembers where its units
    // start and every unit where its entry is: the result is then counted in cells, never in
    // UTF-16 units, whatever planes the characters come from.
    std::vector<UChar> text;
    std::vector<std::int64_t> entryColumn;
    std::vector<std::int32_t> entryStart;
    std::vector<std::int32_t> unitEntry;
    for (std::int64_t i = 0; i < m; ++i) {
        const Cell& cell = row[std::size_t(i)];
        if (cell.width == 0) continue;
        const char32_t base = baseOf(cell);
        const char32_t c = base <= 0x10FFFF && !(base >= 0xD800 && base <= 0xDFFF) ? base : U' ';
        entryStart.push_back(std::int32_t(text.size()));
        if (U16_LENGTH(c) == 1) {
            text.push_back(UChar(c));
        } else {
            text.push_back(U16_LEAD(c));
            text.push_back(U16_TRAIL(c));
        }
        while (unitEntry.size() < text.size()) unitEntry.push_back(std::int32_t(entryColumn.size()));
        entryColumn.push_back(i);
    }
    if (text.empty()) return std::nullopt;

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UBiDi, BidiCloser> bidi(ubidi_openSized(std::int32_t(text.size()), 0, &status));
    if (U_FAILURE(status)) return std::nullopt;
    ubidi_setPara(bidi.get(), text.data(), std::int32_t(text.size()), UBIDI_DEFAULT_LTR, nullptr, &status);
    if (U_FAILURE(status)) return std::nullopt;
    const std::int32_t runs = ubidi_countRuns(bidi.get(), &status);
    if (U_FAILURE(status)) return std::nullopt;

    std::vector<std::int64_t> order;
    order.reserve(std::size_t(m) + 1);
    std::vector<bool> listed(std::size_t(m), false);
    auto emitUnit = [&](std::int32_t unit) {
        const std::int32_t entry = unitEntry[std::size_t(unit)];
        if (entryStart[std::size_t(entry)] != unit) return; // the second unit of a surrogate pair
        const std::int64_t col = entryColumn[std::size_t(entry)];
        order.push_back(col);
        if (row[std::size_t(col)].width == 2) order.push_back(col);
        listed[std::size_t(col)] = true;
    };
    for (std::int32_t r = 0; r < runs; ++r) {
        std::int32_t start = 0;
        std::int32_t length = 0;
        const UBiDiDirection dir = ubidi_getVisualRun(bidi.get(), r, &start, &length);
        if (dir == UBIDI_RTL) {
            for (std::int32_t u = start + length - 1; u >= start; --u) emitUnit(u);
        } else {
            for (std::int32_t u = start; u < start + length; ++u) emitUnit(u);
        }
    }
    for (std::int64_t c = 0; c < m; ++c) {
        if (!listed[std::size_t(c)] && row[std::size_t(c)].width != 0) {
            order.push_back(c);
            if (row[std::size_t(c)].width == 2) order.push_back(c);
        }
    }
    if (order.empty()) return std::nullopt;
    return order;
}
