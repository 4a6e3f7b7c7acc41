// The window detached from the tray icon and docked again, snapping to parts of the screen, the
// reset to the standard size, and remembering the window's size and place.
#include "app/AppDelegate.h"
#include "app/BorderlessWindow.h"
#include "app/ContentView.h"
#include "app/DesktopSpace.h"
#include "chrome/ChromeAnimation.h"
#include "platform/Defaults.h"
#include "platform/GlobalInput.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

const QString kWindowWidth = QStringLiteral("windowWidth");
const QString kWindowHeight = QStringLiteral("windowHeight");
const QString kWindowX = QStringLiteral("windowX");
const QString kWindowY = QStringLiteral("windowY");
const QString kDockedWindowX = QStringLiteral("dockedWindowX");
const QString kDockedWindowY = QStringLiteral("dockedWindowY");
const QString kWindowDetached = QStringLiteral("windowDetached");

} // namespace

void AppDelegate::updateHeaderArrowLayout() {
    if (borderlessWindow_) borderlessWindow_->isDetached = isWindowDetached_;
    // The arrow strip shows only while docked; the header follows it (layoutContent).
    if (contentView_) contentView_->setArrowStripVisible(!isWindowDetached_);
    layoutContent();
}

void AppDelegate::toggleDetach() {
    if (!window_) return;
    if (!isWindowDetached_) {
        isWindowDetached_ = true;
        defaults_.setValue(kWindowDetached, true);
        if (!isWindowVisible()) {
            window_->setWindowOpacity(windowOpacitySetting());
            applyWindowHintsBeforeMapping();
            window_->show();
            window_->raise();
            window_->activateWindow();
        }
        // It stays where it is and loses its arrow; it no longer follows the tray icon.
        stopTrayIconPolling();
        updateHeaderArrowLayout();
        updateWindowMask();
        layoutGitPanel();
        return;
    }
    isWindowDetached_ = false;
    defaults_.setValue(kWindowDetached, false);
    updateHeaderArrowLayout();
    updateWindowMask();
    const bool visible = isWindowVisible();
    fadeWindow(0, visible ? kHideFadeDetachedMs : 0, chrome::easeInCurve(),
               [self = QPointer<AppDelegate>(this)] {
                   if (!self || !self->window_) return;
                   self->window_->hide();
                   self->defaults_.removeObject(kWindowX);
                   self->defaults_.removeObject(kWindowY);
                   self->positionWindowUnderTrayIcon();
                   self->layoutGitPanel();
                   self->showWindowAnimated();
               });
}

void AppDelegate::restoreDetachedWindowState() {
    if (!window_) return;
    isWindowDetached_ = true;
    updateHeaderArrowLayout();
    updateWindowMask();
    layoutGitPanel();
    const double x = defaults_.doubleValue(kWindowX);
    const double y = defaults_.doubleValue(kWindowY);
    if (x != 0 || y != 0) {
        // The stored place is the window's top-left corner; one off every screen is pulled back
        // into the primary screen's usable area.
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen && !QGuiApplication::screens().isEmpty()) screen = QGuiApplication::screens().first();
        QRect frame(qRound(x), qRound(y), window_->width(), window_->height());
        if (screen) {
            const placement::ScreenRects rects = desktopspace::rectsOf(*screen);
            frame = desktopspace::down(placement::clampFrameToScreen(desktopspace::up(frame), &rects));
        }
        window_->move(frame.topLeft());
    }
    window_->setWindowOpacity(windowOpacitySetting());
    applyWindowHintsBeforeMapping();
    window_->show();
    window_->raise();
    window_->activateWindow();
    focusActiveTab();
}

