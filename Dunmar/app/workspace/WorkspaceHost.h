#pragma once

#include "app/session/SessionFormat.h"
#include "app/session/SessionRestore.h"
#include "terminalview/PaneSettings.h"

#include <QRect>
#include <QString>
#include <functional>

class BellManager;
class TerminalViewHost;
class ToastService;

// What the open tabs ask of the program around them: the owner the panes report to, the window's
// placement and title, the side-panel column beside the pages, and the way out.
class WorkspaceHost {
public:
    virtual ~WorkspaceHost() = default;

    // The owner each new pane is made with.
    virtual TerminalViewHost& paneHost() = 0;
    // The settings a new pane starts with.
    virtual PaneSettings paneSettings() const = 0;
    virtual BellManager& bell() const = 0;
    virtual ToastService& toasts() = 0;

    // The tab pages' rectangle: the terminal area less the side-panel column.
    virtual QRect pageFrame() const = 0;
    // Lays the pages and the side-panel column out again.
    virtual void layoutSidePanels() = 0;
    // The window's title follows the active shell's.
    virtual void setWindowTitle(const QString& title) = 0;
    // Closing the last tab's page hides the window instead.
    virtual void hideWindowAnimated() = 0;
    // The last tab's shell ended: the program asks whether to quit; `onCancelled` runs when it stays.
    virtual void requestQuit(std::function<void()> onCancelled) = 0;

    // Switching tabs ends a scrollback search.
    virtual void clearSearchState() = 0;
    // Whether editor tab `index` offers a preview of its file.
    virtual bool isTabPreviewable(int index) const = 0;

    // The saved tabs carry the window's frame and the side-panel column's state with them.
    virtual void addWindowState(session::SessionSnapshot& snapshot) const = 0;
    virtual void restoreWindowState(const session::RestorePlan& plan) = 0;
};
