// The pointer: click routing (palette, settings, hyperlinks, window drag, split panes), mouse reports
// for programs that ask for them, the pointer's shape, and window activation on entry. The selection
// the left button makes while nothing is reported is in TerminalViewSelection.cpp.
#include "platform/KeyMapping.h"
#include "terminalview/MouseReport.h"
#include "terminalview/SplitContainer.h"
#include "terminalview/TerminalView.h"
#include "terminalview/TerminalViewHost.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QUrl>
#include <QWindow>

namespace {

constexpr int kEdgeZone = 10;
// The pointer entering the pane activates the window, but not right after the window was hidden
// (the pointer is often still where the user clicked to hide it).
constexpr double kActivationHoldOffSeconds = 0.5;

// The resize cursor of the window's edges at a point in window coordinates.
Qt::CursorShape edgeCursorShape(QSize window, QPoint p) {
    const bool left = p.x() < kEdgeZone;
    const bool right = p.x() >= window.width() - kEdgeZone;
    const bool bottom = p.y() >= window.height() - kEdgeZone;
    if (bottom && left) return Qt::SizeBDiagCursor;
    if (bottom && right) return Qt::SizeFDiagCursor;
    if (bottom) return Qt::SizeVerCursor;
    return Qt::SizeHorCursor;
}

bool pointerIsBlocked(const TerminalViewHost* host) {
    return host && (host->isSettingsOpen() || host->isModalOverlayShown());
}

} // namespace

// ---- Reports -----------------------------------------------------------------------------------

void TerminalView::sendMouseEvent(int button, std::int64_t x, std::int64_t y, bool release) {
    writePTY(QByteArrayView(mousereport::encode(button, x + 1, y + 1, release, terminal_->mouseEncoding())));
}

std::int64_t TerminalView::reportRow(const GridPos& pos) const {
    return std::clamp<std::int64_t>(pos.row - std::int64_t(terminal_->scrollback().size()), 0,
                                    terminal_->rows() - 1);
}

void TerminalView::reportAt(int button, const GridPos& pos, bool release) {
    const std::pair<std::int64_t, std::int64_t> cell{pos.col, reportRow(pos)};
    sendMouseEvent(button, cell.first, cell.second, release);
    // Motion is reported from the cell of the press on.
    lastMotionCell_ = release ? std::nullopt : std::optional(cell);
}

void TerminalView::reportMotion(int button, QPointF point) {
    const GridPos pos = gridPos(point);
    const std::pair<std::int64_t, std::int64_t> cell{pos.col, reportRow(pos)};
    // Pointer events arrive for every pixel; the program only learns of a new cell.
    if (lastMotionCell_ == cell) return;
    lastMotionCell_ = cell;
    sendMouseEvent(button, cell.first, cell.second, false);
}

// ---- Buttons -----------------------------------------------------------------------------------

void TerminalView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        pressLeft(event, 1);
    } else {
        pressOther(event);
    }
}

void TerminalView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click; a third press arrives as a plain press again.
    event->accept();
    if (event->button() == Qt::LeftButton) {
        pressLeft(event, 2);
    } else {
        pressOther(event);
    }
}

void TerminalView::pressLeft(QMouseEvent* event, int clickCount) {
    pressClickCount_ = clickCount;
    windowDragStarted_ = false;
    if (TerminalViewHost* host = host_) {
        if (host->isCommandPaletteShown()) host->dismissCommandPalette();
        if (host->isSettingsOpen()) host->hideSettings();
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (keymap::hasCommand(mods) && openHyperlinkAt(event->position())) return;
    if (keymap::hasOption(mods)) {
        // Option-drag moves the window in every mouse mode.
        windowDragStarted_ = true;
        if (QWindow* handle = window()->windowHandle()) handle->startSystemMove();
        return;
    }
    activatePaneInSplit();
    const GridPos pos = gridPos(event->position());
    if (!terminal_->modes().tracksMouse()) {
        selectionPress(pos, clickCount);
    } else {
        reportAt(mousereport::kLeft, pos, false);
    }
}

void TerminalView::pressOther(QMouseEvent* event) {
    int code = 0;
    if (event->button() == Qt::MiddleButton) {
        code = mousereport::kMiddle;
    } else if (event->button() == Qt::RightButton) {
        code = mousereport::kRight;
    } else {
        return;
    }
    if (terminal_->modes().tracksMouse()) {
        reportAt(code, gridPos(event->position()), false);
        return;
    }
    // A right press opens the context menu (contextMenuEvent); a middle press pastes the X11
    // selection, as everywhere on this desktop.
    if (code == mousereport::kMiddle) pasteSelectionBuffer();
}

void TerminalView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons.testFlag(Qt::LeftButton)) {
        // A drag: the window owns an Option gesture.
        if (keymap::hasOption(event->modifiers()) || windowDragStarted_) return;
        const MouseTracking mode = terminal_->mouseTracking();
        if (mode == MouseTracking::drags || mode == MouseTracking::allMotion) {
            reportMotion(mousereport::kLeftDrag, event->position());
        } else if (mode == MouseTracking::off) {
            selectionDrag(gridPos(event->position()));
        }
        return;
    }
    if (buttons != Qt::NoButton) return;
    if (pointerIsBlocked(host_)) return;
    if (terminal_->mouseTracking() == MouseTracking::allMotion && isActiveWindow())
        reportMotion(mousereport::kMotion, event->position());
    updatePointerShape(event->position());
}

