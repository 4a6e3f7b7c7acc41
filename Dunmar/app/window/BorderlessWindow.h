#pragma once

#include "app/tabs/EditorKeyRouting.h"
#include "app/window/WindowEdges.h"

#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>

class QKeyEvent;
class QPropertyAnimation;
class WindowBorderView;

// The drop-down window: borderless, a utility window that no taskbar lists, holding the content
// view and, above it, the border. It sees every mouse and key event of its window before the
// widget under the pointer or the focused widget does, and takes what it needs: resizing by the
// 10-wide zones along its edges (not along a docked window's top, which hangs under the tray
// icon), maximising by a double click on a zone, the keys of editor tabs and Escape for the bell
// preview. A docked window being resized never loses its place under the tray icon.
//
// It reaches the controller only through the callbacks below; an unset callback skips its step.
class BorderlessWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaximizeMs = 200;

    // `content` becomes the window's child and fills it.
    explicit BorderlessWindow(QWidget* content);
    ~BorderlessWindow() override;

    QWidget* content() const { return content_; }
    WindowBorderView* border() const { return border_; }

    // The window floats freely (detached) or hangs under the tray icon.
    bool isDetached = false;

    // The zone under a point in this widget's coordinates.
    edges::Edge edgeAt(const QPointF& widgetPoint) const;
    // Maximises towards `edge`, or, when maximised, goes back to the frame from before.
    void toggleMaximize(edges::Edge edge);
    bool isMaximized() const { return preMaxFrame_.has_value(); }
    bool isEdgeDragActive() const { return activeEdge_ != edges::Edge::none; }

    // Sets the frame (Qt coordinates), keeping a docked window under the tray icon while an edge
    // drag runs.
    void setFrame(const QRect& frame);

    // The tray icon's centre x on the desktop, when known (the docked clamp and the docked
    // maximise need it).
    std::function<std::optional<double>()> statusItemCenterX;
    // An edge drag ended or a maximise finished: the size is worth remembering.
    std::function<void()> onSaveWindowSize;
    // The pointer came onto a resize zone (true) or left them (false).
    std::function<void(bool nearEdge)> onBorderHover;
    // The editor's state for the key routing, and the routed keys themselves.
    std::function<editorkeys::EditorState()> editorState;
    std::function<void(const editorkeys::Route& route, QKeyEvent* event)> onEditorKey;
    // Escape: true when the controller took it (a bell preview was on show).
    std::function<bool()> onEscape;
    // The window was asked to close (the window manager's close): the controller closes a tab.
    std::function<void()> onPerformClose;
    // The window became the active window (true) or stopped being it.
    std::function<void(bool active)> onActiveChanged;
    // The window was moved or resized (also by the program itself).
    std::function<void()> onMoved;
    std::function<void()> onResized;

    // The edge under the pointer at the last move.
    edges::Edge lastEdge() const { return lastEdge_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool handleMouse(QEvent* event);
    bool handleKey(QKeyEvent* event);
    void setEdgeCursor(edges::Edge edge);
    double desktopBottom() const;

    QWidget* content_;
    WindowBorderView* border_;
    edges::Edge activeEdge_ = edges::Edge::none;
    edges::Edge lastEdge_ = edges::Edge::none;
    QPointF dragStart_;
    QRect dragFrame_;
    std::optional<QRect> preMaxFrame_;
    bool swallowRelease_ = false;
    bool cursorOverridden_ = false;
    QPointer<QPropertyAnimation> maximizeAnimation_;
};
