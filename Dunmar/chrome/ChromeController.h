#pragma once

// What the header and footer ask of the application controller. The controller installs itself
// once at start; while none is installed the steps that need it are skipped (a header drag does not
// move the window, the quit button does nothing).
class ChromeController {
public:
    virtual ~ChromeController() = default;

    // True while the window is detached from the tray icon and may be moved by dragging the header.
    virtual bool isWindowDetached() const = 0;
    // Asks the application to quit through the controller's termination path.
    virtual void handleQuitRequest() = 0;

    static ChromeController* installed();
    // Pass nullptr to uninstall. The controller must outlive its installation.
    static void install(ChromeController* controller);
};
