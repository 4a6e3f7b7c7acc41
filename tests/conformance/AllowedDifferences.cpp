#include "conformance/Conformance.h"

namespace conformance {

namespace {

// Every difference between our screen and an independent terminal that is accepted, and why.
// Each entry names the case, the snapshot (a trailing "*" matches a label prefix) and the
// terminal our screen differs from ("both" when it differs from libvterm and tmux alike). An
// entry that no longer matches a difference fails its case, so the table stays true.
constexpr AllowedDifference kAllowedDifferences[] = {
    // ---- tmux alone differs; our screen is libvterm's ----------------------------------------
    {"vttest 1 2", "1.3", "tmux",
     "tmux clears the screen on DECCOLM (CSI ? 3 h/l) although it cannot change the width; mode 3 is "
     "not one of ours (a program cannot resize the window), so like libvterm and xterm without "
     "column switching we leave the screen alone, and vttest's next screen starts over the last one"},
    {"vttest 1 2", "1.4", "tmux", "the same DECCOLM clear as in 1.3"},
    {"vttest 1 2", "2.11", "tmux",
     "DECSTBM homes the cursor to the top of the region in origin mode (as xterm and libvterm do); "
     "tmux homes it to the top of the screen"},
    {"vttest 4 8", "4.*", "tmux",
     "tmux ignores double-width and double-height rows (ESC # 3, 4, 6): text on them does not stop "
     "at half the width"},
    {"vttest 9 10", "9.5.1", "tmux", "tmux ignores double-width rows, as in menu 4"},
    {"vttest 11", "11.5.5.1", "tmux", "tmux does not implement HPR (CSI a)"},
    {"vttest 11", "11.5.9.1", "tmux", "tmux does not implement VPR (CSI e)"},
    {"vttest 11", "11.7.2.1", "tmux",
     "tmux repeats (REP, CSI b) only a character printed right before it, not one printed before a "
     "cursor movement"},

    {"bash widths", "*", "tmux",
     "tmux joins emoji bound by U+200D into one character of two columns, where the C library's "
     "wcwidth (and so the shell's line editor, and our terminal) gives each emoji its own two; tmux's "
     "cursor then stands two columns left of where the shell put it"},
    {"zsh widths", "*", "tmux",
     "as in bash widths; zsh redraws the line over tmux's misplaced cursor, which garbles tmux's line"},

    // ---- libvterm alone differs; our screen is tmux's ----------------------------------------
    {"tput", "end", "libvterm",
     "libvterm does nothing for ICH and DCH (CSI @, CSI P) on a row outside the scroll region; xterm "
     "and tmux shift the row, as we do"},
    {"vttest 4 8", "4.3", "libvterm",
     "making a row double width keeps the characters of its right half in the row (they show again "
     "when the row is made single width); libvterm drops them as a VT100 did"},
    {"vttest 4 8", "4.4", "libvterm", "as 4.3: the right half of a row made double width is kept"},
    {"vttest 9 10", "9.2.*", "libvterm", "as 4.3: the right half of a row made double width is kept"},
    {"vttest 9 10", "9.8.*", "libvterm",
     "as 4.3: vttest shows that the right half of a double-width row does not come back on a VT100; "
     "ours keeps it"},

    // ---- we differ from both, as our design says ----------------------------------------------
    {"printf right half", "end", "both",
     "a character written over the right half of a wide character blanks its left half too, as "
     "xterm does; libvterm and tmux leave the left half standing, so the wide character still shows "
     "and the new one seems to stand a column further right"},
    {"vttest 1 2", "2.15", "both",
     "ESC 7 and ESC 8 save and restore the G0 and G1 designations with the cursor (as DEC terminals "
     "and xterm do), so the restored graphics set draws lines; libvterm and tmux restore only part"},
    {"vttest 9 10", "9.9.*", "both",
     "DECSTBM with the bottom at or above the top sets a region of one row at the top row given "
     "(ours) instead of being ignored; a line feed on that row then neither moves nor scrolls"},
    {"vttest 9 10", "10.3.2", "both",
     "DECSTR (CSI ! p) moves the cursor home; xterm, libvterm and tmux leave it where it was"},
    {"vttest 11", "11.5.4.1", "both",
     "a tab clears a pending wrap, so a tab at the last column stays there and the next character "
     "overwrites that column; xterm, libvterm and tmux keep the wrap pending and wrap first (tmux "
     "besides does not implement CHT, CSI I, which this screen also uses)"},
};

} // namespace

std::span<const AllowedDifference> allowedDifferences() {
    return kAllowedDifferences;
}

} // namespace conformance
