// Differential test: seeded random streams of the sequences both emulators implement alike are
// fed to this engine and to libvterm at the same size; the visible text and the cursor must match
// after every step.
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <random>
#include <vterm.h>

using namespace enginetest;

namespace {

class VtermScreen {
public:
    VtermScreen(int cols, int rows) : rows_(rows), cols_(cols), vt_(vterm_new(rows, cols)) {
        vterm_set_utf8(vt_, 1);
        screen_ = vterm_obtain_screen(vt_);
        vterm_screen_reset(screen_, 1);
        state_ = vterm_obtain_state(vt_);
    }
    ~VtermScreen() { vterm_free(vt_); }
    VtermScreen(const VtermScreen&) = delete;
    VtermScreen& operator=(const VtermScreen&) = delete;

    void write(const std::string& bytes) { vterm_input_write(vt_, bytes.data(), bytes.size()); }

    std::string dump() const {
        std::string s;
        for (int y = 0; y < rows_; ++y) {
            std::string line;
            for (int x = 0; x < cols_; ++x) {
                VTermScreenCell cell;
                vterm_screen_get_cell(screen_, VTermPos{y, x}, &cell);
                line += cell.chars[0] == 0 ? std::string(" ") : utf8(char32_t(cell.chars[0]));
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            s += line + "\n";
        }
        VTermPos pos;
        vterm_state_get_cursorpos(state_, &pos);
        return s + "@" + std::to_string(pos.col) + "," + std::to_string(pos.row);
    }

private:
    int rows_;
    int cols_;
    VTerm* vt_;
    VTermScreen* screen_;
    VTermState* state_;
};

// Our screen in the same form: rows of text and the cursor, without the wrap marks and the
// pending-wrap flag, which libvterm does not show.
std::string plainDump(const Terminal& t) {
    std::string s;
    for (std::int64_t y = 0; y < t.rows(); ++y) s += rowText(t, y) + "\n";
    return s + "@" + std::to_string(t.cursorX()) + "," + std::to_string(t.cursorY());
}

class StreamGenerator {
public:
    StreamGenerator(unsigned seed, const Terminal& t) : rng_(seed), t_(t), saveCursors_(seed % 2 == 0) {}

    // One step of the stream, chosen with the engine's current state in view so that the
    // constructs whose behaviour legitimately differs are left out (see the notes below).
    std::string next() {
        const int cols = int(t_.cols());
        const int rows = int(t_.rows());
        const bool fullRegion = t_.scrollTop() == 0 && t_.scrollBottom() == rows - 1;
        const bool insideRegion = t_.cursorY() >= t_.scrollTop() && t_.cursorY() <= t_.scrollBottom();
        switch (pick(22)) {
        case 0:
        case 1:
        case 2:
        case 3:
            return text(1 + pick(cols + 10));
        case 4:
            return "\r";
        // Line feed, index and reverse index drop a pending wrap here, as in xterm; libvterm keeps
        // it across them, and forgets it on backspace and tab, which then start from a different
        // column. These are only sent without a pending wrap.
        case 5:
            return t_.pendingWrap() ? "\r\n" : "\n";
        case 6:
            return t_.pendingWrap() ? "\r" : "\b";
        case 7:
            return t_.pendingWrap() ? "\r" : "\t";
        case 8:
            return csi(std::to_string(1 + pick(rows + 2)) + ";" + std::to_string(1 + pick(cols + 2)), 'H');
        case 9: {
            // Relative vertical moves stop at the scroll region's margins here, as in xterm;
            // libvterm (outside origin mode) stops only at the screen's edges. Only sent while
            // the region is the whole screen.
            if (!fullRegion) return csi("", 'H');
            const char finals[] = {'A', 'B', 'E', 'F'};
            return csi(count(rows), finals[pick(4)]);
        }
        case 10: {
            const char finals[] = {'C', 'D', 'G', '`', 'a', 'd'};
            return csi(count(cols), finals[pick(6)]);
        }
        case 11:
            return csi(std::to_string(pick(3)), 'K');
        case 12:
            return csi(std::to_string(pick(3)), 'J');
        // Inserting and deleting characters works on any row here, as in xterm; libvterm does
        // nothing on a row outside the scroll region. Only erasing is sent from outside it.
        case 13:
            return csi(count(cols), insideRegion ? "@PX"[pick(3)] : 'X');
        case 14:
            return csi(count(rows), "LM"[pick(2)]);
        case 15:
            return csi(count(rows), "ST"[pick(2)]);
        case 16: {
            // Regions of at least two rows: libvterm ignores a one-row region, which is kept here.
            if (pick(3) == 0) return csi("", 'r');
            int top = 1 + pick(rows - 1);
            int bottom = top + 1 + pick(rows - top);
            return csi(std::to_string(top) + ";" + std::to_string(bottom), 'r');
        }
        // A saved cursor carries the automatic-wrap mode and a pending wrap here; libvterm's
        // carries neither. A stream either saves and restores cursors or switches that mode,
        // never both, and saves a cursor only without a pending wrap.
        case 17:
            if (saveCursors_)
                return pick(2) ? (t_.pendingWrap() ? "\r\x1b"
                                                     "7"
                                                   : "\x1b"
                                                     "7")
                               : "\x1b"
                                 "8";
            // Here a character written to the last column leaves a wrap pending whether or not
            // automatic wrap is on, and switching the mode decides what the next character does;
            // libvterm only marks the pending wrap while the mode is on and then wraps whatever
            // the mode became. A carriage return ends a pending wrap before the switch.
            return std::string(t_.pendingWrap() ? "\r" : "") + (pick(2) ? "\x1b[?7h" : "\x1b[?7l");
        case 18:
            return pick(2) ? "\x1b[4h" : "\x1b[4l";
        case 19:
            return "\x1b[" + std::to_string(1 + pick(rows)) + "d";
        case 20:
            return t_.pendingWrap() ? "\r" : "\x1b" + std::string(1, "DM"[pick(2)]);
        default:
            return t_.pendingWrap() ? "\r\n"
                                    : "\x1b"
                                      "E";
        }
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::string count(int size) { return pick(4) == 0 ? "" : std::to_string(pick(size + 3)); }
    std::string csi(const std::string& params, char final) { return "\x1b[" + params + final; }
    std::string text(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += char(pick(5) == 0 ? ' ' : 0x21 + pick(0x7E - 0x21 + 1));
        return s;
    }

    std::mt19937 rng_;
    const Terminal& t_;
    bool saveCursors_;
};

} // namespace

TEST(VtermDifferential, RandomStreamsMatchLibvterm) {
    struct Size {
        int cols, rows;
    };
    const Size sizes[] = {{80, 24}, {20, 6}, {7, 3}, {33, 11}};
    for (unsigned seed = 1; seed <= 120; ++seed) {
        const Size size = sizes[seed % 4];
        Terminal ours(size.cols, size.rows);
        VtermScreen ref(size.cols, size.rows);
        StreamGenerator gen(seed, ours);
        std::string history;
        for (int step = 0; step < 400; ++step) {
            std::string bytes = gen.next();
            history += bytes;
            ours.process(bytes);
            ref.write(bytes);
            std::string mine = plainDump(ours);
            std::string theirs = ref.dump();
            if (mine != theirs) {
                ADD_FAILURE() << "seed " << seed << " step " << step << " after "
                              << ::testing::PrintToString(bytes)
                              << "\nstream: " << ::testing::PrintToString(history) << "\nours:\n"
                              << mine << "\nlibvterm:\n"
                              << theirs;
                return;
            }
        }
    }
}
