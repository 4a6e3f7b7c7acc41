#include "conformance/Oracles.h"
#include "conformance/TextUtil.h"

#include <vterm.h>

namespace conformance {

namespace {

ScreenText vtermScreenText(VTermScreen* screen, int cols, int rows) {
    ScreenText text;
    for (int y = 0; y < rows; ++y) {
        std::string line;
        for (int x = 0; x < cols; ++x) {
            VTermScreenCell cell;
            vterm_screen_get_cell(screen, VTermPos{y, x}, &cell);
            if (cell.chars[0] == 0 || cell.chars[0] == uint32_t(-1)) {
                line += ' ';
            } else {
                for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i) {
                    appendUtf8(line, char32_t(cell.chars[i]));
                }
            }
            if (cell.width == 2) ++x; // its right half holds nothing of its own
        }
        text.push_back(trimRight(composed(line)));
    }
    return text;
}

} // namespace

std::vector<ScreenText> replayInLibvterm(const Recording& recording) {
    VTerm* vt = vterm_new(recording.rows, recording.cols);
    vterm_set_utf8(vt, 1);
    // Replies to the program's queries are not wanted here; without a sink libvterm would
    // complain on stderr once its output buffer fills.
    vterm_output_set_callback(
        vt, [](const char*, size_t, void*) {}, nullptr);
    VTermScreen* screen = vterm_obtain_screen(vt);
    vterm_screen_enable_altscreen(screen, 1);
    vterm_screen_reset(screen, 1);

    std::vector<ScreenText> screens;
    std::size_t fed = 0;
    for (const Snapshot& snapshot : recording.snapshots) {
        if (snapshot.offset > fed) {
            vterm_input_write(vt, recording.bytes.data() + fed, snapshot.offset - fed);
            fed = snapshot.offset;
        }
        vterm_screen_flush_damage(screen);
        ScreenText text = vtermScreenText(screen, recording.cols, recording.rows);
        VTermPos cursor;
        vterm_state_get_cursorpos(vterm_obtain_state(vt), &cursor);
        text.push_back(cursorLine(cursor.col, cursor.row));
        screens.push_back(std::move(text));
    }
    vterm_free(vt);
    return screens;
}

} // namespace conformance
