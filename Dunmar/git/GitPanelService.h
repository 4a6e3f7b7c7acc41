#pragma once

#include <functional>
#include <utility>

#include "git/GitService.h"

// The git subsystem as the controller reaches it.
class GitPanelService final : public GitService {
public:
    // `notAvailable` tells the user when the panel's button is pressed: showing the panel belongs
    // to its view, which does not exist yet.
    explicit GitPanelService(std::function<void()> notAvailable = {}) : notAvailable_(std::move(notAvailable)) {}
    void toggleGitPanel() override {
        if (notAvailable_) notAvailable_();
    }
    void deleteCodeHostingToken() override;

private:
    std::function<void()> notAvailable_;
};
