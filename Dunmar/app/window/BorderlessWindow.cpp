#include "app/window/BorderlessWindow.h"

#include "app/window/WindowBorderView.h"
#include "platform/Geometry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScreen>
#include <QWindow>

BorderlessWindow::BorderlessWindow(QWidget* content)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool), content_(content),
      border_(new WindowBorderView(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    content_->setParent(this);
    border_->raise();
    // The native window exists from the start: the window-manager hints go on it before it is
    // first mapped, and its events pass through this object before any widget sees them.
    create();
    if (QWindow* handle = windowHandle()) handle->installEventFilter(this);
}

BorderlessWindow::~BorderlessWindow() {
    if (cursorOverridden_) QGuiApplication::restoreOverrideCursor();
}

double BorderlessWindow::desktopBottom() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().y() + primary->geometry().height() : height();
}

edges::Edge BorderlessWindow::edgeAt(const QPointF& p) const {
    return edges::edgeAt(QPointF(p.x(), height() - p.y()), QSizeF(size()), isDetached);
}

void BorderlessWindow::setFrame(const QRect& frame) {
    QRect f = frame;
    if (activeEdge_ != edges::Edge::none && !isDetached && statusItemCenterX) {
        if (const std::optional<double> m = statusItemCenterX()) {
            // Only x changes, and x reads the same in both directions of y.
            const QRectF kept = edges::keepUnderStatusItem(QRectF(f), *m);
            f = geometry::toPixels(QRectF(kept.x(), f.y(), kept.width(), f.height()));
        }
    }
    setGeometry(f);
}

void BorderlessWindow::toggleMaximize(edges::Edge edge) {
    const QScreen* screen = this->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect target;
    if (preMaxFrame_) {
        target = *preMaxFrame_;
        preMaxFrame_.reset();
    } else {
        preMaxFrame_ = geometry();
        const double bottom = desktopBottom();
        const QRectF vf = geometry::toBottomUp(QRectF(screen->availableGeometry()), bottom);
        const QRectF frame = geometry::toBottomUp(QRectF(geometry()), bottom);
        std::optional<double> trayX = statusItemCenterX ? statusItemCenterX() : std::nullopt;
        const double a = trayX && *trayX > 0 ? *trayX : frame.center().x();
        target = geometry::fromBottomUp(edges::maximizedFrame(edge, isDetached, vf, frame, a), bottom);
    }
    if (maximizeAnimation_) maximizeAnimation_->stop();
    auto* animation = new QPropertyAnimation(this, "geometry", this);
    animation->setDuration(kMaximizeMs);
    animation->setEndValue(target);
    const bool restoring = !preMaxFrame_;
    connect(animation, &QPropertyAnimation::finished, this, [this, restoring] {
        if (!restoring && onSaveWindowSize) onSaveWindowSize();
    });
    maximizeAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void BorderlessWindow::setEdgeCursor(edges::Edge edge) {
    if (edge == edges::Edge::none) {
        if (cursorOverridden_) QGuiApplication::restoreOverrideCursor();
        cursorOverridden_ = false;
        return;
    }
    const QCursor cursor(edges::cursorFor(edge));
    if (cursorOverridden_) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        cursorOverridden_ = true;
    }
}

bool BorderlessWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != windowHandle()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Leave:
        return handleMouse(event);
    case QEvent::KeyPress:
        return handleKey(static_cast<QKeyEvent*>(event));
    default:
        return QWidget::eventFilter(watched, event);
    }
}

bool BorderlessWindow::handleMouse(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        if (lastEdge_ != edges::Edge::none && activeEdge_ == edges::Edge::none) {
            lastEdge_ = edges::Edge::none;
            setEdgeCursor(edges::Edge::none);
            if (onBorderHover) onBorderHover(false);
        }
        return false;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF global = mouse->globalPosition();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (mouse->button() != Qt::LeftButton) return false;
        const edges::Edge edge = edgeAt(mouse->position());
        if (edge == edges::Edge::none) return false;
        activeEdge_ = edge;
        dragStart_ = global;
        dragFrame_ = geometry();
        swallowRelease_ = true;
        setEdgeCursor(edge);
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        if (mouse->button() != Qt::LeftButton) return false;
        const edges::Edge edge = edgeAt(mouse->position());
        if (edge == edges::Edge::none) return false;
        // The second press of the double click began a drag; the double click replaces it.
        activeEdge_ = edges::Edge::none;
        swallowRelease_ = true;
        toggleMaximize(edge);
        return true;
    }
    case QEvent::MouseMove: {
        if (activeEdge_ != edges::Edge::none) {
            const double bottom = desktopBottom();
            const QRectF start = geometry::toBottomUp(QRectF(dragFrame_), bottom);
            const double dx = global.x() - dragStart_.x();
            const double dy = dragStart_.y() - global.y(); // upwards
            const QSizeF minSize(minimumWidth(), minimumHeight());
            setEdgeCursor(activeEdge_);
            setFrame(
                geometry::fromBottomUp(edges::draggedFrame(activeEdge_, start, dx, dy, minSize), bottom));
            return true;
        }
        const edges::Edge edge = edgeAt(mouse->position());
        if (edge == lastEdge_) return false;
        setEdgeCursor(edge);
        lastEdge_ = edge;
        if (onBorderHover) onBorderHover(edge != edges::Edge::none);
        return false;
    }
    case QEvent::MouseButtonRelease: {
        if (mouse->button() != Qt::LeftButton || !swallowRelease_) return false;
        swallowRelease_ = false;
        if (activeEdge_ != edges::Edge::none) {
            activeEdge_ = edges::Edge::none;
            if (onSaveWindowSize) onSaveWindowSize();
        }
        if (edgeAt(mouse->position()) == edges::Edge::none) setEdgeCursor(edges::Edge::none);
        return true;
    }
    default:
        return false;
    }
}

bool BorderlessWindow::handleKey(QKeyEvent* event) {
    if (editorState && onEditorKey) {
        const editorkeys::Route route =
            editorkeys::route({event->key(), event->modifiers(), event->nativeScanCode()}, editorState());
        if (route.consumed()) {
            onEditorKey(route, event);
            return true;
        }
    }
    return event->key() == Qt::Key_Escape && onEscape && onEscape();
}

void BorderlessWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    content_->setGeometry(rect());
    border_->setGeometry(rect());
    border_->raise();
    if (onResized) onResized();
}

void BorderlessWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (onMoved) onMoved();
}

void BorderlessWindow::closeEvent(QCloseEvent* event) {
    // Closing never ends the window: it closes the current tab (with one tab, that hides it).
    event->ignore();
    if (onPerformClose) onPerformClose();
}

void BorderlessWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && onActiveChanged) onActiveChanged(isActiveWindow());
}
