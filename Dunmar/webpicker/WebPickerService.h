#pragma once

// What the controller asks of the web element picker besides its sidebar: while the sidebar is
// shown, the browser window under the pointer gets the focus.
class WebPickerService {
public:
    virtual ~WebPickerService() = default;

    // The sidebar came on show (after it started connecting) or is about to go.
    virtual void startHoverFocus() = 0;
    virtual void stopHoverFocus() = 0;
};

// Until the picker exists: no browser window is focused.
class NullWebPickerService final : public WebPickerService {
public:
    void startHoverFocus() override {}
    void stopHoverFocus() override {}
};
