#include "app/window/WindowSnapping.h"

#include "app/window/DesktopSpace.h"
#include "app/window/WindowPlacement.h"
#include "app/window/TrayPlacement.h"
#include "app/window/WindowAnimator.h"
#include "chrome/ChromeAnimation.h"
#include "platform/Defaults.h"
#include "settings/SettingsKeys.h"

#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QWidget>

WindowSnapping::WindowSnapping(Defaults& defaults, WindowAnimator& animator, const TrayPlacement& tray)
    : defaults_(defaults), animator_(animator), tray_(tray) {}

QRect WindowSnapping::visibleFrameOfWindowScreen() const {
    const QScreen* screen = window_ ? window_->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void WindowSnapping::settled() {
    if (onSettled) onSettled();
}

void WindowSnapping::apply(snap::Kind kind) {
    if (!window_) return;
    const QRect visible = visibleFrameOfWindowScreen();
    if (visible.isEmpty()) return;
    const QRectF target =
        memory_.apply(kind, desktopspace::up(visible), desktopspace::up(window_->geometry()));
    animator_.slideFrame(desktopspace::down(target), kSnapMs, chrome::easeInOutCurve(),
                         [this] { settled(); });
}

void WindowSnapping::snapLeft() {
    apply(snap::Kind::upperLeftQuarter);
}
void WindowSnapping::snapRight() {
    apply(snap::Kind::upperRightQuarter);
}
void WindowSnapping::snapRightFull() {
    apply(snap::Kind::rightHalf);
}
void WindowSnapping::toggleFullscreen() {
    apply(snap::Kind::fullScreen);
}
void WindowSnapping::toggleHorizont() {
    apply(snap::Kind::fullWidth);
}
void WindowSnapping::toggleVertical() {
    apply(snap::Kind::fullHeight);
}

void WindowSnapping::resetWindowSize() {
    if (!window_) return;
    const std::optional<QRect> button = tray_.statusButtonRect();
    const QRectF target =
        placement::standardFrame(button ? std::optional<QRectF>(desktopspace::up(*button)) : std::nullopt,
                                 desktopspace::up(window_->geometry()));
    const QRect frame = desktopspace::down(target);
    clearSnapStates();
    QAbstractAnimation* slide =
        animator_.slideFrame(frame, kResetSizeMs, chrome::easeInOutCurve(), [this] { settled(); });
    // The size and place are written here once; the slide's frames on the way would otherwise be
    // stored as the user's, the docked x among them.
    if (onProgramSlide) onProgramSlide(slide, frame);
    defaults_.setValue(settings::kWindowWidth, 860.0);
    defaults_.setValue(settings::kWindowHeight, 480.0);
    if (isDetached && isDetached()) {
        defaults_.setValue(settings::kWindowX, static_cast<double>(frame.x()));
        defaults_.setValue(settings::kWindowY, static_cast<double>(frame.y()));
    } else {
        defaults_.removeObject(settings::kDockedWindowX);
        defaults_.removeObject(settings::kDockedWindowY);
    }
}
