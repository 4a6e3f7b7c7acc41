#pragma once

class QWidget;
class WebPickerSidebarView;

// What the controller asks of the web element picker: its sidebar, and while that is shown the
// browser window under the pointer gets the focus.
class WebPickerService {
public:
    virtual ~WebPickerService() = default;

    // A new sidebar, disconnected, owned by `parent`.
    virtual WebPickerSidebarView* createSidebar(QWidget* parent) = 0;

    // The sidebar came on show (after it started connecting) or is about to go.
    virtual void startHoverFocus() = 0;
    virtual void stopHoverFocus() = 0;
};
