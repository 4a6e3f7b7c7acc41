#pragma once

#include "engine/Cell.h"
#include "engine/Clusters.h"
#include "engine/Colors.h"
#include "engine/CsiParams.h"
#include "engine/Diagnostics.h"
#include "engine/Grid.h"
#include "engine/ParserState.h"
#include "engine/Renditions.h"
#include "engine/Scrollback.h"
#include "engine/Sixel.h"
#include "engine/TerminalModes.h"
#include "engine/TextAttrs.h"
#include "engine/Utf8Decoder.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A shell-integration mark (OSC 133): its letter ("A" prompt start, "B" command start, "C" output
// start, "D" command end) and the grid row of the cursor when it arrived.
struct PromptMark {
    char32_t mark = 0;
    std::int64_t row = 0;
};

// The state of one emulated terminal: the grid of cells, the scrollback above it, the alternate
// screen, the cursor, the current rendition, the scroll region and margins, the tab stops, the
// modes the shell switches, and the callbacks through which the engine answers. It takes the
// shell's output bytes through process() and never fails: out-of-range cursors, regions and counts
// make an operation clamp or do nothing, malformed sequences are dropped and only counted.
// Single-threaded: everything runs on the thread that owns it.
class Terminal {
public:
    using PState = ParserState::PState;

    // The grid never grows beyond these, whatever size is asked for: a screen this size already
    // needs a 4 pixel font on an 8K display, and a full scrollback of such rows is 250 MB.
    static constexpr std::int64_t kMaxCols = 2048;
    static constexpr std::int64_t kMaxRows = 1024;
    static constexpr std::size_t kScrollbackLimit = Scrollback::kDefaultCapacity;
    // The largest clipboard text a program may write (OSC 52), decoded. A clipboard holding more
    // is rarely what a program meant, and the text is handed to the view in one piece.
    static constexpr std::size_t kMaxClipboardBytes = 1024 * 1024;
    // OSC strings are collected up to here, which is room for the largest clipboard write in
    // base64; a longer one is dropped whole when it ends. Sixel data is never collected: it goes to
    // the decoder as it arrives, which keeps its own bounds.
    static constexpr std::size_t kMaxOscBytes = (kMaxClipboardBytes + 2) / 3 * 4 + 4096;
    static constexpr std::size_t kMaxPromptMarks = 1000;
    static constexpr std::size_t kMaxTitleStack = 20;
    static constexpr std::size_t kMaxKittyFlagStack = 8;

    Terminal(std::int64_t cols, std::int64_t rows);
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;
    Terminal(Terminal&&) = default;
    Terminal& operator=(Terminal&&) = default;

    // ---- Intake --------------------------------------------------------------------------------
    // Decodes one piece of shell output as UTF-8 (an incomplete sequence at its end waits for the
    // next piece) and runs every scalar through the parser. U+FFFD is never printed.
    void process(std::string_view bytes);
    void process(std::span<const std::uint8_t> bytes);
    // One step of the state machine for one scalar (process() is the normal way in).
    void feed(char32_t c);

    // ---- Size ----------------------------------------------------------------------------------
    std::int64_t cols() const { return cols_; }
    std::int64_t rows() const { return rows_; }
    // New size in cells; re-flows soft-wrapped lines on the main screen when the width changes.
    void resize(std::int64_t cols, std::int64_t rows);

