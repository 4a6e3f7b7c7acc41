#pragma once

#include <QString>

// What the controller asks of the remote streamer: the settings panel's remote switch starts and
// stops it, and every pane's output goes to it while a viewer is connected.
class RemoteStreamService {
public:
    virtual ~RemoteStreamService() = default;

    // Connects to the relay and registers with `pairingCode`.
    virtual void start(const QString& pairingCode) = 0;
    virtual void stop() = 0;
    // True while a remote viewer is connected; the panes only decode their output for it then.
    virtual bool isConnected() const = 0;
    virtual void send(const QString& output) = 0;
};

// Until the streamer exists: the switch only records the user's choice and no viewer connects.
class NullRemoteStreamService final : public RemoteStreamService {
public:
    void start(const QString&) override {}
    void stop() override {}
    bool isConnected() const override { return false; }
    void send(const QString&) override {}
};
