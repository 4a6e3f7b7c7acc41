#pragma once

#include "app/tabs/EditorKeyRouting.h"
#include "app/session/SessionStore.h"
#include "app/tabs/TabList.h"
#include "app/workspace/WorkspaceHost.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>

class BorderlessWindow;
class ContentView;
class Defaults;
class EditorAlertOverlay;
class EditorView;
class FooterBarView;
class HeaderBarView;
class QKeyEvent;
class QWidget;
class SplitContainer;
class TerminalView;

// The open tabs: terminal tabs with their splits, editor tabs, the order and the active one, the
// saved tabs across starts, and the state the header's tab strip and the footer show of them. The
// controller makes one, hands it the content view with its header and footer once the window is
// built, and routes the commands of the menus, keys and buttons to it.
class Workspace : public QObject {
    Q_OBJECT
public:
    static constexpr int kNewPageFadeMs = 200;
    static constexpr int kClosePageFadeMs = 150;
    static constexpr int kSwitchFadeMs = 150;

    Workspace(Defaults& defaults, WorkspaceHost& host, QObject* parent = nullptr);
    ~Workspace() override;

    // The pages go into `content`, below `header`; both bars show the tabs' state.
    void attach(ContentView* content, HeaderBarView* header, FooterBarView* footer);

    TabList& tabs() { return tabs_; }
    const TabList& tabs() const { return tabs_; }
    int activeTab() const { return tabs_.activeTab(); }
    SessionStore& sessionStore() { return sessionStore_; }

    // Asks the user for a file to open or a name to save under; none when the user cancelled. A
    // file dialog unless replaced.
    enum class FileChoice { open, saveAs };
    std::function<std::optional<QString>(FileChoice, const QString& suggestedPath)> chooseFile;

    // ---- Tabs --------------------------------------------------------------------------------
    // The shell of a new tab: "/bin/zsh", "/bin/bash" or "/bin/sh" by the setting
    // "defaultShellIndex"; any other index gives "/bin/zsh".
    QString defaultShell() const;
    void addTab();
    // Appends a terminal tab running `shell` in `cwd` (none: the view's default folder), coloured by
    // `colorHue` (none: a random hue), its history named `tabId` (none: a new one), and shows it.
    void createTab(const QString& shell, const std::optional<QString>& cwd = std::nullopt,
                   std::optional<double> colorHue = std::nullopt,
                   const std::optional<QString>& tabId = std::nullopt);
    // Closes a tab, asking first when it is an editor with unsaved changes. The last tab stays.
    void closeTab(int index);
    // The close command: the active tab, or with only one tab left, the window hides.
    void closeCurrentTab();
    void reorderTab(int from, int to);
    // Shows another tab with a short cross-fade.
    void switchToTab(int index);
    // The previous and next tab, wrapping around at the ends.
    void selectPreviousTab();
    void selectNextTab();
    // The header's rename: a name, or none for the default title. A stale index changes nothing.
    void renameTab(int index, const std::optional<QString>& name);
    // The titles of the tab strip, in tab order.
    QStringList tabTitles() const;
    // The titles of the editor tabs with unsaved changes, without the strip's "• " mark.
    QStringList unsavedEditorTitles() const;
    QString tabCustomName(int index) const;
    // Marks a tab's bell in the strip; false for a stale index.
    bool markTabBell(int index);
    // The pane with the keyboard in the active tab: its second pane when split and chosen.
    TerminalView* activePane() const;
    // Whether `view` is one of the active tab's panes.
    bool isPaneOfActiveTab(const TerminalView* view) const;
    // Every terminal pane: each tab's primary pane, then its second pane when split.
    QList<TerminalView*> allTerminalViews() const;
    // Gives the keyboard to the active tab's editor or terminal.
    void focusActiveTab();
    // The active tab's terminal, repainted.
    void focusTerminalOfActiveTab();
    // Every page takes `frame`.
    void placeTabPages(const QRect& frame);
    // The content view's child that holds the active tab's page.
    QWidget* activePageParent() const;
    // Each shell gets its hang-up now; the tab list is empty after.
    void releaseAllPanes();

    // ---- Editor tabs -------------------------------------------------------------------------
    void createEditorTab();
    // Asks for a file and loads it into the active editor tab in place of its text; nothing for a
    // terminal tab.
    void openEditorFile();
    // Opens an editor tab for the file at `path`, or an empty one for none, and shows it. A file
    // that may not or cannot be read opens nothing and says why in a warning panel.
    bool createEditorTabInternal(const std::optional<QString>& path);
    void saveCurrentEditor();
    void saveCurrentEditorAs();
    // Saves the editor of tab `index` to its file, asking for a name when it has none; the editor
    // may ask a question first. `done` hears true only when the file was written: a cancelled
    // choice or question, or a failed write, leaves the tab modified.
    void saveEditorOfTab(int index, bool askForName = false, std::function<void(bool saved)> done = {});
    // The footer's editor mode for the active editor tab.
    void setActiveEditorMode(EditorInputMode mode);
    // What the window's key handling needs to know of the active editor tab, and its routed keys.
    editorkeys::EditorState editorState() const;
    void handleEditorKey(const editorkeys::Route& route, QKeyEvent* event);

