#pragma once

#include "webpicker/HoverFocusManager.h"
#include "webpicker/WebPickerHost.h"
#include "webpicker/WebPickerService.h"

#include <memory>

class Defaults;

// The web element picker as the controller has it: the sidebar it shows, and focus following the
// pointer onto the browser while that sidebar is shown.
class WebPickerSubsystem final : public WebPickerService {
public:
    explicit WebPickerSubsystem(Defaults& defaults, std::unique_ptr<WebPickerHost> host = nullptr);

    WebPickerSidebarView* createSidebar(QWidget* parent) override;
    void startHoverFocus() override { hoverFocusManager.start(); }
    void stopHoverFocus() override { hoverFocusManager.stop(); }

    HoverFocusManager hoverFocusManager;

private:
    Defaults& defaults_;
    std::unique_ptr<WebPickerHost> host_;
};
