// Writing characters, line feeds and scrolling the region.
#include "engine/CharWidth.h"
#include "engine/Terminal.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void Terminal::wrapToNextLine() {
    grid_.attr(cursor_.y) |= LineAttr::softWrapped;
    cursor_.x = 0;
    cursor_.pendingWrap = false;
    lf();
}

void Terminal::blankWideHalves(Row& row, std::int64_t rightHalf) {
    for (std::size_t x : {std::size_t(rightHalf - 1), std::size_t(rightHalf)}) {
        row[x].ch = U' ';
        row[x].width = 1;
    }
}

void Terminal::put(char32_t c) {
    if (activeCharsetIsGraphics() && c >= 0x60 && c <= 0x7E) c = decGraphics(c);
    const int w = unicodeWidth(c);
    const std::int64_t e = effectiveCols(cursor_.y);
    if (w == 0) {
        composeIntoPrevious(c);
        return;
    }
    const CellPattern pen = penPattern();
    if (cursor_.pendingWrap && modes_[Mode::autoWrap]) wrapToNextLine();
    if (w == 2 && modes_[Mode::autoWrap] && cursor_.x == e - 1) {
        // No room for both halves: the last column gets a blank and the character moves down.
        splitWideAt(rowAt(cursor_.y), cursor_.x);
        rowAt(cursor_.y)[std::size_t(cursor_.x)] = pen.cell(U' ');
        wrapToNextLine();
    }
    if (cursor_.y < 0 || cursor_.y >= rows_ || cursor_.x < 0 || cursor_.x >= cols_) return;
    Row& row = rowAt(cursor_.y);
    const auto x = std::size_t(cursor_.x);
    splitWideAt(row, cursor_.x);
    if (modes_[Mode::insert]) {
        std::size_t k = w == 2 ? 2 : 1;
        if (x + k < row.size()) {
            splitWideAt(row, std::int64_t(row.size() - k)); // pushed off the row by half
            std::move_backward(row.begin() + std::ptrdiff_t(x), row.end() - std::ptrdiff_t(k), row.end());
        }
    } else {
        splitWideAt(row, cursor_.x + (w == 2 && cursor_.x + 1 < cols_ ? 2 : 1));
    }
    if (w == 2 && cursor_.x + 1 < cols_) {
        pen.withWidth(2).store(&row[x], c);
        pen.withWidth(0).store(&row[x + 1], U' ');
        cursor_.x += 2;
    } else {
        pen.store(&row[x], c);
        cursor_.x += 1;
    }
    lastChar_ = c;
    if (cursor_.x >= e) {
        cursor_.x = e - 1;
        cursor_.pendingWrap = true;
    }
}

// A zero-width scalar joins the character written last. While a wrap is pending that character
// is under the cursor (the cursor stays on the last column), otherwise just left of it.
void Terminal::composeIntoPrevious(char32_t mark) {
    if (mark == 0x7F) return; // DEL composes with nothing
    std::int64_t tx = 0;
    std::int64_t ty = cursor_.y;
    if (cursor_.pendingWrap) {
        tx = cursor_.x;
    } else if (cursor_.x >= 1) {
        tx = cursor_.x - 1;
    } else if (cursor_.y >= 1) {
        tx = cols_ - 1;
        ty = cursor_.y - 1;
    } else {
        return;
    }
    if (ty < 0 || ty >= rows_ || tx < 0 || tx >= cols_) return;
    // After a wide character the cell left of the cursor is its right half.
    if (tx > 0 && rowAt(ty)[std::size_t(tx)].width == 0) --tx;
    Cell& target = rowAt(ty)[std::size_t(tx)];
    target.ch = appendMark(target.ch, mark);
}

