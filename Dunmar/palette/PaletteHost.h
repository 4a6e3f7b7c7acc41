#pragma once

#include "actions/Action.h"

#include <QColor>
#include <QString>
#include <QVariant>
#include <optional>

class Defaults;
class QWidget;
class TerminalView;

// What the palette, its commands, the scrollback search, the changelog viewer and the diagnostics
// panels need of the application controller. The controller implements it in a small adapter.
class PaletteHost {
public:
    virtual ~PaletteHost() = default;

    // ---- The window --------------------------------------------------------------------------------
    // The main window and its content view (the palette's, the panels' and the toasts' parent).
    virtual QWidget* mainWindow() const = 0;
    virtual QWidget* contentView() const = 0;
    virtual bool isWindowVisible() const = 0;
    // The palette has closed: the window comes to the front and the active terminal gets the
    // keyboard back.
    virtual void activateAfterSnap() = 0;

    // ---- Commands of the controller ------------------------------------------------------------
    // Tab, window and panel commands that the controller performs as for a key or a menu item
    // (quit, new tab, close tab, settings, splits, window placement, the web picker, the git panel).
    virtual void perform(Action action) = 0;
    // The window's full-width and full-height strips, which have no key of their own.
    virtual void toggleHorizont() = 0;
    virtual void toggleVertical() = 0;

    // ---- Tabs --------------------------------------------------------------------------------------
    virtual int tabCount() const = 0;
    // The active tab's terminal view; none for an editor tab.
    virtual TerminalView* activeTerminalView() const = 0;

    // ---- Settings ----------------------------------------------------------------------------------
    virtual Defaults& defaults() = 0;
    // Applies a stored setting to the running program (the caller has stored it).
    virtual void applySetting(const QString& key, const QVariant& value) = 0;
    // Stores a cursor style (0 underline, 1 beam, 2 block) and shows it in every pane.
    virtual void setCursorStyle(int style) = 0;

    // ---- Updates -----------------------------------------------------------------------------------
    virtual void manualCheckForUpdate() = 0;
    // Installs the release the last check found; tells the user when there is none.
    virtual void installPendingUpdate() = 0;
    virtual std::optional<QString> pendingReleaseTag() const = 0;

    // ---- Toasts ------------------------------------------------------------------------------------
    // A toast at the top of the window; one with the same identifier is replaced.
    virtual void showToast(const QString& badge, const QString& text, const QColor& badgeColor,
                           double dismissAfter, const QString& identifier) = 0;
};
