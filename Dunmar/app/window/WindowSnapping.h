#pragma once

#include "app/window/WindowSnap.h"

#include <QPointer>
#include <QRect>
#include <functional>

class Defaults;
class QAbstractAnimation;
class QWidget;
class TrayPlacement;
class WindowAnimator;

// Snapping the window to parts of its screen, each snap a toggle that remembers the frame from
// before, and the reset to the standard size under the tray icon.
class WindowSnapping {
public:
    static constexpr int kSnapMs = 300;
    static constexpr int kResetSizeMs = 250;

    WindowSnapping(Defaults& defaults, WindowAnimator& animator, const TrayPlacement& tray);

    void attach(QWidget* window) { window_ = window; }

    void snapLeft();
    void snapRight();
    void snapRightFull();
    void toggleFullscreen();
    void toggleHorizont();
    void toggleVertical();
    // Back to 860 x 480 under the tray icon (the top edge stays without one); the snaps' memory goes
    // and the size is remembered.
    void resetWindowSize();

    void clearSnapStates() { memory_.clear(); }
    const snap::Memory& snapMemory() const { return memory_; }

    // Set by the owner: whether the window is detached, and the end of a snap or of the reset (the
    // window comes forward with the keyboard).
    std::function<bool()> isDetached;
    std::function<void()> onSettled;
    // Set by the owner: the reset's slide to `target` runs; its frames are not the user's.
    std::function<void(QAbstractAnimation* slide, const QRect& target)> onProgramSlide;

private:
    void apply(snap::Kind kind);
    QRect visibleFrameOfWindowScreen() const;
    void settled();

    Defaults& defaults_;
    WindowAnimator& animator_;
    const TrayPlacement& tray_;
    QPointer<QWidget> window_;
    snap::Memory memory_;
};
