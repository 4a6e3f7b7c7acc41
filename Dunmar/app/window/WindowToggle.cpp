#include "app/window/WindowToggle.h"

namespace windowtoggle {

Action decide(const State& s) {
    if (s.isAnimating) return Action::flipPending;
    if (s.detached) return s.visible ? Action::hide : Action::showDetached;
    if (!s.visible) return Action::show;
    if (!s.onCurrentDesktop) return Action::bringToCurrentDesktop;
    return Action::hide;
}

} // namespace windowtoggle
