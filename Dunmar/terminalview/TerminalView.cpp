#include "terminalview/TerminalView.h"

#include "terminalview/ScrollMath.h"
#include "terminalview/ShellList.h"
#include "terminalview/TerminalAccessibility.h"
#include "terminalview/TerminalViewHost.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QStringEncoder>
#include <string_view>

TerminalView::TerminalView(TerminalViewHost* host, const QRect& frameRect, const QString& shell,
                           const QString& cwd, const QString& historyId, PtySessionSettings settings,
                           QWidget* parent)
    : QWidget(parent), host_(host), settings_(settings), session_(historyId, settings) {
    loadTerminalFonts();
    installTerminalAccessibility();
    const PaneSettings& pane = settings_.pane;
    fonts_ = makeTerminalFonts(pane.fontSize, pane.fontFamily);
    glyphs_.setFonts(fonts_);
    const auto [cols, rows] = gridSizeFor(frameRect.size());
    terminal_ = std::make_unique<Terminal>(cols, rows);
    terminal_->setCellPixelSize(std::int64_t(fonts_.cellW), std::int64_t(fonts_.cellH));

    userCursorStyle_ = pane.cursorStyle;
    userCursorBlink_ = pane.cursorBlink;

    setGeometry(frameRect);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setMouseTracking(true);
    setAcceptDrops(true);
    setCursor(Qt::IBeamCursor);

    installTerminalCallbacks();

    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(kRefreshIntervalMs);
    refreshTimer_.setTimerType(Qt::PreciseTimer);
    connect(&refreshTimer_, &QTimer::timeout, this, &TerminalView::refreshTick);
    syncTimeoutTimer_.setSingleShot(true);
    connect(&syncTimeoutTimer_, &QTimer::timeout, this, &TerminalView::refreshTick);
    blinkTimer_.setInterval(kBlinkIntervalMs);
    connect(&blinkTimer_, &QTimer::timeout, this, &TerminalView::cursorBlinkTick);
    textBlinkTimer_.setInterval(kBlinkIntervalMs);
    connect(&textBlinkTimer_, &QTimer::timeout, this, &TerminalView::textBlinkTick);
    momentumTimer_.setInterval(scrolling::kMomentumTickMs);
    momentumTimer_.setTimerType(Qt::PreciseTimer);
    connect(&momentumTimer_, &QTimer::timeout, this, &TerminalView::momentumTick);

    session_.onOutput = [this](QByteArrayView piece) { handleOutput(piece); };
    session_.onOutputEnded = [this] { handleOutputEnded(); };
    // When many panes have output, the one the user types into is read first, then those in sight.
    session_.readPriority = [this] { return hasFocus() ? 2 : isVisible() ? 1 : 0; };
    session_.onFirstOutput = [this] {
        loadHistory();
        if (onShellReady) onShellReady();
    };
    session_.remoteOutputWanted = [host] { return host && host->isRemoteStreamConnected(); };
    session_.onRemoteOutput = [host](const QString& text) {
        if (host) host->sendRemoteOutput(text);
    };
    session_.setWindowSize(int(rows), int(cols), frameRect.width(), frameRect.height());
    session_.start(shell, cwd);
}

TerminalView::~TerminalView() {
    // The session closes the master and leaves the child to the reaper; nothing of the view may run
    // from its callbacks after this point.
    session_.onOutput = nullptr;
    session_.onOutputEnded = nullptr;
    session_.onFirstOutput = nullptr;
    session_.onRemoteOutput = nullptr;
    session_.readPriority = nullptr;
}

void TerminalView::installTerminalCallbacks() {
    Terminal& t = *terminal_;
    t.onSixelImage = [this] { markDirty(); };
    t.onResponse = [this](const std::string& reply) {
        writePTY(QByteArrayView(reply.data(), qsizetype(reply.size())));
    };
    t.onBell = [this] {
        // Rung on the next turn of the event loop, outside the engine's processing; a pane closed by
        // then rings without a view. A host that is an object cancels the call by going away first.
        QObject* hostObject = dynamic_cast<QObject*>(host_);
        QTimer::singleShot(0, hostObject ? hostObject : qApp,
                           [host = host_, view = QPointer<TerminalView>(this)] {
                               if (host) host->ringBell(view.data());
                           });
    };
    t.onResize = [this](std::int64_t rows, std::int64_t cols) { requestGridSize(rows, cols); };
    t.onClipboardWrite = [this](const std::string& text) { putOnClipboard(QString::fromStdString(text)); };
}

