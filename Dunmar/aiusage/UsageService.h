#pragma once

// What the controller asks of the AI usage monitor: its sign-in state for the settings panel, the
// polling that follows the footer badge's switch and interval, and the badge's popover.
class UsageService {
public:
    virtual ~UsageService() = default;

    // Whether the AI tool's sign-in token can be read.
    virtual bool hasToken() const = 0;
    // Polls every `intervalSeconds` from now on, replacing any polling before.
    virtual void startPolling(double intervalSeconds) = 0;
    virtual void stopPolling() = 0;
    // Polling that runs goes on at the new interval; without polling nothing happens.
    virtual void updateInterval(double intervalSeconds) = 0;
    // The footer badge's click: opens or closes the usage popover.
    virtual void togglePopover() = 0;
};

// Until the monitor exists: no token is known, no popover opens, and the polling asked for is only
// recorded.
class NullUsageService final : public UsageService {
public:
    struct Polling {
        bool running = false;
        double intervalSeconds = 0;
    };
    const Polling& polling() const { return polling_; }

    bool hasToken() const override { return false; }
    void startPolling(double intervalSeconds) override {
        polling_.running = true;
        polling_.intervalSeconds = intervalSeconds;
    }
    void stopPolling() override { polling_.running = false; }
    void updateInterval(double intervalSeconds) override {
        if (polling_.running) polling_.intervalSeconds = intervalSeconds;
    }
    void togglePopover() override {}

private:
    Polling polling_;
};
