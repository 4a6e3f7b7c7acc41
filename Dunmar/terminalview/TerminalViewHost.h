#pragma once

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

// What a terminal pane asks of the application controller and the services it owns (bell, search,
// remote viewer, tabs, window, side panels). The controller installs itself once at start; while none
// is installed the steps that need it are skipped: no search highlights are drawn, the bell is
// silent, nothing is streamed, a pane whose shell ended with no owner listening does not quit the
// program, and keys and menu items bound to application commands do nothing. The commands below have
// empty defaults so that a controller overrides only what it offers.
class TerminalViewHost {
public:
    virtual ~TerminalViewHost() = default;

    // Asks the application to quit through the controller's termination path.
    virtual void handleQuitRequest() = 0;
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

    // ---- Keys bound to application commands --------------------------------------------------
    // Shows the tab at `index` (0 to 8: Control+1 to Control+9).
    virtual void switchToTab(int /*index*/) {}
    // The number of tabs, and the custom name of one ("" for none): Control+Shift+1 to 9 rename a
    // tab that exists, starting from its custom name.
    virtual int tabCount() const { return 0; }
    virtual QString tabCustomName(int /*index*/) const { return {}; }
    // Starts editing a tab's title in the header.
    virtual void startEditingTab(int /*index*/, const QString& /*currentTitle*/) {}
    // Command+Option+1 to 4.
    virtual void resetWindowSize() {}
    virtual void snapLeft() {}
    virtual void snapRight() {}
    virtual void toggleFullscreen() {}
    // After Command+1 to 3 switched the shell: refresh the tab strip and the footer.
    virtual void updateHeaderTabs() {}
    virtual void updateFooter() {}
    // Splits the active terminal tab (true: side by side) or undoes the split (Command+D,
    // Command+Shift+D, the context menu).
    virtual void toggleSplit(bool /*vertical*/) {}
    // Moves the focus to the other pane of the active split tab (Option+Tab).
    virtual void switchSplitPane() {}

    // ---- The context menu ------------------------------------------------------------------------
    virtual void addTab() {}
    virtual void toggleGitPanel() {}
    virtual void toggleWebPicker() {}
    virtual void toggleSSHManager() {}
    // The check marks of the Panels submenu: the active tab's git panel is shown, the web picker
    // and the SSH sidebar are shown.
    virtual bool isGitPanelShown() const { return false; }
    virtual bool isWebPickerShown() const { return false; }
    virtual bool isSSHManagerShown() const { return false; }

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

    static TerminalViewHost* installed();
    // Pass nullptr to uninstall. The host must outlive its installation.
    static void install(TerminalViewHost* host);
};
