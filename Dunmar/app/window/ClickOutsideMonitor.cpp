#include "app/window/ClickOutsideMonitor.h"

#include "platform/GlobalInput.h"
#include "platform/X11Session.h"

#include <QCursor>

void ClickOutsideMonitor::install(GlobalInput* input) {
    remove();
    if (!input) return;
    input_ = input;
    connection_ = connect(input, &GlobalInput::buttonPressed, this, [this](int button) {
        // Left and right presses, as a click-away is meant; the wheel and the middle button are not.
        if (button != 1 && button != 3) return;
        // Raw events carry no position: ask where the pointer is now.
        const QPoint pointer = x11::queryPointer().value_or(QCursor::pos());
        if (onClick) onClick(pointer);
    });
    input->setWatchClicks(true);
    installed_ = true;
}

void ClickOutsideMonitor::remove() {
    if (connection_) disconnect(connection_);
    connection_ = {};
    if (input_) input_->setWatchClicks(false);
    installed_ = false;
}
