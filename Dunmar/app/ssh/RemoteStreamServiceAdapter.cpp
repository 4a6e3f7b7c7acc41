#include "app/ssh/RemoteStreamServiceAdapter.h"

#include "platform/Defaults.h"
#include "settings/SettingsDefaults.h"
#include "ssh/RemoteStreamer.h"

namespace {

class RemoteStreamServiceAdapter final : public RemoteStreamService {
public:
    explicit RemoteStreamServiceAdapter(Defaults& defaults) {
        streamer_.relayHost = [&defaults] { return defaults.string(settings::kRemoteRelayHost); };
        streamer_.storedCodeIfEnabled = [&defaults]() -> std::optional<QString> {
            const QVariant code = defaults.object(settings::kRemotePairingCode);
            if (!defaults.boolean(settings::kRemoteEnabled)) return std::nullopt;
            if (code.typeId() != QMetaType::QString || code.toString().isEmpty()) return std::nullopt;
            return code.toString();
        };
    }

    void start(const QString& pairingCode) override { streamer_.start(pairingCode); }
    void stop() override { streamer_.stop(); }
    bool isConnected() const override { return streamer_.isConnected(); }
    void send(const QString& output) override { streamer_.send(output); }

private:
    RemoteStreamer streamer_;
};

} // namespace

std::unique_ptr<RemoteStreamService> makeRemoteStreamService(Defaults& defaults) {
    return std::make_unique<RemoteStreamServiceAdapter>(defaults);
}
