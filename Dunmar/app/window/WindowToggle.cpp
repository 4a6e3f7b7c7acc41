#include "app/window/WindowToggle.h"

namespace windowtoggle {

Action decide(const State& s) {
    if (s.isAnimating) return Action::flipPending;
    if (s.detached) {
        if (!s.visible) return Action::showDetached;
        return s.key ? Action::hide : Action::bringToFront;
    }
    if (!s.visible) return Action::show;
    if (!s.onCurrentDesktop) return Action::bringToCurrentDesktop;
    return s.key ? Action::hide : Action::bringToFront;
}

} // namespace windowtoggle
