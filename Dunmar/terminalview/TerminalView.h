#pragma once

#include "engine/Colors.h"
#include "engine/PerfMetrics.h"
#include "engine/Terminal.h"
#include "terminalview/GlyphCache.h"
#include "terminalview/PtySession.h"
#include "terminalview/TerminalFonts.h"

#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class QImage;

// A position in the whole buffer: row 0 is the oldest scrollback line, scrollback size + r is grid
// row r; col is a logical column.
struct GridPos {
    std::int64_t row = 0;
    std::int64_t col = 0;
    bool operator==(const GridPos&) const = default;
};

// One terminal pane: the Terminal it shows, the login shell feeding it, the fonts and cell metrics it
// draws with, the redraw and blink timers, scrolling through the history, and the answers the engine
// sends back. Drawing happens at most once per frame and only while something changed; an idle pane
// runs no timer at all. Main thread only.
class TerminalView : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal paddingX = 16.0;
    static constexpr qreal paddingY = 10.0;
    static constexpr int kRefreshIntervalMs = 16; // about 1/60 s
    static constexpr int kBlinkIntervalMs = 500;
    // A program that began synchronized output and never ended it (killed, or a lost byte) would
    // freeze the pane; after this long the screen is drawn anyway.
    static constexpr int kSynchronizedOutputTimeoutMs = 1000;

    // Creates the pane at `frameRect` and starts `shell` in `cwd` (empty: the home directory).
    // `historyId` names the shell's history file (empty: a new one). `settings` redirects the
    // settings store and the home directory (tests).
    TerminalView(const QRect& frameRect, const QString& shell, const QString& cwd = {},
                 const QString& historyId = {}, PtySessionSettings settings = {}, QWidget* parent = nullptr);
    ~TerminalView() override;

    // ---- The engine and the shell ----------------------------------------------------------------
    Terminal& terminal() { return *terminal_; }
    const Terminal& terminal() const { return *terminal_; }
    PtySession& session() { return session_; }
    int masterFd() const { return session_.masterFd(); }
    pid_t childPid() const { return session_.childPid(); }
    QString currentShell() const { return session_.currentShell(); }
    QString tabId() const { return session_.tabId(); }
    bool shellReady() const { return session_.shellReady(); }
    bool hasUserInput() const { return session_.hasUserInput(); }

    void writePTY(QByteArrayView bytes);
    void writePTY(const QString& text);
    // Replaces the shell by a new one in the home directory; the screen and the history are cleared,
    // the history file stays the same.
    void switchShell(const QString& shellPath);
    // Switch to the first, second or third of availableShells(); nothing when there are fewer.
    void switchToShell1();
    void switchToShell2();
    void switchToShell3();
    void killForegroundProcess();
    void resetTermiosModes();

    // Called when the shell's output ended (not after switchShell). When unset, the installed
    // TerminalViewHost is asked to quit. The owner may delete the view from inside.
    std::function<void()> onShellExit;
    // Called with the number of scrollback lines dropped at the top (the scrollback was full or was
    // cleared): positions kept as buffer rows move up by that much. The view's own selection and
    // scroll position have already been shifted.
    std::function<void(std::int64_t droppedLines)> onBufferLinesDropped;

    // ---- Fonts and size --------------------------------------------------------------------------
    const TerminalFonts& fonts() const { return fonts_; }
    qreal cellW() const { return fonts_.cellW; }
    qreal cellH() const { return fonts_.cellH; }
    // Rebuilds the fonts at `size` in the family of the stored `fontFamily` and refits the grid.
    void updateFontSize(double size);
    // The grid size that fits a view size.
    std::pair<std::int64_t, std::int64_t> gridSizeFor(QSizeF size) const; // (cols, rows)
    // While set, size changes do not resize the grid (the owner animates the frame).
    void setSuppressResize(bool suppress) { suppressResize_ = suppress; }
    bool suppressResize() const { return suppressResize_; }
    // The shell asked for a grid of rows x cols: grow or shrink the window by the difference between
    // that grid's view size and this view's size, keeping its top edge, within its screen.
    void requestGridSize(std::int64_t rows, std::int64_t cols);

    // ---- Cursor and redraw -----------------------------------------------------------------------
    int userCursorStyle() const { return userCursorStyle_; }
    bool userCursorBlink() const { return userCursorBlink_; }
    void setUserCursorStyle(int style);
    void setUserCursorBlink(bool blink);
    // The cursor style drawn: the shell's choice, else the user's (1-6, odd ones blink).
    int effectiveCursorStyle() const;
    // Key handling calls this: the cursor stays lit while the user types.
    void noteKeystroke();

    bool isDirty() const { return dirty_; }
    // Something changed: draw within a frame (not while the shell holds synchronized output).
    void markDirty();
    bool isRefreshPending() const { return refreshTimer_.isActive() || syncTimeoutTimer_.isActive(); }
    bool isCursorBlinkTimerActive() const { return blinkTimer_.isActive(); }
    bool isTextBlinkTimerActive() const { return textBlinkTimer_.isActive(); }
    bool cursorBlinkOn() const { return cursorBlinkOn_; }
    bool textBlinkVisible() const { return textBlinkVisible_; }
    PerfMetrics perf;

    // ---- Scrolling -------------------------------------------------------------------------------
    double smoothScrollY() const { return smoothScrollY_; }
    // Sets the offset, limited to the scrollback, and redraws.
    void setSmoothScrollY(double offset);
    std::int64_t scrollbackOffset() const;
    bool isScrolledBack() const;
    std::optional<int> consumeScrollLines(double dy);
    std::optional<int> consumeHScrollCols(double dx);
    double scrollAccumulator() const { return scrollAccumulator_; }
    double scrollVelocity() const { return scrollVelocity_; }
    void startMomentumTimer();
    void stopMomentum();
    bool isMomentumActive() const { return momentumTimer_.isActive(); }

    // ---- Selection (the gestures that make it belong to the mouse handling) ----------------------
    const std::optional<GridPos>& selStart() const { return selStart_; }
    const std::optional<GridPos>& selEnd() const { return selEnd_; }
    void setSelection(std::optional<GridPos> start, std::optional<GridPos> end);
    void clearSelection() { setSelection(std::nullopt, std::nullopt); }
    // A mouse drag-selection is in progress; the wheel then moves the selection's end.
    bool isDragging() const { return isDragging_; }
    void setDragging(bool dragging) { isDragging_ = dragging; }
    // The selection as linear positions (row x cols + col), smaller first; none without one.
    std::optional<std::pair<std::int64_t, std::int64_t>> selectionRange() const;
    // The last column of a grid row holding neither a blank nor U+0000; -1 for none or no such row.
    std::int64_t lastTextCol(std::int64_t row) const;
    std::int64_t lastTextColBuf(std::int64_t bufferRow, std::int64_t scrollbackCount) const;
    // The selected text, trailing white space of each line removed; none when nothing is selected.
    std::optional<QString> selectedText() const;

    // ---- Reading what is shown -------------------------------------------------------------------
    // The cell at a buffer index (scrollback first, then grid rows) and logical column; the blank
    // cell outside the buffer.
    Cell cellForDisplay(std::int64_t bufferIndex, std::int64_t col, std::int64_t scrollbackCount) const;
    // The buffer position under a point of the view, clamped to the buffer.
    GridPos gridPos(QPointF point) const;
    // The screen's text for assistive technology: grid rows, trailing blanks and blank lines at the
    // end removed. Cached until the next output.
    QString accessibilityValue() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Where the rows of one frame go.
    struct FrameGeometry {
        bool scrolledBack = false;
        double frac = 0;        // the part of a row scrolled, in points
        std::int64_t extra = 0; // 1 when a partly scrolled row shows at the top
        std::int64_t first = 0; // buffer index of drawn row 0
        std::int64_t scrollbackCount = 0;
        qreal rowTop(std::int64_t r) const { return frac + cellH * qreal(r - extra) + paddingY; }
        qreal cellH = 16;
    };
    // A rendition as drawn: colours after inverse and hidden, the face, the decorations.
    struct ResolvedAttrs {
        QColor fg;         // glyph colour (dim applied)
        QColor decoration; // overline and strikethrough, and underline without a colour of its own
        QColor underline;
        QColor bg;
        bool defaultBg = true;
        int face = 0; // 0 regular, 1 bold, 2 italic, 3 bold italic
        bool blink = false;
        bool hidden = false;
        std::uint8_t underlineStyle = 0;
        bool overline = false;
        bool strikethrough = false;
    };
    // One cell of a row about to be drawn.
    struct DrawCell {
        qreal x = 0;
        qreal width = 0;
        const ResolvedAttrs* attrs = nullptr;
        char32_t ch = U' ';
        bool hyperlink = false;
        bool selected = false;
    };

    void installTerminalCallbacks();
    void handleOutput(QByteArrayView piece);
    void handleOutputEnded();
    void followScrollback(std::uint64_t pushedBefore, std::uint64_t droppedBefore);
    void contentChanged();
    void refreshTick();
    void cursorBlinkTick();
    void textBlinkTick();
    void momentumTick();
    void applyFonts(TerminalFonts fonts);
    void resizeGrid(QSizeF size);
    void invalidateBidiCache();
    const std::optional<std::vector<std::int64_t>>& bidiOrder(std::int64_t row) const;
    bool isFocusedForCursor() const;
    void scrollMainScreen(const QWheelEvent* event, double dy, bool precise);
    void sendWheelReports(const QWheelEvent* event, double dx, double dy, bool precise);
    void sendWheelKeys(double dx, double dy, bool precise);
    void dragSelectionToPointer(QPointF point);

    // Drawing (TerminalViewPaint.cpp)
    FrameGeometry frameGeometry() const;
    const ResolvedAttrs& resolve(std::uint32_t attrId, const ColorContext& colors);
    void paintRow(QPainter& painter, const FrameGeometry& frame, const ColorContext& colors, std::int64_t r,
                  const std::optional<std::pair<std::int64_t, std::int64_t>>& selection);
    void paintDecorations(QPainter& painter, const DrawCell& cell, qreal rowTop) const;
    void paintSearchHighlights(QPainter& painter, const FrameGeometry& frame) const;
    // Draws the cursor; true when its style blinks and it is shown (the blink timer must run).
    bool paintCursor(QPainter& painter);
    void paintScrollBadge(QPainter& painter) const;
    void paintImages(QPainter& painter);
    void updateBlinkTimers(bool cursorBlinks, bool blinkingTextShown);

    PtySessionSettings settings_;
    TerminalFonts fonts_;
    std::unique_ptr<Terminal> terminal_;
    PtySession session_;
    mutable GlyphCache glyphs_;

    int userCursorStyle_ = 0;
    bool userCursorBlink_ = true;
    bool dirty_ = false;
    bool suppressResize_ = false;
    bool isDragging_ = false;

    double smoothScrollY_ = 0;
    double scrollVelocity_ = 0;
    double scrollAccumulator_ = 0;
    double hScrollAccumulator_ = 0;

    QTimer refreshTimer_;
    QTimer syncTimeoutTimer_;
    QElapsedTimer syncHeldSince_; // valid while the shell holds synchronized output
    QTimer blinkTimer_;
    QTimer textBlinkTimer_;
    QTimer momentumTimer_;
    bool cursorBlinkOn_ = true;
    bool textBlinkVisible_ = true;
    bool frameShowsBlinkingText_ = false;
    QElapsedTimer sinceLastKeystroke_; // invalid until the first key

    std::optional<GridPos> selStart_;
    std::optional<GridPos> selEnd_;

    mutable std::vector<std::optional<std::vector<std::int64_t>>> bidiCacheData_;
    mutable std::vector<bool> bidiCacheValid_;
    mutable std::optional<QString> a11yValueCache_;
    // Per frame: the colours and faces of every rendition drawn, by attribute id. Node-based, so
    // the cells of a row can point into it while more renditions are added.
    std::unordered_map<std::uint32_t, ResolvedAttrs> attrCache_;
    // Per row: the cells to draw, reused from row to row.
    std::vector<DrawCell> rowCells_;
    // Decoded images wrapped for drawing, by the engine's image they were made from.
    std::vector<std::pair<std::shared_ptr<const void>, std::shared_ptr<QImage>>> imageCache_;
};
