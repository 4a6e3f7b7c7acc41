#pragma once

#include "actions/ActionHandler.h"
#include "engine/Colors.h"
#include "engine/PerfMetrics.h"
#include "engine/Terminal.h"
#include "terminalview/GlyphCache.h"
#include "terminalview/KeyEncoding.h"
#include "terminalview/PtySession.h"
#include "terminalview/TerminalFonts.h"

#include <QColor>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class HistoryIndex;
class QImage;
class QMenu;
class QMimeData;
class TerminalViewHost;

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
class TerminalView : public QWidget, public ActionHandler {
    Q_OBJECT
public:
    static constexpr qreal paddingX = 16.0;
    static constexpr qreal paddingY = 10.0;
    static constexpr int kRefreshIntervalMs = 16; // about 1/60 s
    static constexpr int kBlinkIntervalMs = 500;
    // A blinking cursor rests (stays lit, no timer) this long after the last key or output, so that
    // an idle terminal wakes nobody; a key, output or the focus start it again.
    static constexpr int kBlinkRestAfterMs = 15000;
    // A program that began synchronized output and never ended it (killed, or a lost byte) would
    // freeze the pane; after this long the screen is drawn anyway.
    static constexpr int kSynchronizedOutputTimeoutMs = 1000;

    // Creates the pane at `frameRect` and starts `shell` in `cwd` (empty: the home directory).
    // `host` is the owner the pane reports to (null: none); it must outlive the pane.
    // `historyId` names the shell's history file (empty: a new one). `settings` redirects the
    // settings store and the home directory (tests).
    TerminalView(TerminalViewHost* host, const QRect& frameRect, const QString& shell,
                 const QString& cwd = {}, const QString& historyId = {}, PtySessionSettings settings = {},
                 QWidget* parent = nullptr);
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

    // Called when the shell's output ended (not after switchShell). When unset, the host is asked
    // to quit. The owner may delete the view from inside.
    std::function<void()> onShellExit;
    // The shell printed its first output (after a start or a switch); the history is loading.
    std::function<void()> onShellReady;
    // Called with the number of scrollback lines dropped at the top (the scrollback was full or was
    // cleared): positions kept as buffer rows move up by that much. The view's own selection and
    // scroll position have already been shifted.
    std::function<void(std::int64_t droppedLines)> onBufferLinesDropped;

    // ---- Settings --------------------------------------------------------------------------------
    // The pane's share of the user's settings, handed over by its owner; the pane applies it itself
    // (fonts, cursor, copying a selection, and what its next shell starts with).
    void applySettings(const PaneSettings& pane);
    const PaneSettings& paneSettings() const { return settings_.pane; }

    // ---- Fonts and size --------------------------------------------------------------------------
    const TerminalFonts& fonts() const { return fonts_; }
    qreal cellW() const { return fonts_.cellW; }
    qreal cellH() const { return fonts_.cellH; }
    // Rebuilds the fonts at `size` in the pane's font family and refits the grid.
    void updateFontSize(double size);
    // The grid size that fits a view size.
    std::pair<std::int64_t, std::int64_t> gridSizeFor(QSizeF size) const; // (cols, rows)
    // While set, size changes do not resize the grid (the owner animates the frame).
    void setSuppressResize(bool suppress) { suppressResize_ = suppress; }
    bool suppressResize() const { return suppressResize_; }
    // The shell asked for a grid of rows x cols: grow or shrink the window by the difference between
    // that grid's view size and this view's size, keeping its top edge, within its screen; at most
    // once a second and never during a drag by the user (ProgramResizeGate).
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
    // Tests shorten the rest so that they need not wait for it.
    void setCursorBlinkRestAfter(int ms) { blinkRestAfterMs_ = ms; }
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
    // Whether a cell of the live grid (row = grid row) is selected and holds text up to it.
    bool isSelected(std::int64_t row, std::int64_t col) const;
    // The word around a buffer position, on its row: letters, marks, digits and "-._". A position
    // that is not on a word gives itself twice.
    std::pair<GridPos, GridPos> wordBounds(GridPos pos) const;
    // The press that began the selection gesture in progress, and whether it is a double-click's
    // word selection.
    const std::optional<GridPos>& mouseDownPos() const { return mouseDownPos_; }
    bool isWordSelect() const { return isWordSelect_; }

