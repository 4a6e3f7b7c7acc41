#pragma once

#include "conformance/PtyHost.h"

#include <string>
#include <vector>

namespace conformance {

// Independent terminals that replay a recorded stream at the recording's size and give their
// screen text at every snapshot, in the snapshots' order. A replay that cannot be done throws
// std::runtime_error with the reason.

// libvterm, in this process: the stream is fed once, and each snapshot's screen is read when the
// stream has reached its offset.
std::vector<ScreenText> replayInLibvterm(const Recording& recording);

// tmux, in a private server: one detached session per snapshot whose pane is fed exactly the
// stream up to the snapshot's offset, then read with capture-pane. `paneFeeder` is the program
// that writes the bytes into the pane (conformance_pane_feeder).
std::vector<ScreenText> replayInTmux(const Recording& recording, const std::string& paneFeeder);

} // namespace conformance
