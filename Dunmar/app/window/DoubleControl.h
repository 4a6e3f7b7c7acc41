#pragma once

// Two presses of Control within 0.35 s. A press counts only when Control was up before, so holding
// it down (and the key repeat that comes with it) is one press; the second press of a pair resets
// the clock, so a third one right after starts a new pair instead of completing another.
class DoubleControlDetector {
public:
    static constexpr double kInterval = 0.35;

    // Control is now down or up, at `now` seconds of a monotonic clock. True when this completes a
    // double press.
    bool controlChanged(bool down, double now);

    double lastCtrlPressTime() const { return lastCtrlPressTime_; }
    bool ctrlWasDown() const { return ctrlWasDown_; }

private:
    double lastCtrlPressTime_ = 0;
    bool ctrlWasDown_ = false;
};