namespace {

// Writes k cells that differ from `pen` only in their characters, text[0 .. k).
void writeAsciiCells(Cell* dst, const char* text, std::size_t k, const CellPattern& pen) {
    std::size_t i = 0;
#if defined(__SSE2__)
    if (k >= 16) {
        // Four cells are 48 bytes, three vector stores (for runs long enough to pay for the setup): the pen's
        // three words in their places, the four characters widened to 32 bits, shuffled into the first
        // word of each cell and added to it.
        static_assert(sizeof(Cell) == 12);
        const int w0 = int(pen.word(0));
        const int w1 = int(pen.word(1));
        const int w2 = int(pen.word(2));
        const __m128i pen0 = _mm_setr_epi32(w0, w1, w2, w0);
        const __m128i pen1 = _mm_setr_epi32(w1, w2, w0, w1);
        const __m128i pen2 = _mm_setr_epi32(w2, w0, w1, w2);
        const __m128i keep0 = _mm_setr_epi32(-1, 0, 0, -1);
        const __m128i keep1 = _mm_setr_epi32(0, 0, -1, 0);
        const __m128i keep2 = _mm_setr_epi32(0, -1, 0, 0);
        const __m128i zero = _mm_setzero_si128();
        for (; i + 4 <= k; i += 4) {
            std::int32_t four;
            std::memcpy(&four, text + i, 4);
            __m128i chars = _mm_cvtsi32_si128(four);
            chars = _mm_unpacklo_epi16(_mm_unpacklo_epi8(chars, zero), zero); // c0 c1 c2 c3 as 32-bit
            auto* out = reinterpret_cast<__m128i*>(dst + i);
            _mm_storeu_si128(
                out,
                _mm_or_si128(_mm_and_si128(_mm_shuffle_epi32(chars, _MM_SHUFFLE(1, 0, 0, 0)), keep0), pen0));
            _mm_storeu_si128(
                out + 1,
                _mm_or_si128(_mm_and_si128(_mm_shuffle_epi32(chars, _MM_SHUFFLE(0, 2, 0, 0)), keep1), pen1));
            _mm_storeu_si128(
                out + 2,
                _mm_or_si128(_mm_and_si128(_mm_shuffle_epi32(chars, _MM_SHUFFLE(0, 0, 3, 0)), keep2), pen2));
        }
    }
#endif
    for (; i < k; ++i) pen.store(dst + i, char32_t(static_cast<unsigned char>(text[i])));
}

} // namespace

// The ground-state fast path: a run of printable ASCII (0x20-0x7E) goes straight into the row,
// one bounds check per row segment instead of one dispatch per byte. Whatever the fast path does
// not cover (insert mode, the graphics set, double-width rows) goes through put() one by one.
void Terminal::printAscii(const char* text, std::size_t n) {
    const CellPattern pen = penPattern();
    const std::int64_t cols = cols_;
    while (n > 0) {
        const std::int64_t y = cursor_.y;
        const std::int64_t x = cursor_.x;
        // A cursor inside the grid on a single-size row (or a one-column screen, where the usable
        // width of every row is that one column).
        const bool simple = !modes_[Mode::insert] && !activeCharsetIsGraphics() &&
                            std::uint64_t(y) < std::uint64_t(rows_) &&
                            std::uint64_t(x) < std::uint64_t(cols) &&
                            ((grid_.attr(y) & LineAttr::sizeMask) == 0 || cols == 1);
        if (!simple) {
            put(char32_t(static_cast<unsigned char>(*text)));
            ++text;
            --n;
            continue;
        }
        if (cursor_.pendingWrap) {
            if (modes_[Mode::autoWrap]) {
                wrapToNextLine();
                continue;
            }
            if (x == cols - 1) {
                // Without automatic wrap every further character lands on the last column.
                splitWideAt(rowAt(y), x);
                const char last = text[n - 1];
                pen.store(&rowAt(y)[std::size_t(x)], char32_t(static_cast<unsigned char>(last)));
                lastChar_ = char32_t(last);
                return;
            }
        }
        const std::size_t k = std::min(n, std::size_t(cols - x));
        Row& row = rowAt(y);
        splitWideAt(row, x);
        splitWideAt(row, x + std::int64_t(k));
        writeAsciiCells(row.data() + x, text, k, pen);
        text += k;
        n -= k;
        lastChar_ = char32_t(static_cast<unsigned char>(text[-1]));
        if (x + std::int64_t(k) >= cols) {
            cursor_.x = cols - 1;
            cursor_.pendingWrap = true;
        } else {
            cursor_.x = x + std::int64_t(k);
        }
    }
}

// REP: only as many repeats as can still change something are made. With automatic wrap that is
// enough to run every row of the screen and of the scrollback through; without, one row's worth.
void Terminal::repeatLastChar(std::int64_t n) {
    const std::int64_t limit =
        modes_[Mode::autoWrap] ? cols_ * (rows_ + std::int64_t(kScrollbackLimit) + 1) : cols_ + 1;
    n = std::min(n, limit);
    const char32_t c = lastChar_;
    if (c >= 0x20 && c < 0x7F && !(activeCharsetIsGraphics() && c >= 0x60)) {
        char chunk[256];
        std::fill(std::begin(chunk), std::end(chunk), char(c));
        while (n > 0) {
            std::int64_t k = std::min<std::int64_t>(n, std::int64_t(sizeof chunk));
            printAscii(chunk, std::size_t(k));
            n -= k;
        }
        return;
    }
    for (std::int64_t i = 0; i < n; ++i) put(c);
}

