#pragma once

#include "conformance/PtyHost.h"

#include <span>
#include <string>
#include <vector>

namespace conformance {

// A known difference between our screen and one independent terminal, with the reason it is
// accepted. `snapshot` is a snapshot label, or a label prefix ending in "*"; `oracle` is
// "libvterm", "tmux" or "both".
struct AllowedDifference {
    const char* caseName;
    const char* snapshot;
    const char* oracle;
    const char* reason;
};

// The one table of accepted differences (AllowedDifferences.cpp).
std::span<const AllowedDifference> allowedDifferences();

// Replays the recording into libvterm and tmux and compares their screens with ours at every
// snapshot, row by row, and the cursor. Returns one message per difference that the table does not
// accept and per table entry of this case that no longer matches anything; empty when all is well.
// To look into a difference: CONFORMANCE_SHOW=1 prints every compared screen, and
// CONFORMANCE_SAVE_DIR=<dir> keeps each case's stream and snapshot offsets there.
std::vector<std::string> conformanceProblems(const Recording& recording);

} // namespace conformance
