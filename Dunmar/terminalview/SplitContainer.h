#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class Defaults;
class PassthroughBlurView;
class TerminalView;

// The content of a terminal tab: its primary pane and, while the tab is split, a secondary pane
// beside it (vertical split) or above it (horizontal split), with a divider the user can drag.
// The pane that is not active is dimmed by a veil that lets clicks through; releasing the mouse
// in a pane makes it the active one. The divider's position is remembered per orientation.
class SplitContainer : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSplitFadeInMs = 200;
    static constexpr int kUnsplitFadeOutMs = 150;
    static constexpr int kDimFadeMs = 200;

    // `defaults` stores the divider ratios (nullptr: Defaults::standard()).
    SplitContainer(const QRect& frame, TerminalView* primary, Defaults* defaults = nullptr,
                   QWidget* parent = nullptr);

    TerminalView* primaryView() const { return primaryView_; }
    TerminalView* secondaryView() const { return secondaryView_; }
    bool isSplit() const { return secondaryView_ != nullptr; }
    bool isVerticalSplit() const { return isVerticalSplit_; }
    double splitRatio() const { return splitRatio_; }
    bool activePaneIsPrimary() const { return activePaneIsPrimary_; }
    bool isDraggingDivider() const { return isDragging_; }
    QWidget* dividerView() const { return dividerView_; }
    PassthroughBlurView* primaryDimOverlay() const { return primaryDimOverlay_; }
    PassthroughBlurView* secondaryDimOverlay() const { return secondaryDimOverlay_; }

    // Splits side by side (vertical) or stacked; the new pane becomes the active one. Nothing when
    // already split.
    void split(bool vertical, TerminalView* secondary);
    // Removes the secondary pane (it fades out and leaves the container) and returns it; the caller
    // decides what becomes of it. Null when not split.
    TerminalView* unsplit();
    // Lays a split out the other way (side by side or one above the other); both panes and their
    // shells stay as they are.
    void setOrientation(bool vertical);
    // Makes the primary or the secondary pane the active, undimmed one.
    void setActivePane(bool primary);
    void layoutSplit();

    // A click in a pane made it the active one.
    std::function<void(TerminalView*)> onFocusChanged;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Defaults& defaults() const;
    void activateByClick(TerminalView* pane);

    Defaults* defaults_ = nullptr;
    TerminalView* primaryView_ = nullptr;
    QPointer<TerminalView> secondaryView_;
    bool isVerticalSplit_ = true;
    double splitRatio_ = 0.5;
    QWidget* dividerView_ = nullptr;
    bool isDragging_ = false;
    PassthroughBlurView* primaryDimOverlay_ = nullptr;
    PassthroughBlurView* secondaryDimOverlay_ = nullptr;
    bool activePaneIsPrimary_ = true;
};
