#pragma once

#include "git/GitService.h"

// What the git subsystem needs of the controller: the per-tab placement of the panels.
class GitPanelHost {
public:
    virtual ~GitPanelHost() = default;
    // Cycles the active tab's panel: none, bottom, right, none.
    virtual void toggleGitPanel() = 0;
};

// The git subsystem as the controller reaches it.
class GitPanelService final : public GitService {
public:
    explicit GitPanelService(GitPanelHost* host = nullptr) : host_(host) {}
    void toggleGitPanel() override {
        if (host_) host_->toggleGitPanel();
    }
    void deleteCodeHostingToken() override;

private:
    GitPanelHost* host_;
};
