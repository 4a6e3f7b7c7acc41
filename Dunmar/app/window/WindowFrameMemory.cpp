#include "app/window/WindowFrameMemory.h"

#include "app/process/Termination.h"
#include "platform/Defaults.h"
#include "settings/SettingsKeys.h"
#include "terminalview/ProgramResizeGate.h"

#include <QAbstractAnimation>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

using settings::kDockedWindowX;
using settings::kWindowHeight;
using settings::kWindowWidth;
using settings::kWindowX;
using settings::kWindowY;

} // namespace

WindowFrameMemory::WindowFrameMemory(Defaults& defaults) : defaults_(defaults) {
    moveSave_.setSingleShot(true);
    moveSave_.setInterval(kWindowMoveSaveMs);
    QObject::connect(&moveSave_, &QTimer::timeout, &moveSave_, [this] { writeWindowPosition(); });
}

QSize WindowFrameMemory::initialSize() {
    const double storedW = defaults_.doubleValue(kWindowWidth);
    const double storedH = defaults_.doubleValue(kWindowHeight);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect visible = screen ? screen->availableGeometry() : QRect(0, 0, 1440, 780);
    const double maxW = visible.width();
    const double maxH = std::max(visible.height() - 4.0, 220.0);
    const double width = storedW > 100 ? std::min(storedW, maxW) : kDefaultWindowWidth;
    const double height = storedH > 100 ? std::min(storedH, maxH) : kDefaultWindowHeight;
    // A size stored on a larger screen is written back as it fits this one.
    if (storedW > maxW || storedH > maxH) {
        defaults_.setValue(kWindowWidth, width);
        defaults_.setValue(kWindowHeight, height);
    }
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

void WindowFrameMemory::saveWindowSize() {
    if (!window_) return;
    const QRect frame = window_->geometry();
    defaults_.setValue(kWindowWidth, static_cast<double>(frame.width()));
    defaults_.setValue(kWindowHeight, static_cast<double>(frame.height()));
    if (detached()) {
        defaults_.setValue(kWindowX, static_cast<double>(frame.x()));
        defaults_.setValue(kWindowY, static_cast<double>(frame.y()));
    }
}

void WindowFrameMemory::ignoreProgramSlide(QAbstractAnimation* slide, const QRect& target) {
    moveSave_.stop();
    programSlide_ = slide;
    programFrame_ = target;
}

bool WindowFrameMemory::showsProgramFrame() {
    if (programSlide_ && programSlide_->state() != QAbstractAnimation::Stopped) return true;
    if (!programFrame_) return false;
    if (window_ && window_->geometry() == *programFrame_) return true;
    // The user has taken the window elsewhere: from now on its frames are theirs.
    programFrame_.reset();
    return false;
}

void WindowFrameMemory::windowResized() {
    if (!window_ || showsProgramFrame()) return;
    const QRect frame = window_->geometry();
    defaults_.setValue(kWindowWidth, static_cast<double>(frame.width()));
    defaults_.setValue(kWindowHeight, static_cast<double>(frame.height()));
    storePosition(frame.topLeft());
}

void WindowFrameMemory::windowMoved() {
    if (showsProgramFrame()) return;
    moveSave_.start();
}

void WindowFrameMemory::writeWindowPosition() {
    if (!window_ || showsProgramFrame()) return;
    storePosition(window_->pos());
}

// A detached window remembers where it stands; a docked one only its x under the tray.
void WindowFrameMemory::storePosition(const QPoint& origin) {
    if (detached()) {
        defaults_.setValue(kWindowX, static_cast<double>(origin.x()));
        defaults_.setValue(kWindowY, static_cast<double>(origin.y()));
    } else {
        defaults_.setValue(kDockedWindowX, static_cast<double>(origin.x()));
    }
}

void WindowFrameMemory::saveOnQuit() {
    // A size a program asked for is never kept as the user's.
    if (window_ && !ProgramResizeGate::isProgramSize(window_.get()))
        writeWindowGeometryOnQuit(defaults_, window_->geometry(), detached());
}
