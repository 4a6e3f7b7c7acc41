#include "aiusage/AIUsagePopoverController.h"

#include "aiusage/AIUsageBadge.h"
#include "aiusage/AIUsageManager.h"
#include "aiusage/AIUsagePopover.h"

#include <QApplication>
#include <QMouseEvent>
#include <cmath>

AIUsagePopoverController::AIUsagePopoverController(AIUsageManager& manager, QObject* parent)
    : QObject(parent), manager_(manager) {}

AIUsagePopoverController::~AIUsagePopoverController() {
    if (monitoring_) qApp->removeEventFilter(this);
}

void AIUsagePopoverController::attach(QWidget* contentView, AIUsageBadge* badge) {
    contentView_ = contentView;
    if (badge_) badge_->removeEventFilter(this);
    badge_ = badge;
    badgeWidget_ = badge;
    // A badge switched off takes its popover with it.
    if (badge_) badge_->installEventFilter(this);
}

int AIUsagePopoverController::popoverX(double badgeMiddle, double contentWidth) {
    const double x = std::min(std::max(badgeMiddle - AIUsagePopover::kWidth / 2.0, double(kEdgeGap)),
                              contentWidth - AIUsagePopover::kWidth - kEdgeGap);
    return int(std::lround(x));
}

void AIUsagePopoverController::toggleUsagePopover() {
    if (popover_) {
        closePopover();
        return;
    }
    if (!contentView_ || !badge_) return;
    const QPoint mid = badge_->mapTo(contentView_, QPoint(badge_->width() / 2, 0));
    const int x = popoverX(mid.x(), contentView_->width());
    auto* popover = new AIUsagePopover(contentView_);
    popover->setGeometry(x, contentView_->height() - kBottomGap - 200, AIUsagePopover::kWidth, 200);
    popover->update(manager_.latestData(), manager_.lastStatusCode());
    const QPointer<AIUsageManager> manager(&manager_);
    popover->onRefresh = [manager] {
        if (manager) manager->fetchUsage(true);
    };
    popover->show();
    popover->raise();
    popover_ = popover;
    if (!monitoring_) {
        qApp->installEventFilter(this);
        monitoring_ = true;
    }
}

void AIUsagePopoverController::closePopover() {
    if (popover_) {
        popover_->hide();
        popover_->deleteLater();
    }
    popover_ = nullptr;
    if (monitoring_) {
        qApp->removeEventFilter(this);
        monitoring_ = false;
    }
}

void AIUsagePopoverController::publish(const std::optional<AIUsageData>& data) {
    if (badge_) badge_->update(data);
    if (popover_) {
        popover_->update(data, manager_.lastStatusCode());
        popover_->setRefreshDone();
    }
}

bool AIUsagePopoverController::eventFilter(QObject* watched, QEvent* event) {
    // Hidden by its switch: HideToParent comes even while the window itself is not on show.
    // The badge is compared as the widget it is: a Hide also comes while it is being destroyed, when it
    // is no longer an AIUsageBadge.
    if (watched == badgeWidget_.data() && (event->type() == QEvent::Hide || event->type() == QEvent::HideToParent) &&
        popover_)
        closePopover();
    if (!popover_ || event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton) return false;
    const QPoint global = mouse->globalPosition().toPoint();
    const auto inside = [&global](QWidget* w) {
        return w && w->isVisible() && w->rect().contains(w->mapFromGlobal(global));
    };
    // The click still goes on to what it was for, the badge included (whose own click toggles).
    if (!inside(popover_) && !inside(badge_)) closePopover();
    return false;
}