    // ---- Clipboard, paste and drops (TerminalViewClipboard.cpp) ----------------------------------
    // Types text into the shell, inside bracketed-paste markers when the shell asked for them, without
    // the control characters a paste does not keep (pasting::keptInPaste). The one way in for
    // every paste and every other component that types outside text into a terminal.
    void pasteText(const QString& text);
    // True from an accepted drag's entry until it leaves or drops.
    bool isDragSessionActive() const { return isDragSessionActive_; }

    // ---- Keys (TerminalViewKeys.cpp) -------------------------------------------------------------
    // Shift plus an arrow: moves the selection's end by one cell (starting at the cursor).
    void handleShiftArrow(keys::FunctionalKey arrow);

    // ---- Typed line and history suggestions (TerminalViewHistory.cpp) ----------------------------
    // What the user typed on the shell's line since the last Return, as far as the keys tell.
    const QString& typedBuffer() const { return typedBuffer_; }
    void setTypedBuffer(const QString& text);
    // The newest history line that continues the typed line, or nothing.
    std::optional<QString> bestHistorySuggestion() const { return cachedBestSuggestion_; }
    // Every history line that continues `prefix`, newest first.
    QStringList historyMatchesForPrefix(const QString& prefix) const;
    void clearHistoryCycle();
    void clearHistoryState();
    // Reads the shell history files in the background; the newest result replaces the list.
    void loadHistory();
    // Suggestions, cycling and the typed line are kept only on the main screen while the program
    // does not take the mouse.
    bool historyActive() const;
    const QStringList& historyEntries() const;
    int historyCycleIndex() const { return historyCycleIndex_; }
    const QStringList& historyMatches() const { return historyMatches_; }
    // The suggestion the last frame showed as ghost text; the accept keys take it.
    const std::optional<QString>& currentSuggestion() const { return currentSuggestion_; }

    // ---- Mouse (TerminalViewMouse.cpp) -----------------------------------------------------------
    // Writes one mouse report: x is the 0-based column, y the 0-based row of the live screen.
    void sendMouseEvent(int button, std::int64_t x, std::int64_t y, bool release);
    // Within 10 points of the left, right or bottom edge of the window: the window's resize zone.
    bool isInEdgeZone(QPoint viewPos) const;
    // The hyperlink of the cell under a point of the view, as shown (history lines included).
    QString hyperlinkAt(QPointF point) const;

    // ---- Context menu (TerminalContextMenu.cpp) --------------------------------------------------
    // The menu a right click opens, built afresh; nullptr while the program takes the mouse.
    std::unique_ptr<QMenu> contextMenu();

