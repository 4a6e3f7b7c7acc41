#pragma once

#include <QString>
#include <optional>

// What the controller and the command palette ask of the updater.
class UpdaterService {
public:
    virtual ~UpdaterService() = default;

    // Stops a running check timer; then, while the automatic check is on, checks silently after
    // `initialDelaySeconds` and again on a timer.
    virtual void scheduleUpdateCheck(double initialDelaySeconds) = 0;
    // A check on the user's demand, with a toast for every outcome.
    virtual void manualCheckForUpdate() = 0;
    // Installs the release the last check found; says so when there is none.
    virtual void installPendingUpdate() = 0;
    // The tag of the release the last check found ("v1.2.0"), none before one was found.
    virtual std::optional<QString> pendingReleaseTag() const = 0;
};

// Until the updater exists: no check runs.
class NullUpdaterService final : public UpdaterService {
public:
    void scheduleUpdateCheck(double) override {}
    void manualCheckForUpdate() override {}
    void installPendingUpdate() override {}
    std::optional<QString> pendingReleaseTag() const override { return std::nullopt; }
};