QRect AppDelegate::visibleFrameOfWindowScreen() const {
    const QScreen* screen = window_ ? window_->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void AppDelegate::applySnap(snap::Kind kind) {
    if (!window_) return;
    const QRect visible = visibleFrameOfWindowScreen();
    if (visible.isEmpty()) return;
    const QRectF target =
        snapMemory_.apply(kind, desktopspace::up(visible), desktopspace::up(window_->geometry()));
    snapAnimate(desktopspace::down(target));
}

void AppDelegate::snapLeft() {
    applySnap(snap::Kind::upperLeftQuarter);
}
void AppDelegate::snapRight() {
    applySnap(snap::Kind::upperRightQuarter);
}
void AppDelegate::snapRightFull() {
    applySnap(snap::Kind::rightHalf);
}
void AppDelegate::toggleFullscreen() {
    applySnap(snap::Kind::fullScreen);
}
void AppDelegate::toggleHorizont() {
    applySnap(snap::Kind::fullWidth);
}
void AppDelegate::toggleVertical() {
    applySnap(snap::Kind::fullHeight);
}

void AppDelegate::snapAnimate(const QRect& target) {
    const QPointer<AppDelegate> self(this);
    animateFrame(target, kSnapMs, chrome::easeInOutCurve(), [self] {
        if (self) self->activateAfterSnap();
    });
}

void AppDelegate::activateAfterSnap() {
    if (!window_) return;
    window_->raise();
    window_->activateWindow();
    if (const TabState* tab = tabs_.active(); tab && tab->termView) {
        focusWidget(tab->termView);
        tab->termView->update();
    }
}

void AppDelegate::resetWindowSize() {
    if (!window_) return;
    const std::optional<QRect> button = statusButtonRect();
    const QRectF target =
        placement::standardFrame(button ? std::optional<QRectF>(desktopspace::up(*button)) : std::nullopt,
                                 desktopspace::up(window_->geometry()));
    const QRect frame = desktopspace::down(target);
    clearSnapStates();
    const QPointer<AppDelegate> self(this);
    animateFrame(frame, kResetSizeMs, chrome::easeInOutCurve(), [self] {
        if (self) self->activateAfterSnap();
    });
    defaults_.setValue(kWindowWidth, 860.0);
    defaults_.setValue(kWindowHeight, 480.0);
    if (isWindowDetached_) {
        defaults_.setValue(kWindowX, static_cast<double>(frame.x()));
        defaults_.setValue(kWindowY, static_cast<double>(frame.y()));
    } else {
        defaults_.removeObject(kDockedWindowX);
        defaults_.removeObject(kDockedWindowY);
    }
}

void AppDelegate::saveWindowSize() {
    if (!window_) return;
    const QRect frame = window_->geometry();
    defaults_.setValue(kWindowWidth, static_cast<double>(frame.width()));
    defaults_.setValue(kWindowHeight, static_cast<double>(frame.height()));
    if (isWindowDetached_) {
        defaults_.setValue(kWindowX, static_cast<double>(frame.x()));
        defaults_.setValue(kWindowY, static_cast<double>(frame.y()));
    }
}

void AppDelegate::windowDidResize() {
    updateWindowMask();
    centerCommandPalette();
    layoutGitPanel();
    if (isAnimating_ || resetFrameRunning_ || !isWindowVisible()) return;
    const QRect frame = window_->geometry();
    defaults_.setValue(kWindowWidth, static_cast<double>(frame.width()));
    defaults_.setValue(kWindowHeight, static_cast<double>(frame.height()));
    if (isWindowDetached_) {
        defaults_.setValue(kWindowX, static_cast<double>(frame.x()));
        defaults_.setValue(kWindowY, static_cast<double>(frame.y()));
    } else {
        defaults_.setValue(kDockedWindowX, static_cast<double>(frame.x()));
    }
}

void AppDelegate::windowDidMove() {
    updateWindowMask();
    if (isAnimating_ || resetFrameRunning_ || !isWindowVisible() || window_->windowOpacity() <= 0) return;
    // A steady drag writes once, half a second after the last move.
    windowMoveWorkItem_.start();
}

void AppDelegate::writeWindowPosition() {
    if (!window_) return;
    const QPoint origin = window_->pos();
    if (isWindowDetached_) {
        defaults_.setValue(kWindowX, static_cast<double>(origin.x()));
        defaults_.setValue(kWindowY, static_cast<double>(origin.y()));
    } else {
        defaults_.setValue(kDockedWindowX, static_cast<double>(origin.x()));
    }
}

// The command palette comes with its subsystem.
void AppDelegate::centerCommandPalette() {}
void AppDelegate::toggleCommandPalette() {}
