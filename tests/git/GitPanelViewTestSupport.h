#pragma once

// A git panel on a real repository, refreshed by real git, in English, and signed out of a
// code-hosting service that is never reached (its address is a closed port on 127.0.0.1).

#include "git/GitPanelView.h"

#include <QString>
#include <memory>

namespace gittest {

// The interface language for the panel tests; English unless a test changes it.
void useLanguage(const std::string& code);

// A panel 320 x 640 on show, signed out.
std::unique_ptr<GitPanelView> makePanel();

// Points the panel at `cwd` and waits for the refresh to be shown.
bool showFolder(GitPanelView& panel, const QString& cwd);
// Refreshes once more and waits for it to be shown.
bool refreshed(GitPanelView& panel);

} // namespace gittest