// ---- Shell output ------------------------------------------------------------------------------

void TerminalView::handleOutput(QByteArrayView piece) {
    perf.readBytes += piece.size();
    perf.readCount += 1;
    const Scrollback& scrollback = terminal_->scrollback();
    const std::uint64_t pushedBefore = scrollback.pushedTotal();
    const std::uint64_t droppedBefore = scrollback.droppedTotal();
    terminal_->process(std::string_view(piece.data(), std::size_t(piece.size())));
    followScrollback(pushedBefore, droppedBefore);
    if (!terminal_->mode(Mode::synchronizedOutput)) syncHeldSince_.invalidate();
    contentChanged();
}

void TerminalView::followScrollback(std::uint64_t pushedBefore, std::uint64_t droppedBefore) {
    const Scrollback& scrollback = terminal_->scrollback();
    const auto pushed = std::int64_t(scrollback.pushedTotal() - pushedBefore);
    const auto dropped = std::int64_t(scrollback.droppedTotal() - droppedBefore);
    if (smoothScrollY_ > 0) {
        if (isScrolledBack()) {
            // Every pushed line moves the shown lines one row further from the bottom, whether or
            // not the full scrollback dropped one at its top in exchange.
            smoothScrollY_ =
                scrolling::clampOffset(smoothScrollY_ + cellH() * double(pushed), cellH(), scrollback.size());
        } else {
            // A sliver of a row shows the live screen; let it follow the output.
            smoothScrollY_ = 0;
        }
    }
    if (dropped <= 0) return;
    // Buffer rows count from the oldest kept line, so every row moved up by the dropped lines.
    auto shift = [dropped](std::optional<GridPos>& p) {
        if (!p) return;
        p->row -= dropped;
        if (p->row < 0) *p = GridPos{0, 0};
    };
    if (selStart_ && selEnd_ && selStart_->row - dropped < 0 && selEnd_->row - dropped < 0) {
        clearSelection();
    } else {
        shift(selStart_);
        shift(selEnd_);
    }
    if (onBufferLinesDropped) onBufferLinesDropped(dropped);
}

void TerminalView::contentChanged() {
    invalidateBidiCache();
    a11yValueCache_.reset();
    markDirty();
}

void TerminalView::handleOutputEnded() {
    terminal_->forgetProgramRequests();
    syncHeldSince_.invalidate();
    markDirty();
    if (onShellExit) {
        // The owner may delete this view inside.
        const std::function<void()> callback = onShellExit;
        callback();
        return;
    }
    if (host_) host_->perform(Action::quit);
}

// ---- Input to the shell ------------------------------------------------------------------------

void TerminalView::writePTY(QByteArrayView bytes) {
    if (!session_.isRunning()) return;
    perf.writeBytes += bytes.size();
    perf.writeCount += 1;
    session_.write(bytes);
}

void TerminalView::writePTY(const QString& text) {
    // Text that is not valid Unicode (a lone surrogate) is not sent at all rather than mangled.
    QStringEncoder encoder(QStringEncoder::Utf8);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) return;
    writePTY(QByteArrayView(bytes));
}

void TerminalView::switchShell(const QString& shellPath) {
    stopMomentum();
    smoothScrollY_ = 0;
    scrollAccumulator_ = 0;
    hScrollAccumulator_ = 0;
    clearSelection();
    clearHistoryState();
    terminal_->fullReset();
    terminal_->clearScrollback();
    syncHeldSince_.invalidate();
    session_.switchShell(shellPath);
    contentChanged();
}

void TerminalView::switchToShell1() {
    if (availableShells().size() >= 1) switchShell(availableShells()[0].path);
}
void TerminalView::switchToShell2() {
    if (availableShells().size() >= 2) switchShell(availableShells()[1].path);
}
void TerminalView::switchToShell3() {
    if (availableShells().size() >= 3) switchShell(availableShells()[2].path);
}

void TerminalView::killForegroundProcess() {
    session_.killForegroundProcess();
}

void TerminalView::resetTermiosModes() {
    session_.resetTermiosModes();
}

// ---- Redraw and blink --------------------------------------------------------------------------

void TerminalView::markDirty() {
    dirty_ = true;
    if (!isVisible() || refreshTimer_.isActive()) return;
    // While the shell holds synchronized output the time-out timer is armed; output that ends the
    // hold is drawn at the next frame.
    if (syncTimeoutTimer_.isActive() && terminal_->mode(Mode::synchronizedOutput)) return;
    syncTimeoutTimer_.stop();
    refreshTimer_.start();
}

