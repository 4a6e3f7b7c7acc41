#pragma once

// What one toggle of the window does, from the state the window is in. Showing and hiding fade the
// window; a toggle that arrives during a fade only flips `pendingToggle`, and the fade's end runs
// one toggle when it is set.
namespace windowtoggle {

struct State {
    bool isAnimating = false;
    bool detached = false;
    bool visible = false;
    bool onCurrentDesktop = true;
    // The window has the keyboard. Only the hot key asks: shown behind another window, it comes
    // to the front rather than going.
    bool key = true;
};

enum class Action {
    flipPending,          // a fade is running: remember (or forget) one toggle for its end
    show,                 // fade in, docked under the tray icon
    showDetached,         // fade in where it is, without moving it
    hide,                 // fade out
    bringToCurrentDesktop, // visible on another desktop: take it away there and show it here
    bringToFront           // shown, but another window has the keyboard: raise and activate it
};

Action decide(const State& state);

} // namespace windowtoggle
