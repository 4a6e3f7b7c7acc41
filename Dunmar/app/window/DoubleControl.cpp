#include "app/window/DoubleControl.h"

bool DoubleControlDetector::controlChanged(bool down, double now) {
    bool doublePress = false;
    if (down && !ctrlWasDown_) {
        if (lastCtrlPressTime_ > 0 && now - lastCtrlPressTime_ < kInterval) {
            lastCtrlPressTime_ = 0;
            doublePress = true;
        } else {
            lastCtrlPressTime_ = now;
        }
    }
    ctrlWasDown_ = down;
    return doublePress;
}
