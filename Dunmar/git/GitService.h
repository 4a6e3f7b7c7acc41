#pragma once

#include <functional>
#include <utility>

// What the controller asks of the git panel and the code-hosting client.
class GitService {
public:
    virtual ~GitService() = default;

    // The header's git button and the side-panel menu: shows or hides the active tab's git panel.
    virtual void toggleGitPanel() = 0;
    // The reset to defaults: the stored code-hosting token goes; a missing one is no error.
    virtual void deleteCodeHostingToken() = 0;
};

// Until the git panel exists: its button does nothing and there is no token to delete.
class NullGitService final : public GitService {
public:
    explicit NullGitService(std::function<void()> notAvailable = {})
        : notAvailable_(std::move(notAvailable)) {}
    void toggleGitPanel() override {
        if (notAvailable_) notAvailable_();
    }
    void deleteCodeHostingToken() override {}

private:
    std::function<void()> notAvailable_;
};
