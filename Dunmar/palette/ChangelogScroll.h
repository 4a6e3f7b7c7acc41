#pragma once

// The credits-like scrolling of the changelog viewer, one step per tick: the speed relaxes
// towards its cruising value, the wheel pushes it, and the text never moves below where it
// started. Positions are the document's bottom edge in the window's bottom-up coordinates: it
// starts at or below 0 and the text has been read once it reaches 0.
struct ChangelogScroll {
    static constexpr double kCruise = 0.3;      // points per tick
    static constexpr double kRelaxation = 0.04; // share of the difference per tick
    static constexpr double kWheelFactor = -0.15;

    double lowestY = 0;
    double y = 0;
    double speed = kCruise;

    // One tick; true when the end of the text has come into view.
    bool tick() {
        speed += (kCruise - speed) * kRelaxation;
        double next = y + speed;
        if (next < lowestY) {
            speed = 0;
            next = lowestY;
        }
        y = next;
        return y >= 0;
    }
    // A wheel turn: moving the text back down is a negative speed.
    void wheel(double deltaY) { speed += deltaY * kWheelFactor; }
};
