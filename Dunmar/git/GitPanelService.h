#pragma once

#include "git/GitService.h"

// The git subsystem as the controller reaches it.
class GitPanelService final : public GitService {
public:
    // Showing the panel belongs to its view; the model, runner and actions have nothing to toggle.
    void toggleGitPanel() override {}
    void deleteCodeHostingToken() override;
};