// A line feed (LF, VT, FF, IND, NEL) or reverse index leaves the last column: a wrap that was due
// there no longer is, so the next character lands where the cursor is.
void Terminal::lf() {
    cursor_.pendingWrap = false;
    if (cursor_.y == scrollBottom_) {
        scrollUp(1);
    } else if (cursor_.y < rows_ - 1) {
        cursor_.y += 1;
    }
}

void Terminal::rlf() {
    cursor_.pendingWrap = false;
    if (cursor_.y == scrollTop_) {
        scrollDown(1);
    } else if (cursor_.y > 0) {
        cursor_.y -= 1;
    }
}

// A region scrolls when it has at least two rows. A one-row screen is the exception: its only
// row is the whole screen, and refusing to scroll it would drop every line written to it.
bool Terminal::scrollRegionValid() const {
    if (scrollTop_ < 0 || scrollBottom_ >= rows_) return false;
    return scrollTop_ < scrollBottom_ || (rows_ == 1 && scrollTop_ == 0 && scrollBottom_ == 0);
}

bool Terminal::marginsPartial() const {
    return modes_[Mode::leftRightMargins] && (leftMargin_ > 0 || rightMargin_ < cols_ - 1);
}

void Terminal::pushToScrollback(Row&& row) {
    scrollback_.push(std::move(row));
}

void Terminal::scrollUp(std::int64_t n) {
    if (n <= 0 || !scrollRegionValid()) return;
    const std::int64_t top = scrollTop_;
    const std::int64_t bottom = scrollBottom_;
    const std::int64_t height = bottom - top + 1;
    const bool partial = marginsPartial();
    // Past the region's height every further step only pushes blank rows, and past the
    // scrollback's capacity those replace each other: the count is cut to what can be seen.
    n = std::min(n, height + std::int64_t(kScrollbackLimit));
    const std::int64_t k = std::min(n, height);
    if (partial) {
        const auto left = std::size_t(std::max<std::int64_t>(0, leftMargin_));
        const auto right = std::size_t(std::min(rightMargin_, cols_ - 1));
        for (std::int64_t r = top; r <= bottom; ++r) {
            Row& dst = rowAt(r);
            for (std::size_t x = left; x <= right && x < dst.size(); ++x) {
                dst[x] = r + k <= bottom ? rowAt(r + k)[x] : Cell{};
            }
        }
    } else {
        const bool feedScrollback = !altActive_ && top == 0;
        for (std::int64_t y = top; y < top + k; ++y) {
            if (feedScrollback) {
                // The row goes to the scrollback; the storage of the line that fell out of the
                // scrollback (if any) comes back and becomes the new blank row.
                Row out;
                grid_.swapRow(y, out);
                Row recycled = scrollback_.push(std::move(out));
                grid_.swapRow(y, recycled);
            }
            blankRowAt(y);
        }
        grid_.rotate(top, top + k, bottom + 1);
        if (feedScrollback) {
            Row spare;
            for (std::int64_t i = k; i < n; ++i) {
                spare.assign(std::size_t(cols_), Cell{});
                spare = scrollback_.push(std::move(spare));
            }
        }
    }
    shiftImagesAfterScrollUp(n, partial);
}

// Images inside the region move up with its text; one that leaves the top of the region is gone.
// A scroll inside left and right margins moves only part of each row, so images stay put.
void Terminal::shiftImagesAfterScrollUp(std::int64_t n, bool partial) {
    if (sixelImages_.empty() || partial) return;
    const std::int64_t top = scrollTop_;
    const std::int64_t bottom = scrollBottom_;
    sixelImages_.removeIf(
        [&](const SixelImage& img) { return img.row >= top && img.row <= bottom && img.row - n < top; });
    for (SixelImage& img : sixelImages_) {
        if (img.row >= top && img.row <= bottom) img.row -= n;
    }
}

void Terminal::scrollDown(std::int64_t n) {
    if (n <= 0 || !scrollRegionValid()) return;
    const std::int64_t top = scrollTop_;
    const std::int64_t bottom = scrollBottom_;
    const std::int64_t k = std::min(n, bottom - top + 1);
    if (marginsPartial()) {
        const auto left = std::size_t(std::max<std::int64_t>(0, leftMargin_));
        const auto right = std::size_t(std::min(rightMargin_, cols_ - 1));
        for (std::int64_t r = bottom; r >= top; --r) {
            Row& dst = rowAt(r);
            for (std::size_t x = left; x <= right && x < dst.size(); ++x) {
                dst[x] = r - k >= top ? rowAt(r - k)[x] : Cell{};
            }
        }
        return;
    }
    grid_.rotate(top, bottom + 1 - k, bottom + 1);
    for (std::int64_t y = top; y < top + k; ++y) blankRowAt(y);
}