    // ---- Reading the screen --------------------------------------------------------------------
    // A view's buffer is scrollback().line(0 ... size() - 1), oldest first, then gridRow(0 ...
    // rows() - 1). Cells carry their rendition packed: attrsOf() and hyperlinkOf() unpack it.
    // Grid row y (0 = top), cols() cells; empty for a row outside the grid.
    std::span<const Cell> gridRow(std::int64_t y) const;
    // Line `row` of that buffer: a scrollback line below scrollback().size(), a grid row from there
    // on; empty outside the buffer.
    std::span<const Cell> bufferLine(std::int64_t row) const {
        const auto held = std::int64_t(scrollback_.size());
        if (row >= 0 && row < held) return scrollback_.line(std::size_t(row));
        return gridRow(row - held);
    }
    std::uint8_t lineAttr(std::int64_t y) const;
    const Scrollback& scrollback() const { return scrollback_; }
    TextAttrs attrsOf(const Cell& cell) const { return renditions_.decode(cell); }
    std::string_view hyperlinkOf(const Cell& cell) const { return renditions_.linkOf(cell); }
    // The scalars a cell shows: its character, or a base with the marks that did not compose with
    // it (`one` holds a lone character). Views into the table stay valid until the next process().
    std::u32string_view textOf(const Cell& cell, char32_t& one) const { return clusters_.text(cell.ch, one); }
    // A cell's character without its marks, for classifying it (word, blank, direction).
    char32_t baseOf(const Cell& cell) const { return clusters_.base(cell.ch); }
    const ClusterTable& clusters() const { return clusters_; }
    bool isAltScreen() const { return altActive_; }
    // Bytes held by the screen model: both grids, the scrollback and the tables of renditions and
    // links (capacities of the containers; allocator overhead and images excluded).
    std::size_t memoryFootprint() const;
    // Usable columns of a row: half the width on double-width and double-height rows.
    std::int64_t effectiveCols(std::int64_t row) const {
        if (row >= 0 && row < rows_ && (grid_.attr(row) & LineAttr::sizeMask) != 0) {
            return cols_ / 2 > 1 ? cols_ / 2 : 1;
        }
        return cols_;
    }

    // ---- The pen -------------------------------------------------------------------------------
    const TextAttrs& attrs() const { return attrs_; }
    void setAttrs(const TextAttrs& attrs);
    const std::optional<std::string>& currentHyperlink() const { return currentHyperlink_; }
    void setCurrentHyperlink(std::optional<std::string> uri);

    // ---- Cursor (the fields of `cursor`) -------------------------------------------------------
    std::int64_t cursorX() const { return cursor_.x; }
    std::int64_t cursorY() const { return cursor_.y; }
    bool pendingWrap() const { return cursor_.pendingWrap; }

    // ---- Tab stops -----------------------------------------------------------------------------
    void resetTabStops(); // every multiple of 8 below cols()
    void advanceToNextTab();
    void backToPrevTab();
    bool hasTabStop(std::int64_t x) const;
    std::vector<std::int64_t> tabStops() const;

    // ---- Screen operations ---------------------------------------------------------------------
    void put(char32_t c); // writes one printable character at the cursor
    void lf();
    void rlf();
    void scrollUp(std::int64_t n);
    void scrollDown(std::int64_t n);

    // ---- Editing -------------------------------------------------------------------------------
    void eraseDisplay(std::int64_t mode);
    void eraseLine(std::int64_t mode);
    void eraseChars(std::int64_t n);
    void insertLines(std::int64_t n);
    void deleteLines(std::int64_t n);
    void insertChars(std::int64_t n);
    void deleteChars(std::int64_t n);
    void fullReset();
    void clearScrollback() { scrollback_.clear(); }

    // ---- Sequence handlers (the parser's dispatch targets) -------------------------------------
    void doCSI(const CsiParams& params, std::uint8_t final);
    void doPrivate(const CsiParams& params, std::uint8_t final);
    int queryPrivateMode(std::int64_t mode) const; // 1 set, 2 reset, 0 not recognised
    int queryAnsiMode(std::int64_t mode) const;    // the same for SM/RM modes
    void doSGR(const CsiParams& params);
    void doCSISpace(const CsiParams& params, std::uint8_t final);
    void doCSIBang(const CsiParams& params, std::uint8_t final);
    void doCSIQuote(const CsiParams& params, std::uint8_t final);
    void doCSIDollar(const CsiParams& params, std::uint8_t final);
    void doLessThanPrefix(const CsiParams& params, std::uint8_t final);
    void doSecondaryPrefix(const CsiParams& params, std::uint8_t final);
    void reportKittyFlags();
    void reportPrivateMode(const CsiParams& params);
    void reportDeviceAttributes(const CsiParams& params);
    void reportDeviceStatus(const CsiParams& params);
    void doWindowOps(const CsiParams& params);
    void handleOSC();
    // Ends the sixel image whose data the parser has fed to the decoder: places it at the cursor.
    void parseSixelData();
    // Sixel pixels written, and left out because one piece of output asked for more work than a
    // piece may do (see SixelDecoder).
    std::int64_t sixelPixelsWritten() const { return sixelDecoder_.pixelsWritten(); }
    std::int64_t sixelPixelsDropped() const { return sixelDecoder_.pixelsDropped(); }

    // ---- Parser state (read-only, for diagnostics and tests) -----------------------------------
    PState pstate() const { return parser_.state; }
    const CsiParams& csiParams() const { return parser_.csiParams; }
    std::string_view oscBuf() const { return parser_.oscBuf; }

