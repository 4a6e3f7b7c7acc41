#pragma once

#include <QString>
#include <optional>

// The profile folder the picker starts its own browser with, one per debugging port. It holds the
// browser's cookies and history and decides which running browser is ours, so it is a folder only
// this user can have made: $XDG_RUNTIME_DIR/dunmar-chrome-debug-<port>, or, without a runtime
// folder, a fresh folder from mkdtemp in the temporary folder, kept for the rest of the run. A
// fixed name in the shared /tmp could be made first by another user, who would then read the
// profile or hand us a browser of theirs.
namespace browser {

// The folder, made (mode 0700) when missing. None, with `problem` saying why, when the folder
// there is not a folder of this user: it is never used.
std::optional<QString> profileFolder(int port, QString* problem = nullptr);

} // namespace browser
