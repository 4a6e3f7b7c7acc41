#pragma once

#include "aiusage/AIUsageData.h"
#include "aiusage/AIUsagePopover.h"

#include <QObject>
#include <QPointer>
#include <optional>

class AIUsageBadge;
class AIUsageManager;
class QWidget;

// Opens the usage popover above the badge and closes it again on a second click of the badge, on a
// click anywhere else or when the badge is hidden; and carries every published result to the badge
// and an open popover.
class AIUsagePopoverController : public QObject {
    Q_OBJECT
public:
    static constexpr int kBottomGap = 48;
    static constexpr int kEdgeGap = 8;

    explicit AIUsagePopoverController(AIUsageManager& manager, QObject* parent = nullptr);
    ~AIUsagePopoverController() override;

    // The window's content view, where the popover goes, and the footer's badge.
    void attach(QWidget* contentView, AIUsageBadge* badge);

    void toggleUsagePopover();
    void closePopover();
    AIUsagePopover* popover() const { return popover_; }

    // The manager's update route: the badge, then an open popover.
    void publish(const std::optional<AIUsageData>& data);

    // The popover's left edge: centred under the badge's middle, kept 8 from either edge of the
    // content view (the right one wins when both cannot hold).
    static int popoverX(double badgeMiddle, double contentWidth);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AIUsageManager& manager_;
    QPointer<QWidget> contentView_;
    QPointer<AIUsageBadge> badge_;
    QPointer<QWidget> badgeWidget_;
    QPointer<AIUsagePopover> popover_;
    bool monitoring_ = false;
};
