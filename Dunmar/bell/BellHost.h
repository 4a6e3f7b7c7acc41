#pragma once

#include <QEasingCurve>
#include <QString>
#include <optional>

class BellPane;
class QWidget;

// What the bell needs of the application controller: the window's state, the tabs, the status
// item, the place for the preview panel, and the way back into the window from a notification. The
// controller implements it and installs it with `BellManager::setHost`; the bell never includes the
// controller's headers. Everything is called on the main thread.
class BellHost {
public:
    virtual ~BellHost() = default;

    // --- The window --------------------------------------------------------------------------
    virtual bool isWindowVisible() const = 0;
    virtual qreal windowAlpha() const = 0;
    virtual bool isWindowKey() const = 0;
    // False while the window sits on another virtual desktop than the one shown.
    virtual bool isWindowOnCurrentDesktop() const = 0;

    // --- Tabs --------------------------------------------------------------------------------
    // Whether `pane` is the primary or the second pane of the active tab.
    virtual bool isPaneOnShow(const BellPane& pane) const = 0;
    // The first tab whose primary pane is `pane`; none for a second pane or a pane of no tab.
    virtual std::optional<int> tabIndexOfPrimaryPane(const BellPane& pane) const = 0;
    // The name the user gave tab `index`; empty when none (the bell then says "Tab <index + 1>").
    virtual QString tabCustomName(int index) const = 0;
    // The name tab `index` shows in the strip (the user's name, else its folder); the bell names the
    // tab by it, so that the user finds it. Empty when there is no such tab.
    virtual QString tabShownName(int index) const { return tabCustomName(index); }
    // Sets the bell mark of tab `index` and refreshes the header; false when there is no such tab.
    virtual bool markTabBell(int index) = 0;

    // --- Status item -------------------------------------------------------------------------
    // Shows the tray icon dimmed or normal; the bell's flash toggles it. No tray icon: nothing.
    virtual void setStatusItemDimmed(bool dimmed) = 0;

    // --- Preview panel -----------------------------------------------------------------------
    // The window's content widget, which the panel is laid over; nullptr while there is none.
    virtual QWidget* bellPreviewParent() = 0;
    // The y (from the content's top) of the header's lower edge, where the panel hangs: the header
    // height, plus the arrow strip while the window is docked.
    virtual int bellPreviewTop() const = 0;
    // The panel's height changes to `height` (0 when it closes) over `durationMs` along `curve`:
    // the terminal area gives up that much at its top, animated alongside.
    virtual void bellPreviewHeightChanged(int height, int durationMs, const QEasingCurve& curve) = 0;
    // The panel closed: the active tab's terminal takes the keyboard back.
    virtual void focusActiveTerminal() = 0;

    // --- Notifications -----------------------------------------------------------------------
    // The user answered a bell notification: bring the window out. `pane` is the pane whose bell
    // posted it, nullptr when that is unknown or gone. The active tab stays as it is: the preview
    // panel under the header answers the ringing tab in place.
    virtual void showWindowForNotification(BellPane* pane) = 0;
};