void TerminalView::refreshTick() {
    if (!dirty_ || !isVisible()) return; // showEvent schedules what was left
    if (terminal_->mode(Mode::synchronizedOutput)) {
        if (!syncHeldSince_.isValid()) syncHeldSince_.start();
        const qint64 held = syncHeldSince_.elapsed();
        if (held < kSynchronizedOutputTimeoutMs) {
            // The end of the mode arrives as output and schedules a frame; until then wait, but not
            // for ever.
            refreshTimer_.stop();
            syncTimeoutTimer_.start(int(kSynchronizedOutputTimeoutMs - held));
            return;
        }
    }
    syncTimeoutTimer_.stop();
    dirty_ = false;
    update();
}

void TerminalView::noteKeystroke() {
    sinceLastKeystroke_.start();
    if (!cursorBlinkOn_) {
        cursorBlinkOn_ = true;
        update();
    }
}

void TerminalView::cursorBlinkTick() {
    if (sinceLastKeystroke_.isValid() && sinceLastKeystroke_.elapsed() < kBlinkIntervalMs) return;
    cursorBlinkOn_ = !cursorBlinkOn_;
    // Only the cursor's cells: a blink of the whole pane repainted the window beneath it too, twice
    // a second, on every idle terminal.
    const QRectF cell(paddingX + qreal(terminal_->cursorX()) * cellW(), paddingY + qreal(terminal_->cursorY()) * cellH(),
                      2 * cellW(), cellH());
    update(cell.toAlignedRect().adjusted(-2, -2, 2, 2));
}

void TerminalView::textBlinkTick() {
    if (!isVisible()) return;
    textBlinkVisible_ = !textBlinkVisible_;
    update();
}

void TerminalView::updateBlinkTimers(bool cursorBlinks, bool blinkingTextShown) {
    if (cursorBlinks) {
        if (!blinkTimer_.isActive()) blinkTimer_.start();
    } else if (blinkTimer_.isActive()) {
        blinkTimer_.stop();
        cursorBlinkOn_ = true;
    }
    if (blinkingTextShown) {
        if (!textBlinkTimer_.isActive()) textBlinkTimer_.start();
    } else if (textBlinkTimer_.isActive()) {
        textBlinkTimer_.stop();
        textBlinkVisible_ = true;
    }
}

void TerminalView::setUserCursorStyle(int style) {
    settings_.pane.cursorStyle = style;
    userCursorStyle_ = style;
    update();
}

void TerminalView::setUserCursorBlink(bool blink) {
    settings_.pane.cursorBlink = blink;
    userCursorBlink_ = blink;
    update();
}

void TerminalView::applySettings(const PaneSettings& pane) {
    const PaneSettings before = settings_.pane;
    settings_.pane = pane;
    session_.setPaneSettings(pane);
    // Fonts are rebuilt, and the grid re-flowed, only when they change.
    if (pane.fontSize != before.fontSize || pane.fontFamily != before.fontFamily)
        applyFonts(makeTerminalFonts(pane.fontSize, pane.fontFamily));
    if (pane.cursorStyle != userCursorStyle_) setUserCursorStyle(pane.cursorStyle);
    if (pane.cursorBlink != userCursorBlink_) setUserCursorBlink(pane.cursorBlink);
}

int TerminalView::effectiveCursorStyle() const {
    const std::int64_t shellStyle = terminal_->cursorStyle();
    if (shellStyle >= 1 && shellStyle <= 6) return int(shellStyle);
    switch (userCursorStyle_) {
    case 2:
        return userCursorBlink_ ? 1 : 2; // block
    case 1:
        return userCursorBlink_ ? 5 : 6; // bar
    default:
        return userCursorBlink_ ? 3 : 4; // line
    }
}

bool TerminalView::isFocusedForCursor() const {
    return hasFocus() && isActiveWindow();
}

// ---- Focus and visibility ----------------------------------------------------------------------

void TerminalView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (terminal_->mode(Mode::focusReporting)) writePTY(QByteArrayView("\x1b[I", 3));
    update();
}

void TerminalView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (terminal_->mode(Mode::focusReporting)) writePTY(QByteArrayView("\x1b[O", 3));
    update();
}

void TerminalView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (dirty_) markDirty();
}

void TerminalView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    refreshTimer_.stop();
    syncTimeoutTimer_.stop();
    updateBlinkTimers(false, false);
}

void TerminalView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) update();
}

void TerminalView::invalidateBidiCache() {
    std::fill(bidiCacheValid_.begin(), bidiCacheValid_.end(), false);
}
