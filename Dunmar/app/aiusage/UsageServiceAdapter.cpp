#include "app/aiusage/UsageServiceAdapter.h"

#include "aiusage/AIUsageBadge.h"
#include "aiusage/AIUsageManager.h"
#include "aiusage/AIUsagePopoverController.h"
#include "app/settings/SettingsApplier.h"
#include "chrome/FooterBarView.h"
#include "platform/Defaults.h"
#include "settings/SettingsKeys.h"

namespace {

class UsageServiceAdapter final : public UsageService {
public:
    UsageServiceAdapter(Defaults& defaults, QWidget* contentView, FooterBarView* footer)
        : manager_(defaults), popover_(manager_) {
        AIUsageBadge* badge = nullptr;
        if (footer) {
            badge = new AIUsageBadge;
            footer->setUsageBadge(badge);
        }
        popover_.attach(contentView, badge);
        manager_.onUpdate = [this](const std::optional<AIUsageData>& data) { popover_.publish(data); };
        manager_.loadCachedData();
        if (defaults.boolean(settings::kShowAIUsage))
            manager_.startPolling(usagePollInterval(defaults.integer(settings::kAIUsageRefreshIndex)));
    }

    bool hasToken() const override { return manager_.hasToken(); }
    void startPolling(double intervalSeconds) override { manager_.startPolling(intervalSeconds); }
    void stopPolling() override { manager_.stopPolling(); }
    void updateInterval(double intervalSeconds) override { manager_.updateInterval(intervalSeconds); }
    void togglePopover() override { popover_.toggleUsagePopover(); }

private:
    // Asked from const paths (the settings panel's status row); reading the token only caches it.
    mutable AIUsageManager manager_;
    AIUsagePopoverController popover_;
};

} // namespace

std::unique_ptr<UsageService> makeUsageService(Defaults& defaults, QWidget* contentView,
                                               FooterBarView* footer) {
    return std::make_unique<UsageServiceAdapter>(defaults, contentView, footer);
}
