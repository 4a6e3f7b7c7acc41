#include "webpicker/WebPickerSubsystem.h"

#include "webpicker/WebPickerSidebarView.h"

WebPickerSubsystem::WebPickerSubsystem(Defaults& defaults) : defaults_(defaults) {}

WebPickerSidebarView* WebPickerSubsystem::createSidebar(QWidget* parent) {
    return new WebPickerSidebarView(defaults_, parent);
}
