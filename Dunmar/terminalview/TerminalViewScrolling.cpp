// Wheel and trackpad: wheel reports to programs that track the mouse, cursor keys on the alternate
// screen, and otherwise scrolling through the history with momentum and a snap back to the live
// screen; and the Shift+Page keys that page through the history.
#include "terminalview/ScrollMath.h"
#include "terminalview/TerminalView.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

void TerminalView::wheelEvent(QWheelEvent* event) {
    const scrolling::WheelDeltas d = scrolling::wheelDeltas(event->pixelDelta(), event->angleDelta());
    event->accept();
    if (d.dx == 0 && d.dy == 0) {
        // The end of a gesture carries no delta, yet it is what snaps a nearly live view back.
        if (event->phase() == Qt::ScrollEnd && !terminal_->modes().tracksMouse() && !terminal_->isAltScreen())
            scrollMainScreen(event, 0, true);
        return;
    }
    if (terminal_->modes().tracksMouse()) {
        sendWheelReports(event, d.dx, d.dy, d.precise);
        return;
    }
    if (terminal_->isAltScreen()) {
        sendWheelKeys(d.dx, d.dy, d.precise);
        return;
    }
    if (d.dy != 0) scrollMainScreen(event, d.dy, d.precise);
    if (d.dx != 0) sendWheelKeys(d.dx, 0, d.precise);
    if (isDragging_) dragSelectionToPointer(event->position());
}

bool TerminalView::handleHistoryKey(const QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier) return false;
    // A full-screen program or one that reads the mouse has its own use for these keys.
    if (terminal_->isAltScreen() || terminal_->modes().tracksMouse()) return false;
    const auto lines = std::int64_t(terminal_->scrollback().size());
    std::int64_t target = 0;
    switch (event->key()) {
    case Qt::Key_PageUp:
        target = scrollbackOffset() + terminal_->rows();
        break;
    case Qt::Key_PageDown:
        target = scrollbackOffset() - terminal_->rows();
        break;
    case Qt::Key_Home:
        target = lines;
        break;
    case Qt::Key_End:
        target = 0;
        break;
    default:
        return false;
    }
    stopMomentum();
    scrollAccumulator_ = 0;
    // Whole lines, so that a page lands on a row boundary even after a smooth trackpad scroll.
    setSmoothScrollY(double(std::clamp<std::int64_t>(target, 0, lines)) * cellH());
    markDirty();
    return true;
}

std::optional<int> TerminalView::consumeScrollLines(double dy) {
    return scrolling::consume(scrollAccumulator_, dy, scrolling::kMaxLinesPerEvent);
}

std::optional<int> TerminalView::consumeHScrollCols(double dx) {
    return scrolling::consume(hScrollAccumulator_, dx, scrolling::kMaxColsPerEvent);
}

void TerminalView::sendWheelReports(const QWheelEvent* event, double dx, double dy, bool precise) {
    const GridPos pos = gridPos(event->position());
    // Reports carry the row on the live screen, whatever part of the history is shown.
    const std::int64_t screenRow = std::clamp<std::int64_t>(
        pos.row - std::int64_t(terminal_->scrollback().size()), 0, terminal_->rows() - 1);
    const auto send = [&](int button, int count) {
        const QByteArray report =
            scrolling::wheelReport(button, pos.col + 1, screenRow + 1, terminal_->mouseEncoding());
        writePTY(QByteArrayView(report.repeated(count)));
    };
    if (dy != 0)
        if (const std::optional<int> n = consumeScrollLines(scrolling::lineDelta(dy, precise)))
            send(dy > 0 ? 64 : 65, *n);
    if (dx != 0)
        if (const std::optional<int> n = consumeHScrollCols(scrolling::lineDelta(dx, precise)))
            send(dx > 0 ? 67 : 66, *n);
}

void TerminalView::sendWheelKeys(double dx, double dy, bool precise) {
    const bool app = terminal_->mode(Mode::appCursor);
    if (dy != 0)
        if (const std::optional<int> n = consumeScrollLines(scrolling::lineDelta(dy, precise)))
            writePTY(QByteArrayView(scrolling::cursorKey(dy > 0 ? 'A' : 'B', app).repeated(*n)));
    if (dx != 0)
        if (const std::optional<int> n = consumeHScrollCols(scrolling::lineDelta(dx, precise)))
            writePTY(QByteArrayView(scrolling::cursorKey(dx > 0 ? 'C' : 'D', app).repeated(*n)));
}

void TerminalView::scrollMainScreen(const QWheelEvent* event, double dy, bool precise) {
    const std::size_t lines = terminal_->scrollback().size();
    const auto moveBy = [&](double points) {
        smoothScrollY_ = scrolling::clampOffset(smoothScrollY_ + points, cellH(), lines);
        update();
    };
    switch (event->phase()) {
    case Qt::ScrollBegin:
    case Qt::ScrollUpdate:
        stopMomentum();
        moveBy(dy * scrolling::kTrackpadGain);
        break;
    case Qt::ScrollMomentum:
        moveBy(dy * scrolling::kTrackpadGain);
        break;
    case Qt::ScrollEnd:
        if (smoothScrollY_ < cellH() * 0.5) smoothScrollY_ = 0;
        update();
        break;
    case Qt::NoScrollPhase:
        stopMomentum();
        if (precise) {
            // A device that reports pixels but no gesture phases (touchpads under X11) sends a
            // stream of small deltas, one per frame; each must move the view by itself; adding
            // them all to a momentum velocity would throw the view far into the history.
            moveBy(dy * scrolling::kTrackpadGain);
            break;
        }
        scrollVelocity_ = scrolling::addWheelVelocity(0, dy, cellH());
        moveBy(scrollVelocity_);
        startMomentumTimer();
        break;
    }
}

void TerminalView::startMomentumTimer() {
    if (!momentumTimer_.isActive()) momentumTimer_.start();
}

void TerminalView::stopMomentum() {
    scrollVelocity_ = 0;
    momentumTimer_.stop();
}

void TerminalView::momentumTick() {
    const std::optional<scrolling::MomentumStep> step = scrolling::momentumStep(scrollVelocity_);
    if (!step) {
        stopMomentum();
        return;
    }
    smoothScrollY_ =
        scrolling::clampOffset(smoothScrollY_ + step->move, cellH(), terminal_->scrollback().size());
    scrollVelocity_ = step->velocity;
    update();
}

void TerminalView::setSmoothScrollY(double offset) {
    smoothScrollY_ = scrolling::clampOffset(offset, cellH(), terminal_->scrollback().size());
    update();
}

std::int64_t TerminalView::scrollbackOffset() const {
    return scrolling::scrollbackOffset(smoothScrollY_, cellH());
}

bool TerminalView::isScrolledBack() const {
    return scrolling::isScrolledBack(smoothScrollY_, cellH());
}

void TerminalView::dragSelectionToPointer(QPointF point) {
    if (!selStart_) return;
    setSelection(selStart_, gridPos(point));
}