// A run of text in the ground state that holds multi-byte characters, from p on: each character
// is printed as put() would print it, and in the common case (no wrap due, room on the row, a
// single-width row, no insert mode) its cells are written right here. ASCII letters between the
// multi-byte characters are taken along; a longer stretch of ASCII is left to printAscii(). Stops
// there, at a control and at a sequence that is not whole and valid in the buffer, all of which
// the general path takes.
const std::uint8_t* Terminal::printMultibyteRun(const std::uint8_t* p, const std::uint8_t* end) {
    constexpr int kAsciiToLeave = 8;
    int asciiInARow = 0;
    while (p < end) {
        // What stays the same until put() has to take a character: the row and the pen.
        const bool direct = !modes_[Mode::insert] && !activeCharsetIsGraphics() && cursor_.y >= 0 && cursor_.y < rows_ &&
                            cursor_.x >= 0 && effectiveCols(cursor_.y) == cols_;
        Row* const rowCells = direct ? &rowAt(cursor_.y) : nullptr;
        Cell* const row = rowCells ? rowCells->data() : nullptr;
        const CellPattern single = penPattern();
        const CellPattern wideLeft = single.withWidth(2);
        const CellPattern wideRight = single.withWidth(0);
        // The cursor, the last character and the count of scalars are kept in locals while cells
        // are written (the compiler cannot tell that the cell stores leave them alone) and put
        // back before anything else looks at them.
        std::int64_t x = cursor_.x;
        const std::int64_t cols = cols_;
        bool wrapDue = cursor_.pendingWrap;
        char32_t last = lastChar_;
        std::int64_t scalars = 0;
        bool tookPut = false;
        auto putBack = [&] {
            cursor_.x = x;
            cursor_.pendingWrap = wrapDue;
            lastChar_ = last;
            diag_.totalScalars += scalars;
            scalars = 0;
        };
        while (p < end) {
            char32_t c = *p;
            if (c < 0x80) {
                // Printable ASCII between the multi-byte characters: one cell each.
                if (unsigned(c) - 0x20 >= 0x5F || ++asciiInARow == kAsciiToLeave) {
                    putBack();
                    return p;
                }
                ++p;
                ++scalars;
                if (!row || wrapDue || x >= cols) {
                    putBack();
                    put(c);
                    tookPut = true;
                    break;
                }
                splitWideAt(*rowCells, x);
                splitWideAt(*rowCells, x + 1);
                single.store(row + x, c);
                last = c;
                if (++x >= cols) {
                    x = cols - 1;
                    wrapDue = true;
                }
                continue;
            }
            int w = 1;
            {
                const std::size_t used = decodeWhole(p, end, c);
                if (used == 0 || (c < 0xA0 && c != 0xFFFD)) {
                    putBack();
                    return p;
                }
                p += used;
                asciiInARow = 0;
                if (c == 0xFFFD) continue; // never shown
                w = unicodeWidth(c);
                if (w == 0) {
                    ++scalars;
                    // A mark joins the character before the cursor (under it while a wrap is due);
                    // on the row being written that cell is at hand.
                    if (row && x < cols && (wrapDue || x >= 1)) {
                        std::int64_t tx = wrapDue ? x : x - 1;
                        if (tx > 0 && row[tx].width == 0) --tx; // a wide character's right half
                        Cell& target = row[tx];
                        target.ch = appendMark(target.ch, c);
                    } else {
                        putBack();
                        composeIntoPrevious(c); // changes a cell, never the cursor or the pen
                    }
                    continue;
                }
            }
            ++scalars;
            if (!row || wrapDue || x + w > cols) {
                putBack();
                put(c);
                tookPut = true;
                break;
            }
            splitWideAt(*rowCells, x);
            splitWideAt(*rowCells, x + w);
            if (w == 2) {
                wideLeft.store(row + x, c);
                wideRight.store(row + x + 1, U' ');
            } else {
                single.store(row + x, c);
            }
            x += w;
            last = c;
            if (x >= cols) {
                x = cols - 1;
                wrapDue = true;
            }
        }
        if (p == end && !tookPut) putBack();
    }
    return p;
}