    // ---- Splits ------------------------------------------------------------------------------
    // Splits the active tab side by side (vertical) or one above the other, closes its split (asking
    // first while the second pane runs a program), or, when it is split the other way, turns the
    // split that way with both sessions kept.
    void toggleSplit(bool vertical);
    // Moves the keyboard to the other pane of the split active tab.
    void switchSplitPane();
    // What the second pane's shell ending does: the split closes, the tab stays.
    std::function<void()> makeSecondaryExitHandler(SplitContainer* container, TerminalView* secondary);
    void updateSplitButtonState();

    // ---- Header and footer -------------------------------------------------------------------
    void updateHeaderTabs();
    void updateFooter();
    // The footer's shell buttons: restarts the active pane with the first, second or third shell.
    void switchShellOfActivePane(int shellIndex);
    // The menus' shell commands restart the active tab's primary pane, even while the second one
    // has the keyboard.
    void switchShellOfPrimaryPane(int shellIndex);
    // Whether the active tab shows its git panel.
    bool isGitPanelShown() const;
    // The git panel follows the active shell's folder.
    void updateGitPanelCwd();
    // The folder a tab's git panel follows: its shell's, or the home folder for an editor tab.
    static QString gitFolderOf(const TabState& tab);
    void setGitButtonActive(bool active);
    // Gives a tab its git panel and divider; set by the git panel's placement.
    std::function<void(TabState&)> attachGitPanel;

    // ---- The reset to defaults ------------------------------------------------------------------
    // Closes every split and gives each remaining pane an empty screen without scrollback.
    void closeSplitsAndClearPanes();
    // Closes the tabs after the first, but editors with unsaved changes, and shows the first.
    void closeTabsForReset();
    // The first tab's pane starts the default shell anew.
    void restartFirstShell();
    // Every editor tab's view.
    QList<EditorView*> editorViews() const;

    // ---- Saved tabs --------------------------------------------------------------------------
    // Writes the open tabs, the active tab, the window frame and the side-panel state. Skipped
    // while a restore runs; the restore saves once when it is done.
    void saveSession();
    // Rebuilds the saved tabs; false when nothing was saved.
    bool restoreSession();

private:
    void doCloseTab(int index);
    // Only the panel on show refreshes: a hidden tab's panel stops, and picks up again in its
    // tab's folder when the tab is shown.
    static void pauseGitPanel(TabState& tab);
    static void resumeGitPanel(TabState& tab);
    // The one editor panel shown over the content (a warning); a new one replaces it.
    void showEditorOverlay(EditorAlertOverlay* overlay);
    void showEditorWarning(const QString& path, const QString& reason);
    // The tab now holds the file at `path`: its path, name and language, unmodified.
    void bindEditorFile(TabState& tab, const QString& path);
    // Adds a new tab's page over the others and fades it in; the page before it is hidden.
    void presentNewTab(TabState tab, QWidget* focus);
    void putOnTopOfPages(QWidget* page);
    void hideAllPagesBut(int index);
    void crossFade(QWidget* from, QWidget* to);
    void focusWidget(QWidget* widget);
    // The program other than the shell that one of `panes` runs in the foreground, if any.
    static std::optional<QString> runningProgram(const QList<TerminalView*>& panes);
    // Runs `proceed` at once when none of `panes` runs a program, else after the user agreed to
    // end it; nothing happens when they cancel.
    void askBeforeEndingPrograms(const QList<TerminalView*>& panes, std::function<void()> proceed);
    static QList<TerminalView*> panesOf(const TabState& tab);
    void closeTerminalTab(int index);
    // A shell that is not on this machine starts another one; the user is told once per shell.
    void tellOnceIfShellMissing(const QString& wanted, const QString& running);
    // The last tab's shell ended and the user stayed: a new shell starts in the same pane.
    void restartEndedShell(TerminalView* pane);
    void switchShellOf(TerminalView* pane, int shellIndex);
    TerminalView* newPane(const QRect& frame, const QString& shell, const QString& cwd, const QString& tabId);

    session::SessionSnapshot sessionSnapshot() const;
    void restoreTerminalTab(const session::RestoreTab& entry);
    void restoreEditorTab(const session::RestoreTab& entry);

    Defaults& defaults_;
    WorkspaceHost& host_;
    TabList tabs_;
    SessionStore sessionStore_;
    ContentView* contentView_ = nullptr;
    HeaderBarView* headerView_ = nullptr;
    FooterBarView* footerView_ = nullptr;
    QSet<QString> shellsToldMissing_;
    QPointer<EditorAlertOverlay> activeOverlay_;
};