    // ---- State the shell switches (read by the view) -------------------------------------------
    const TerminalModes& modes() const { return modes_; }
    bool mode(Mode which) const { return modes_[which]; }
    MouseTracking mouseTracking() const { return modes_.mouseTracking(); }
    MouseEncoding mouseEncoding() const { return modes_.mouseEncoding(); }
    // The shell's output ended: nothing reads mouse reports or pastes any more, and a program
    // killed inside synchronized output must not leave the last screen frozen.
    void forgetProgramRequests() { modes_.forgetProgramRequests(); }
    const ParserDiagnostics& diagnostics() const { return diag_; }
    const CursorState& cursorState() const { return cursor_; }
    const CursorState& savedCursor() const { return savedCursor_; }
    // The cursor to the top left corner, no wrap pending (after the view cleared the screen).
    void homeCursor() { cursor_ = CursorState{}; }
    std::int64_t scrollTop() const { return scrollTop_; }
    std::int64_t scrollBottom() const { return scrollBottom_; }
    std::int64_t leftMargin() const { return leftMargin_; }
    std::int64_t rightMargin() const { return rightMargin_; }
    char32_t lastChar() const { return lastChar_; }
    std::int64_t cursorStyle() const { return cursorStyle_; } // DECSCUSR, 0 for the user's choice
    bool charsetG0IsGraphics() const { return charsetG0IsGraphics_; }
    bool charsetG1IsGraphics() const { return charsetG1IsGraphics_; }
    bool usesG1() const { return useG1_; }
    const std::vector<std::int64_t>& kittyKbdStack() const { return kittyKbdStack_; }
    std::int64_t kittyKbdFlags() const { return kittyKbdStack_.empty() ? 0 : kittyKbdStack_.back(); }
    // Images placed on the grid, oldest first; a row moves with the text when the region scrolls.
    const SixelImageStore& sixelImages() const { return sixelImages_; }
    const std::optional<std::string>& currentDirectory() const { return currentDirectory_; } // OSC 7
    const std::vector<PromptMark>& promptMarks() const { return promptMarks_; } // OSC 133
    const PaletteOverrides& paletteOverrides() const { return paletteOverrides_; } // OSC 4, 104
    const std::optional<RGB>& dynamicFG() const { return dynamicFG_; }              // OSC 10, 110
    const std::optional<RGB>& dynamicBG() const { return dynamicBG_; }              // OSC 11, 111
    const std::optional<RGB>& dynamicCursor() const { return dynamicCursor_; }      // OSC 12, 112
    // The colours this terminal's shell replaced, for fgColor() and bgColor(); refers to this
    // terminal, so it is made afresh for each frame.
    ColorContext colorContext() const { return {&paletteOverrides_, dynamicFG_, dynamicBG_}; }
    const std::vector<std::string>& titleStack() const { return titleStack_; }
    const std::string& currentTitle() const { return currentTitle_; }
    // The size of a cell in pixels, which programs may ask for (XTWINOPS 14, 16, 18).
    void setCellPixelSize(std::int64_t width, std::int64_t height) {
        cellPixelWidth_ = width;
        cellPixelHeight_ = height;
    }
    std::int64_t cellPixelWidth() const { return cellPixelWidth_; }
    std::int64_t cellPixelHeight() const { return cellPixelHeight_; }

    // ---- Callbacks, called synchronously; an unset one does nothing ----------------------------
    std::function<void()> onSixelImage;
    std::function<void(const std::string&)> onTitleChange;
    std::function<void(const std::string&)> onResponse; // a reply to write to the shell
    std::function<void()> onBell;
    std::function<void()> onColorChange;
    // The shell asked for a size in cells (XTWINOPS 8), already cut to kMaxRows x kMaxCols; the
    // view maps it to its own frame.
    std::function<void(std::int64_t rows, std::int64_t cols)> onResize;
    // A program wrote the clipboard (OSC 52): valid UTF-8, at most kMaxClipboardBytes. The engine
    // has no clipboard; the view puts the text on its own.
    std::function<void(const std::string& text)> onClipboardWrite;
    // The clipboard's text for a program that asks to read it (OSC 52 "?"), or nothing. Unset, the
    // request is refused without a reply, which is what it should be unless the user chose
    // otherwise: any program whose output reaches the terminal (a file being shown, a remote host)
    // could otherwise read what the user copied.
    std::function<std::optional<std::string>()> onClipboardRead;

