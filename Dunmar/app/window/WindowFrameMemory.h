#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <functional>
#include <optional>

class Defaults;
class QAbstractAnimation;
class QWidget;

// Remembering the window's size and place across starts: the size it opens with, its size after a
// drag or a resize, and its place after a move (a detached window's corner, a docked one's x).
class WindowFrameMemory {
public:
    static constexpr int kWindowMoveSaveMs = 500;
    static constexpr int kDefaultWindowWidth = 860;
    static constexpr int kDefaultWindowHeight = 480;

    explicit WindowFrameMemory(Defaults& defaults);

    void attach(QWidget* window) { window_ = window; }

    // The size to open with: the stored one as it fits the primary screen (written back so when it
    // did not fit), else 860 x 480.
    QSize initialSize();
    // An edge drag or a maximise ended: the size, and a detached window's place.
    void saveWindowSize();
    // The window was resized while shown: its size, and its place.
    void windowResized();
    // The window was moved while shown: a steady drag writes once, half a second after the last move.
    void windowMoved();
    bool hasPendingMoveSave() const { return moveSave_.isActive(); }
    void cancelPendingMoveSave() { moveSave_.stop(); }
    // The frame as the program quits.
    void saveOnQuit();

    // The program, not the user, slides the window to `target` (the reset's way back to the
    // first-start frame): the frames it passes through while `slide` runs, and `target` itself when
    // the window manager reports it late, are not remembered as the user's, and a move save still
    // pending is dropped. The next frame of the user's own is remembered again.
    void ignoreProgramSlide(QAbstractAnimation* slide, const QRect& target);

    // Set by the owner: whether the window is detached.
    std::function<bool()> isDetached;

private:
    bool detached() const { return isDetached && isDetached(); }
    void writeWindowPosition();
    void storePosition(const QPoint& origin);
    // Whether the window's frame is one the program put it in (see `ignoreProgramSlide`).
    bool showsProgramFrame();

    Defaults& defaults_;
    QPointer<QWidget> window_;
    QTimer moveSave_;
    QPointer<QAbstractAnimation> programSlide_;
    std::optional<QRect> programFrame_;
};
