#pragma once

// What the window part asks of its owner: the panes, pages and side panels inside the window, and
// the command palette. The application controller implements it; the window part never includes
// the controller's header. (The tray menu's items that are not the window's own are application
// commands, performed through the action handler the window part is given.)
class WindowHost {
public:
    virtual ~WindowHost() = default;

    // The panes keep their size while the window fades out (true) and follow it again (false).
    virtual void holdPaneSizes(bool hold) = 0;
    // The active tab's terminal or editor takes the keyboard (the window was shown).
    virtual void focusActivePage() = 0;
    // The active tab's terminal takes the keyboard and redraws (a snap ended).
    virtual void focusTerminalOfActiveTab() = 0;
    // The active pane redraws: its cursor shows whether the window has the keyboard.
    virtual void repaintActivePane() = 0;
    // A file is being dragged over a pane: clicks and focus changes leave the window alone.
    virtual bool isDraggingOverPane() const = 0;

    // The window was detached or docked again: the content drops or shows its arrow strip and lays
    // itself out.
    virtual void layoutForDocking(bool detached) = 0;
    // The side panels follow the window's size.
    virtual void layoutSidePanels() = 0;
    // The desktop's light or dark appearance changed.
    virtual void systemAppearanceChanged() = 0;

    // The command palette: kept centred over the window, and opened or closed by the double Control.
    virtual void centerCommandPalette() = 0;
    virtual void toggleCommandPalette() = 0;
    // The window hides or the program loses the keyboard: an open palette closes.
    virtual bool isCommandPaletteShown() const { return false; }
    virtual void dismissCommandPalette() {}
};
