#pragma once

#include "webpicker/HoverFocusManager.h"
#include "webpicker/WebPickerService.h"

class Defaults;

// The web element picker as the controller has it: the sidebar it shows, and focus following the
// pointer onto the browser while that sidebar is shown.
class WebPickerSubsystem final : public WebPickerService {
public:
    explicit WebPickerSubsystem(Defaults& defaults);

    WebPickerSidebarView* createSidebar(QWidget* parent) override;
    void startHoverFocus() override { hoverFocusManager.start(); }
    void stopHoverFocus() override { hoverFocusManager.stop(); }

    HoverFocusManager hoverFocusManager;

private:
    Defaults& defaults_;
};