    // The actions that act on the pane itself: the clipboard, Select All, Clear, the line editor's
    // jumps and the shell keys. False for every other action (those are the host's).
    bool perform(Action action) override;
    // Performs `action` here when it is the pane's, else reports it to the host.
    void trigger(Action action);

public slots:
    // The clipboard commands.
    void paste();
    void copyText();
    void copy() { copyText(); }
    void selectAll();
    // Empties the history and the screen and asks the shell to draw its prompt again.
    void clearScrollback();

public:
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
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TerminalViewHost* host_ = nullptr;
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
        bool hyperlink = false;
    };
    // One cell of a row about to be drawn.
    struct DrawCell {
        qreal x = 0;
        qreal width = 0;
        const ResolvedAttrs* attrs = nullptr;
        char32_t ch = U' ';
        std::u32string_view cluster; // a base and its marks, drawn as one run; empty for a lone ch
        bool hyperlink = false;
        bool selected = false;
        bool underGhost = false; // the ghost text of a suggestion is drawn here instead
    };
    // Where this frame draws the ghost text: grid row and columns [start, end).
    struct GhostSpan {
        std::int64_t row = 0;
        std::int64_t start = 0;
        std::int64_t end = 0;
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

    // Keys (TerminalViewKeys.cpp)
    // A key bound to an action: performed here or reported to the host. False for other keys.
    bool handleBoundKey(const QKeyEvent* event);
    // Shift+PageUp/PageDown/Home/End move through the history while the program leaves the screen
    // and the mouse to the terminal; true when the key was one of them and was used so.
    bool handleHistoryKey(const QKeyEvent* event);
    bool handleOptionKey(const QKeyEvent* event);
    bool handleControlKey(const QKeyEvent* event, bool alt);
    void handleLegacyKey(const QKeyEvent* event, bool shift, bool alt, bool control);
    void writeTypedText(const QString& text, bool alt);
    void clearSelectionForTyping();

    // History suggestions (TerminalViewHistory.cpp)
    void setHistory(std::shared_ptr<const HistoryIndex> history);
    void recomputeBestSuggestion();
    // The ghost text the frame would show: the rest of the suggestion, cut to the room left of the
    // cursor, and the whole suggestion; nothing when there is none to show.
    std::optional<std::pair<QString, QString>> ghostText() const;
    bool acceptSuggestion();
    bool cycleHistoryUp();
    bool cycleHistoryDown();
    void eraseLastTypedCharacter();

    // Mouse and selection (TerminalViewMouse.cpp, TerminalViewSelection.cpp)
    void pressLeft(QMouseEvent* event, int clickCount);
    void pressOther(QMouseEvent* event);
    std::int64_t reportRow(const GridPos& pos) const;
    void reportAt(int button, const GridPos& pos, bool release);
    void reportMotion(int button, QPointF point);
    void updatePointerShape(QPointF point);
    bool openHyperlinkAt(QPointF point);
    void activatePaneInSplit();
    void selectionPress(const GridPos& pos, int clickCount);
    void selectionDrag(const GridPos& pos);
    void selectionRelease(const GridPos& pos);
    bool copyOnSelect() const;
    void pasteSelectionBuffer();

    // Clipboard and drops (TerminalViewClipboard.cpp)
    void putOnClipboard(const QString& text);
    static bool hasFileUrls(const QMimeData* mime);

    // Context menu (TerminalContextMenu.cpp)
    QString versionLine() const;

    // Drawing (TerminalViewPaint.cpp)
    FrameGeometry frameGeometry() const;
    const ResolvedAttrs& resolve(const Cell& cell, const ColorContext& colors);
    void paintRow(QPainter& painter, const FrameGeometry& frame, const ColorContext& colors, std::int64_t r,
                  const std::optional<std::pair<std::int64_t, std::int64_t>>& selection);
    void paintDecorations(QPainter& painter, const DrawCell& cell, qreal rowTop) const;
    void paintSearchHighlights(QPainter& painter, const FrameGeometry& frame) const;
    // Draws the cursor; true when its style blinks and it is shown (the blink timer must run).
    bool paintCursor(QPainter& painter);
    void paintScrollBadge(QPainter& painter) const;
    void paintGhostText(QPainter& painter, const QString& ghost);
    void paintImages(QPainter& painter);
    void updateBlinkTimers(bool cursorBlinks, bool blinkingTextShown);
    void wakeCursorBlink();
    QRect cursorCellsRect() const;

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
    QElapsedTimer sinceCursorActivity_; // the last key, output or focus, for the blink's rest
    int blinkRestAfterMs_ = kBlinkRestAfterMs;
    bool blinkResting_ = false;

    std::optional<GridPos> selStart_;
    std::optional<GridPos> selEnd_;
    std::optional<GridPos> mouseDownPos_;
    bool isWordSelect_ = false;
    int pressClickCount_ = 0;
    // An Option press handed the gesture to the window manager; its release reports nothing.
    bool windowDragStarted_ = false;
    // The cell of the last motion report: motion inside one cell is reported once.
    std::optional<std::pair<std::int64_t, std::int64_t>> lastMotionCell_;

    bool isDragSessionActive_ = false;
    Qt::DropAction cachedDragOperation_ = Qt::IgnoreAction;

    QString typedBuffer_;
    std::optional<QString> cachedBestSuggestion_;
    std::shared_ptr<const HistoryIndex> history_;
    int historyCycleIndex_ = -1;
    QStringList historyMatches_;
    std::optional<QString> currentSuggestion_;
    std::optional<GhostSpan> ghostSpan_;
    quint64 historyLoadGeneration_ = 0;

    mutable std::vector<std::optional<std::vector<std::int64_t>>> bidiCacheData_;
    mutable std::vector<bool> bidiCacheValid_;
    mutable std::optional<QString> a11yValueCache_;
    // Per frame: the colours and faces of every rendition drawn, by the cell's packed rendition.
    // Node-based, so the cells of a row can point into it while more renditions are added.
    std::unordered_map<CellRenditionKey, ResolvedAttrs, CellRenditionKeyHash> attrCache_;
    // Per row: the cells to draw, reused from row to row.
    std::vector<DrawCell> rowCells_;
    // Decoded images wrapped for drawing, by the engine's image they were made from.
    std::vector<std::pair<std::shared_ptr<const void>, std::shared_ptr<QImage>>> imageCache_;
};