    // The DEC special graphics replacement of a scalar in 0x60-0x7E; the scalar itself otherwise.
    static char32_t decGraphics(char32_t c);

private:
    // Storage
    void blankRowAt(std::int64_t y); // cols_ blank cells, line attribute 0
    void resetGrid();
    Row& rowAt(std::int64_t y) { return grid_.row(y); }
    // The cell pattern (width 1) of the pen's rendition and link. A change of rendition is packed
    // only when a character is written with it: programs often send several SGR sequences in a
    // row, and only the last one is used.
    const CellPattern& penPattern() {
        if (penStale_) {
            // A change of colour alone (the common case: a colour before every word) is packed
            // right here, as resolvePen() would pack it.
            if (penStale_ == kPenColours && !renditions_.needsCompaction()) {
                pen_ = renditions_.recolour(pen_, attrs_);
                penStale_ = 0;
            } else {
                resolvePen();
            }
        }
        return pen_;
    }
    void resolvePen();
    void restoreCursor(const CursorState& saved);
    // CUP: row and column as sent (1-based, 0 taken as 1), inside the region in origin mode.
    void cursorPosition(std::int64_t row, std::int64_t col) {
        const std::int64_t r = std::max<std::int64_t>(row, 1);
        const std::int64_t c = std::max<std::int64_t>(col, 1) - 1;
        if (modes_[Mode::origin]) {
            cursor_.y = std::max(std::min(scrollTop_ + r - 1, scrollBottom_), scrollTop_);
        } else {
            cursor_.y = std::max<std::int64_t>(std::min(r - 1, rows_ - 1), 0);
        }
        cursor_.x = std::max<std::int64_t>(std::min(c, cols_ - 1), 0);
        cursor_.pendingWrap = false;
    }
    void clampCursor();
    // Where CUU and CPL stop, and CUD and CNL: the region's edge when the cursor starts on the
    // edge's side of it, the screen's otherwise. A cursor above the region moving up, or below it
    // moving down, never jumps into the region.
    std::int64_t cursorUpLimit() const { return cursor_.y >= scrollTop_ ? scrollTop_ : 0; }
    std::int64_t cursorDownLimit() const { return cursor_.y <= scrollBottom_ ? scrollBottom_ : rows_ - 1; }

    // Screen helpers
    // A wide character is whole or gone: before cells from column x on (or up to x) are written,
    // erased or moved, the wide character standing across the boundary between columns x - 1 and
    // x, if any, becomes two blanks of its rendition. Left alone, its other half would stay on
    // screen beside the new text, or a right half without its left.
    static void splitWideAt(Row& row, std::int64_t x) {
        if (x > 0 && x < std::int64_t(row.size()) && row[std::size_t(x)].width == 0) [[unlikely]] {
            blankWideHalves(row, x);
        }
    }
    static void blankWideHalves(Row& row, std::int64_t rightHalf);
    void printAscii(const char* text, std::size_t n);
    bool printShortAscii(const std::uint8_t* text, std::size_t n);
    const std::uint8_t* runGround(const std::uint8_t* p, const std::uint8_t* end);
    const std::uint8_t* printMultibyteRun(const std::uint8_t* p, const std::uint8_t* end);
    void repeatLastChar(std::int64_t n);
    void wrapToNextLine();
    void composeIntoPrevious(char32_t mark);
    // `code` with `mark` joined to it (see ClusterTable::append).
    char32_t appendMark(char32_t code, char32_t mark) {
        if (clusters_.needsCompaction()) [[unlikely]]
            compactClusters();
        return clusters_.append(code, mark);
    }
    void compactClusters();
    bool activeCharsetIsGraphics() const { return useG1_ ? charsetG1IsGraphics_ : charsetG0IsGraphics_; }
    bool scrollRegionValid() const;
    bool marginsPartial() const;
    void shiftImagesAfterScrollUp(std::int64_t n, bool partial);
    void pushToScrollback(Row&& row);

    // Editing helpers
    void eraseCell(std::int64_t row, std::int64_t col);
    void eraseCellsInRow(std::int64_t row, std::int64_t from, std::int64_t to);
    void eraseFullRow(std::int64_t row);
    void eraseWholeRowsOfDisplay(std::int64_t from, std::int64_t to); // rows [from, to), made single size
    bool gridHasProtected() const;
    void enterAltScreen();
    void leaveAltScreen();

