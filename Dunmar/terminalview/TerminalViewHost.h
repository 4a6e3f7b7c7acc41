#pragma once

#include "actions/ActionHandler.h"

#include <QPoint>
#include <QString>
#include <optional>
#include <vector>

class TerminalView;

// One match of the scrollback search. A row of 0 or more is a grid row; a negative row counts back
// from the end of the scrollback (buffer line = scrollback line count + row). `col` is the first
// column, `len` the number of cells.
struct SearchHighlight {
    long long row = 0;
    long long col = 0;
    long long len = 0;
    bool operator==(const SearchHighlight&) const = default;
};

// What a terminal pane asks of its owner: the commands its keys and context menu ask for, the bell,
// the search highlights it draws, the remote viewer, and what its pointer handling must know of
// the window around it. The owner passes itself to each pane it makes; a pane made without one
// skips these steps: no search highlights are drawn, the bell is silent, nothing is streamed, a
// shell that ended with no one listening does not quit the program, and keys bound to application
// commands do nothing. The queries have neutral defaults so that an owner answers only what it has.
class TerminalViewHost : public ActionHandler {
public:
    // perform() comes from ActionHandler: a key or the context menu asked for an application
    // command, or the shell ended with no one else listening (Action::quit).

    // The pane restarted its shell (a shell key): the tab strip and the footer show the new one.
    virtual void shellSwitched(TerminalView* /*view*/) {}
    // The shell rang the bell. `view` is null when the pane was closed before the bell was handled.
    virtual void ringBell(TerminalView* view) = 0;

    // The matches of the current scrollback search that `view` should draw, and the index of the one
    // drawn as current (-1 for none). Read on every frame, so return a stored list.
    virtual const std::vector<SearchHighlight>& searchHighlights(const TerminalView* view) const = 0;
    virtual int searchCurrentIndex(const TerminalView* view) const = 0;

    // True while a remote viewer is connected; the shell's output is only decoded for it then.
    virtual bool isRemoteStreamConnected() const = 0;
    // A piece of shell output as text (whole UTF-8 characters only).
    virtual void sendRemoteOutput(const QString& text) = 0;

    // The check marks of the context menu's Panels submenu: whether the panel the action toggles is
    // shown (the active tab's git panel, the web picker, the SSH sidebar).
    virtual bool isShown(Action /*togglePanel*/) const { return false; }

    // ---- Pointer handling ------------------------------------------------------------------------
    // The settings panel is open: a left press closes it (the press still goes on); pointer
    // movement and entry are ignored meanwhile.
    virtual bool isSettingsOpen() const { return false; }
    virtual void hideSettings() {}
    // The command palette is shown: a left press dismisses it (the press still goes on).
    virtual bool isCommandPaletteShown() const { return false; }
    virtual void dismissCommandPalette() {}
    // An in-window alert (unsaved changes) or the print options are shown over the content: pointer
    // movement and entry are ignored meanwhile.
    virtual bool isModalOverlayShown() const { return false; }
    // Seconds since the window was last hidden, or nothing when it never was. The pointer entering
    // a pane activates the window, but not within half a second after it was hidden.
    virtual std::optional<double> secondsSinceLastHide() const { return std::nullopt; }
    // The version button shown over the window is visible and contains the point (global
    // coordinates): the pane then leaves the pointer's shape to it.
    virtual bool versionButtonContains(const QPoint& /*globalPos*/) const { return false; }
    // The pointer left a pane: the window's border glow fades out (false).
    virtual void handleBorderHover(bool /*nearEdge*/) {}
    // The user is dragging the window's edge: sizes that programs ask for are ignored meanwhile.
    virtual bool isUserResizingWindow() const { return false; }
};
