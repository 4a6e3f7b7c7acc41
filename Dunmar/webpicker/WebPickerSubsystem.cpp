#include "webpicker/WebPickerSubsystem.h"

#include "webpicker/WebPickerSidebarView.h"

WebPickerSubsystem::WebPickerSubsystem(Defaults& defaults, std::unique_ptr<WebPickerHost> host)
    : defaults_(defaults), host_(std::move(host)) {}

WebPickerSidebarView* WebPickerSubsystem::createSidebar(QWidget* parent) {
    auto* sidebar = new WebPickerSidebarView(defaults_, parent);
    if (host_) sidebar->pasteIntoFocusedTerminal = [host = host_.get()](const QString& text) {
        host->pasteIntoFocusedTerminal(text);
    };
    return sidebar;
}
