// libFuzzer target for the engine's byte intake: any byte stream, cut into pieces at any point and
// with a resize in the middle, must leave a consistent terminal and never hang or crash.
#include "engine/Bidi.h"
#include "engine/Terminal.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

void checkConsistent(const Terminal& t) {
    check(t.cols() >= 1 && t.rows() >= 1);
    check(t.cursorX() >= 0 && t.cursorX() < t.cols());
    check(t.cursorY() >= 0 && t.cursorY() < t.rows());
    check(t.scrollTop() >= 0 && t.scrollTop() <= t.scrollBottom() && t.scrollBottom() < t.rows());
    check(t.scrollback().size() <= Terminal::kScrollbackLimit);
    check(t.scrollback().pushedTotal() - t.scrollback().droppedTotal() == t.scrollback().size());
    for (std::int64_t y = 0; y < t.rows(); ++y) {
        auto row = t.gridRow(y);
        check(std::int64_t(row.size()) == t.cols());
        for (const Cell& c : row) {
            (void)t.attrsOf(c);
            (void)t.hyperlinkOf(c);
        }
        (void)bidiVisualOrder(row, t.cols());
    }
    for (std::size_t i = 0; i < t.scrollback().size(); i += 97) {
        for (const Cell& c : t.scrollback().line(i)) (void)t.attrsOf(c);
    }
    // What the shell can make the terminal keep stays bounded.
    check(t.sixelImages().size() <= SixelImageStore::kMaxImages);
    check(t.sixelImages().size() <= 1 || t.sixelImages().totalBytes() <= SixelImageStore::kMaxTotalBytes);
    for (const SixelImage& image : t.sixelImages()) {
        check(image.image && image.image->width >= 1 && image.image->width <= SixelDecoder::kMaxWidth);
        check(image.image->height >= 1 && image.image->height <= SixelDecoder::kMaxHeight);
    }
    check(t.promptMarks().size() <= Terminal::kMaxPromptMarks);
    check(t.titleStack().size() <= Terminal::kMaxTitleStack);
    check(t.kittyKbdStack().size() <= Terminal::kMaxKittyFlagStack);
    check(t.oscBuf().size() <= Terminal::kMaxOscBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    // The first four bytes choose the size, the size after the resize and the piece length.
    Terminal t(1 + data[0] % 64, 1 + data[1] % 24);
    // Every callback set, so that replies, clipboard reads and writes and resize requests are made.
    t.onResponse = [](const std::string& reply) { check(!reply.empty()); };
    t.onClipboardRead = [] { return std::optional<std::string>("clipboard text"); };
    t.onClipboardWrite = [](const std::string& text) { check(text.size() <= Terminal::kMaxClipboardBytes); };
    t.onResize = [](std::int64_t rows, std::int64_t cols) {
        check(rows >= 1 && rows <= Terminal::kMaxRows && cols >= 1 && cols <= Terminal::kMaxCols);
    };
    t.onSixelImage = [&t] { check(!t.sixelImages().empty()); };
    const std::int64_t newCols = 1 + data[2] % 64;
    const std::int64_t newRows = 1 + (data[2] >> 6) + data[3] % 16;
    const std::size_t piece = 1 + data[3] % 61;
    data += 4;
    size -= 4;
    std::size_t resizeAt = size / 2;
    for (std::size_t at = 0; at < size; at += piece) {
        std::size_t n = piece < size - at ? piece : size - at;
        t.process(std::span<const std::uint8_t>(data + at, n));
        if (at <= resizeAt && resizeAt < at + n) {
            t.resize(newCols, newRows);
            checkConsistent(t);
        }
    }
    checkConsistent(t);
    return 0;
}