void TerminalView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const GridPos pos = gridPos(event->position());
    if (event->button() == Qt::LeftButton) {
        if (windowDragStarted_) {
            windowDragStarted_ = false;
            return;
        }
        if (terminal_->modes().tracksMouse()) {
            reportAt(mousereport::kLeft, pos, true);
        } else {
            selectionRelease(pos);
        }
        return;
    }
    if (!terminal_->modes().tracksMouse()) return;
    if (event->button() == Qt::MiddleButton) reportAt(mousereport::kMiddle, pos, true);
    if (event->button() == Qt::RightButton) reportAt(mousereport::kRight, pos, true);
}

void TerminalView::activatePaneInSplit() {
    auto* container = qobject_cast<SplitContainer*>(parentWidget());
    if (!container) return;
    const bool primary = container->primaryView() == this;
    if (primary == container->activePaneIsPrimary()) return;
    setFocus(Qt::MouseFocusReason);
    container->setActivePane(primary);
    if (container->onFocusChanged) container->onFocusChanged(this);
}

// ---- Hyperlinks --------------------------------------------------------------------------------

QString TerminalView::hyperlinkAt(QPointF point) const {
    const GridPos pos = gridPos(point);
    const Cell cell = cellForDisplay(pos.row, pos.col, std::int64_t(terminal_->scrollback().size()));
    const std::string_view link = terminal_->hyperlinkOf(cell);
    return QString::fromUtf8(link.data(), qsizetype(link.size()));
}

bool TerminalView::openHyperlinkAt(QPointF point) {
    const QString link = hyperlinkAt(point);
    if (link.isEmpty()) return false;
    const QUrl url(link, QUrl::StrictMode);
    if (!url.isValid()) return false;
    // Only links a program set (OSC 8), and only to the web or to mail: a link to a local program or
    // file is not something a click in a terminal should start.
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("https") && scheme != QLatin1String("http") &&
        scheme != QLatin1String("mailto"))
        return false;
    QDesktopServices::openUrl(url);
    return true;
}

// ---- Pointer shape and entry -------------------------------------------------------------------

bool TerminalView::isInEdgeZone(QPoint viewPos) const {
    const QWidget* win = window();
    const QPoint p = mapTo(win, viewPos);
    return p.x() < kEdgeZone || p.x() >= win->width() - kEdgeZone || p.y() >= win->height() - kEdgeZone;
}

void TerminalView::updatePointerShape(QPointF point) {
    const TerminalViewHost* host = host_;
    if (host && host->versionButtonContains(mapToGlobal(point).toPoint())) return;
    if (isInEdgeZone(point.toPoint())) {
        setCursor(edgeCursorShape(window()->size(), mapTo(window(), point.toPoint())));
        return;
    }
    setCursor(hyperlinkAt(point).isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
}

void TerminalView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    TerminalViewHost* host = host_;
    if (pointerIsBlocked(host)) return;
    QWidget* win = window();
    if (!win->isActiveWindow()) {
        const std::optional<double> sinceHide = host ? host->secondsSinceLastHide() : std::nullopt;
        if (!sinceHide || *sinceHide > kActivationHoldOffSeconds) {
            win->raise();
            win->activateWindow();
        }
    }
    const QPoint p = event->position().toPoint();
    setCursor(isInEdgeZone(p) ? edgeCursorShape(win->size(), mapTo(win, p)) : Qt::IBeamCursor);
}

void TerminalView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setCursor(Qt::ArrowCursor);
    if (host_) host_->handleBorderHover(false);
}