    // Parser
    void executeC0(char32_t c);
    bool executeC1(char32_t c);
    void escDispatch(char32_t c);
    void escHashDispatch(char32_t c);
    void startCsi();
    void startOsc();
    void startDcs();
    void csiCollect(char32_t c);
    const std::uint8_t* collectCsi(const std::uint8_t* p, const std::uint8_t* end);
    const std::uint8_t* dispatchWholeCsi(const std::uint8_t* p, const std::uint8_t* end);
    const std::uint8_t* dispatchSgrColour(const std::uint8_t* p);
    void csiDispatch(std::uint8_t final);
    void dcsCollect(char32_t c);
    void appendOsc(char32_t c);
    void backIndex();
    void forwardIndex();
    void saveCursorFull();
    void restoreCursorFull();
    void screenAlignment();
    void setPrivateMode(std::int64_t mode, bool set);
    void setAnsiModes(const CsiParams& params, bool set);
    void respond(const std::string& reply);
    void softReset();
    void resetPenRegionAndCharsets();

    // OSC commands
    void oscPaletteEntry(std::string_view payload);
    void oscDynamicColor(std::int64_t number, std::string_view payload);
    void oscResetPalette(std::string_view payload);
    void oscWorkingDirectory(std::string_view payload);
    void oscClipboard(std::string_view payload);
    void oscPromptMark(std::string_view payload);
    void colorChanged();

    // Interning
    void compactInterned();

    std::int64_t cols_;
    std::int64_t rows_;
    Grid grid_;
    bool altActive_ = false;
    Grid altGrid_; // the main screen while the alternate screen is shown
    Scrollback scrollback_;
    std::vector<std::uint8_t> tabStops_; // one flag per column

    TextAttrs attrs_;
    CellPattern pen_;
    // What changed since pen_ was made: kPenColours (attrs_'s colours) and kPenStyle (the rest of
    // attrs_, or the link).
    static constexpr std::uint8_t kPenColours = 1;
    static constexpr std::uint8_t kPenStyle = 2;
    std::uint8_t penStale_ = 0;
    std::optional<std::string> currentHyperlink_;
    std::uint32_t penLinkId_ = 0;
    Renditions renditions_;
    ClusterTable clusters_;

    ParserState parser_;
    SixelDecoder sixelDecoder_; // the image of the sixel string being received

    TerminalModes modes_;
    ParserDiagnostics diag_;
    CursorState cursor_;
    CursorState savedCursor_;
    CursorState altCursor_; // the main screen's cursor while the alternate screen is shown
    TextAttrs savedAttrs_;
    bool savedG0IsGraphics_ = false;
    bool savedG1IsGraphics_ = false;
    bool savedUseG1_ = false;
    std::int64_t scrollTop_ = 0;
    std::int64_t scrollBottom_ = 0;
    std::int64_t leftMargin_ = 0;
    std::int64_t rightMargin_ = 0;
    char32_t lastChar_ = U' ';
    std::int64_t cursorStyle_ = 0;
    bool charsetG0IsGraphics_ = false;
    bool charsetG1IsGraphics_ = false;
    bool useG1_ = false;
    std::vector<std::int64_t> kittyKbdStack_;
    SixelImageStore sixelImages_;
    std::optional<std::string> currentDirectory_; // percent escapes decoded
    std::vector<PromptMark> promptMarks_;         // the newest kMaxPromptMarks
    PaletteOverrides paletteOverrides_{};
    std::optional<RGB> dynamicFG_;
    std::optional<RGB> dynamicBG_;
    std::optional<RGB> dynamicCursor_;
    std::vector<std::string> titleStack_;
    std::string currentTitle_;
    std::int64_t cellPixelWidth_ = 8;
    std::int64_t cellPixelHeight_ = 16;
};

// A cell's colours as the view draws them: its rendition resolved with the palette entries and
// default colours that the terminal's shell replaced (see Colors.h).
inline ColorRGBA fgColor(const TextAttrs& attrs, const Terminal& terminal) {
    const ColorContext context = terminal.colorContext();
    return fgColor(attrs, &context);
}
inline ColorRGBA bgColor(const TextAttrs& attrs, const Terminal& terminal) {
    const ColorContext context = terminal.colorContext();
    return bgColor(attrs, &context);
}
