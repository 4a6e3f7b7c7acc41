#pragma once

#include "aiusage/UsageService.h"

#include <memory>

class Defaults;
class FooterBarView;
class QWidget;

// The usage monitor as the controller's service, started as the launch wants it: its badge in the
// footer, the stored snapshot shown at once, and polling at the stored interval while the badge is
// switched on. `contentView` holds the popover.
std::unique_ptr<UsageService> makeUsageService(Defaults& defaults, QWidget* contentView,
                                               FooterBarView* footer);
