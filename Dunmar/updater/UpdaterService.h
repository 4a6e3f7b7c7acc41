#pragma once

// What the controller asks of the updater: the silent check at launch and after the automatic
// check was switched on.
class UpdaterService {
public:
    virtual ~UpdaterService() = default;

    // Stops a running check timer; then, while the automatic check is on, checks silently after
    // `initialDelaySeconds` and again on a timer.
    virtual void scheduleUpdateCheck(double initialDelaySeconds) = 0;
};

// Until the updater exists: no check runs.
class NullUpdaterService final : public UpdaterService {
public:
    void scheduleUpdateCheck(double) override {}
};
