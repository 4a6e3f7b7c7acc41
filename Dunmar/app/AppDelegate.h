#pragma once

#include "app/EventHook.h"
#include "app/EditorKeyRouting.h"
#include "app/SessionStore.h"
#include "app/SubsystemServices.h"
#include "app/TabList.h"
#include "app/Termination.h"
#include "app/ToastService.h"
#include "app/actions/ActionDispatcher.h"
#include "app/settings/SettingsApplierHost.h"
#include "app/sidepanel/SidePanelColumn.h"
#include "app/sidepanel/SidePanelHost.h"
#include "app/window/WindowController.h"
#include "app/window/WindowHost.h"
#include "chrome/ChromeController.h"
#include "bell/BellHost.h"
#include "settings/SettingsHost.h"
#include "settings/SettingsOverlay.h"
#include "terminalview/TerminalViewHost.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class BellManager;
class QKeyEvent;
class QMenu;
class ContentView;
class Defaults;
class FooterBarView;
class HeaderBarView;
class HoverButton;
class QVariantAnimation;
class QWidget;
class SettingsApplier;
class SettingsPanelController;
class WindowBackdrop;

// The application controller: the window with its header and footer, the open tabs with their
// terminals, splits and editors, the saved tabs, the toast service and the way out of the program.
// It lives for the whole process, on the main thread. The terminal views, the header and footer and
// the bell reach it through the interfaces it implements; it installs itself as all three when the
// launch begins.
//
// Parts that later subsystems provide are reached through their services (`services()`); until they
// exist null services do the least that keeps the program whole (most do nothing).
class AppDelegate : public QObject,
                    public ChromeController,
                    public TerminalViewHost,
                    public BellHost,
                    public SettingsHost,
                    public SettingsApplierHost,
                    public WindowHost,
                    public SidePanelHost {
    Q_OBJECT
public:
    static constexpr int kFooterTimerMs = 2000;
    static constexpr int kShowWindowDelayMs = 400;
    static constexpr int kNewPageFadeMs = 200;
    static constexpr int kClosePageFadeMs = 150;
    static constexpr int kSwitchFadeMs = 150;

    explicit AppDelegate(Defaults& defaults, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Registers the settings defaults, builds the window with its header and footer, restores the
    // saved tabs or opens the first one, starts the refresh timer and shows the window. Run once
    // when the main loop starts.
    void applicationDidFinishLaunching();

    // ---- What the controller holds -----------------------------------------------------------
    QWidget* window() const;
    ContentView* contentView() const { return contentView_; }
    HeaderBarView* headerView() const { return headerView_; }
    FooterBarView* footerView() const { return footerView_; }
    HoverButton* versionButton() const { return versionBtn_; }
    TabList& tabs() { return tabs_; }
    const TabList& tabs() const { return tabs_; }
    int activeTab() const { return tabs_.activeTab(); }
    ToastService& toasts() { return toasts_; }
    TerminationController& termination() { return termination_; }
    SessionStore& sessionStore() { return sessionStore_; }
    const QTimer& footerTimer() const { return footerTimer_; }
    Defaults& defaults() const { return defaults_; }

    // The bell handler; BellManager::shared() unless another was set before the launch.
    BellManager& bell() const;
    void setBellManager(BellManager* bell) { bell_ = bell; }

    // Asks the user for a file to open or a name to save under; none when the user cancelled. A
    // file dialog unless replaced.
    enum class FileChoice { open, saveAs };
    std::function<std::optional<QString>(FileChoice, const QString& suggestedPath)> chooseFile;

    // The rectangle of the tab pages in the content view: between the header (below the arrow strip
    // while docked, and below an open bell preview) and the footer.
    QRect termFrame() const;
    int bellPreviewPanelHeight() const { return bellPreviewPanelHeight_; }

    // ---- Tabs --------------------------------------------------------------------------------
    // The shell of a new tab: "/bin/zsh", "/bin/bash" or "/bin/sh" by the setting
    // "defaultShellIndex"; any other index gives "/bin/zsh".
    QString defaultShell() const;
    // Appends a terminal tab running `shell` in `cwd` (none: the view's default folder), coloured by
    // `colorHue` (none: a random hue), its history named `tabId` (none: a new one), and shows it.
    void createTab(const QString& shell, const std::optional<QString>& cwd = std::nullopt,
                   std::optional<double> colorHue = std::nullopt,
                   const std::optional<QString>& tabId = std::nullopt);
    // Closes a tab, asking first when it is an editor with unsaved changes. The last tab stays.
    void closeTab(int index);
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

    // ---- Editor tabs -------------------------------------------------------------------------
    // Opens an editor tab for the file at `path`, or an empty one for none, and shows it. A file
    // that cannot be read opens nothing and says why in a toast. Does not save the open tabs.
    bool createEditorTabInternal(const std::optional<QString>& path);
    // Whether editor tab `index` offers a preview of its file.
    bool isTabPreviewable(int index) const;
    // Saves the editor of tab `index` to its file, asking for a name when it has none. True only
    // when the file was written; a cancelled choice or a failed write leaves the tab modified.
    bool saveEditorOfTab(int index, bool askForName = false);

    // ---- Splits ------------------------------------------------------------------------------
    // Splits the active tab side by side (vertical) or one above the other, closes its split, or,
    // when it is split the other way, splits it again that way with a fresh second shell.
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
    // Every terminal pane: each tab's primary pane, then its second pane when split.
    QList<TerminalView*> allTerminalViews() const;
    bool isAnyDragSessionActive() const;

    // ---- Toasts ------------------------------------------------------------------------------
    QWidget* showGenericToast(const QString& badge, const QString& text, const QColor& badgeColor,
                              double dismissAfter = ToastService::kDefaultDismissAfter,
                              const QString& identifier = ToastService::kDefaultIdentifier,
                              std::function<void()> onClick = {});

    // ---- Saved tabs --------------------------------------------------------------------------
    // Writes the open tabs, the active tab, the window frame and the side-panel state. Skipped
    // while a restore runs; the restore saves once when it is done.
    void saveSession();
    // Rebuilds the saved tabs; false when nothing was saved.
    bool restoreSession();

    // ---- Quitting ----------------------------------------------------------------------------
    // SIGTERM: saves the tabs and the window geometry and quits without asking.
    void terminateWithoutConfirmation();
    // The program lost the keyboard to another one: by the setting "hideOnDeactivate", the window
    // goes, unless the pointer is over a desktop panel (where the tray icon is) or a file is being
    // dragged over a pane.
    void applicationDidResignActive();

    // ---- The window (app/window/; AppDelegateWindow.cpp wires it) ----------------------------------
    // Showing, hiding and toggling, the tray icon and docked placement, detaching and snapping, the
    // size memory, the mask, the global keys and the desktop's observers.
    WindowController& windowController() { return *windowController_; }
    const WindowController& windowController() const { return *windowController_; }
    // The window's part of the reset to defaults, with the panes' cursor and font and the material.
    void resetWindow() override;

    // ---- Side-panel column (app/sidepanel; its host in AppDelegateSidebar.cpp) --------------------
    SidePanelColumn& sidePanels() { return *sidePanels_; }
    const SidePanelColumn& sidePanels() const { return *sidePanels_; }
    // Lays the tab pages and the side-panel column out again.
    void layoutGitPanel();

    // ---- Later subsystems -------------------------------------------------------------------------
    // Each later subsystem as the controller calls it; null services until the subsystem exists.
    SubsystemServices& services() { return services_; }

    // ---- Seams: later subsystems ------------------------------------------------------------------
    void updateGitPanelCwd();                             // the git panel follows the active shell's folder

    // ---- Settings (AppDelegateSettings.cpp) --------------------------------------------------------
    // The one path of a changed setting into the running program, and the panel's opening and
    // closing.
    SettingsApplier& settingsApplier() const { return *settingsApplier_; }
    SettingsPanelController& settingsPanel() const { return *settingsPanel_; }
    // A left press in a terminal closes the panel; the press still reaches the terminal.
    void hideSettings() override;
    bool isSettingsOpen() const override;

    // The material behind the content (the window's blur view).
    WindowBackdrop* visualEffect() const { return visualEffect_; }

    // ---- SettingsApplierHost -------------------------------------------------------------------
    QList<TerminalView*> settingsTerminalViews() const override;
    QList<EditorView*> settingsEditorViews() const override;
    void setWindowOpacityFromSettings(double opacity) override;
    void setBackdropIntensity(double intensity) override;
    void setBackdropMaterial(VisualMaterial material, bool lightAppearance) override;
    void refreshWindowLevel() override;
    void refreshFollowAllSpaces() override;
    void setAutoDimEnabled(bool dim) override;
    void setHideOnClickOutside(bool hide) override;
    void restartUpdateCheck() override;
    void setUsageBadgeVisible(bool visible) override;
    UsageService& usageService() override;

    // ---- SettingsHost ----------------------------------------------------------------------------
    void previewTheme(int index) override;
    bool hasAIUsageToken() const override;
    void startRemoteStreaming(const QString& pairingCode) override;
    void stopRemoteStreaming() override;
    void ringBellForTest() override;
    void reloadBellSound() override;
    void showSettingsMessage(const QString& text) override;
    void deleteCodeHostingToken() override;
    void resetPanes() override;
    void closeTabsForReset() override;
    void restartFirstShell() override;
    void finishReset() override;

    // ---- TerminalViewHost ----------------------------------------------------------------------
    // Every application command, from the panes, the editor tabs' keys and the main menu.
    bool perform(Action action) override { return actions_.perform(action); }
    void shellSwitched(TerminalView* view) override;
    bool isShown(Action togglePanel) const override;
    void ringBell(TerminalView* view) override;
    const std::vector<SearchHighlight>& searchHighlights(const TerminalView* view) const override;
    int searchCurrentIndex(const TerminalView* view) const override;
    bool isRemoteStreamConnected() const override;
    void sendRemoteOutput(const QString& text) override;
    // Starts editing a tab's title in the header.
    void startEditingTab(int index, const QString& currentTitle);
    // Whether the active tab shows its git panel.
    bool isGitPanelShown() const;
    bool isModalOverlayShown() const override;
    bool versionButtonContains(const QPoint& globalPos) const override;
    std::optional<double> secondsSinceLastHide() const override;
    bool isUserResizingWindow() const override;
    void handleBorderHover(bool nearEdge) override;

    // ---- ChromeController ----------------------------------------------------------------------
    bool isWindowDetached() const override { return windowController_->isDetached(); }

    // ---- BellHost ------------------------------------------------------------------------------
    bool isWindowVisible() const override;
    qreal windowAlpha() const override;
    bool isWindowKey() const override;
    bool isWindowOnCurrentDesktop() const override;
    bool isPaneOnShow(const BellPane& pane) const override;
    std::optional<int> tabIndexOfPrimaryPane(const BellPane& pane) const override;
    QString tabCustomName(int index) const override;
    bool markTabBell(int index) override;
    void setStatusItemDimmed(bool dimmed) override;
    QWidget* bellPreviewParent() override;
    int bellPreviewTop() const override;
    void bellPreviewHeightChanged(int height, int durationMs, const QEasingCurve& curve) override;
    void focusActiveTerminal() override;
    void showWindowForNotification(BellPane* pane) override;

    // ---- SidePanelHost (AppDelegateSidebar.cpp) --------------------------------------------------
    QWidget* sidePanelParent() const override;
    QWidget* sidePanelDividerParent() const override;
    QRect terminalFrame() const override { return termFrame(); }
    void placeTabPages(const QRect& frame) override;
    QWidget* activeGitPanelInColumn() const override;
    std::optional<double> activeColumnShare() const override;
    void setActiveColumnShare(double share) override;
    void relayoutActiveTab() override;
    void sidePanelShown(const QString& id, bool shown) override;
    void snapWindowRightHalf() override { windowController_->snapping().snapRightFull(); }
    TerminalView* openTerminalTab() override;
    WebPickerService& webPicker() override { return *services_.webPicker; }

public slots:
    // The commands of the menus, the header and the footer.
    void addTab();
    void createEditorTab();
    void closeCurrentTab();
    void openEditorFile();
    void saveCurrentEditor();
    void saveCurrentEditorAs();
    void togglePreview();
    void printCurrentTab();
    void formatCurrentDocument();
    void toggleGitPanel();
    void toggleWebPicker();
    void toggleSSHManager();
    // Every quit request: asks first.
    void handleQuitRequest() override;

private:
    // Launch (AppDelegate.cpp)
    void buildWindow();
    void wireHeader();
    void wireFooter();
    void layoutContent();
    void applicationWillTerminate();

    // Tabs (AppDelegateTabs.cpp)
    void doCloseTab(int index);
    // Adds a new tab's page over the others and fades it in; the page before it is hidden.
    void presentNewTab(TabState tab, QWidget* focus);
    void putOnTopOfPages(QWidget* page);
    void hideAllPagesBut(int index);
    void focusActiveTab();
    void crossFade(QWidget* from, QWidget* to);
    void releasePanes(const TabState& tab);

    // Saved tabs (AppDelegateSession.cpp)
    session::SessionSnapshot sessionSnapshot() const;
    void restoreTerminalTab(const session::RestoreTab& entry);
    void restoreEditorTab(const session::RestoreTab& entry);

    // Settings (AppDelegateSettings.cpp)
    // Makes the material behind the content, hands the panel its place, and lets the applier apply
    // what is stored. Run once, after the window is built.
    void applyStoredSettingsAtLaunch();

    // Helpers
    TerminalView* activePane() const;
    void focusWidget(QWidget* widget);
    // The tab pages' rectangle: the terminal area less the side-panel column.
    QRect pageFrame() const;
    // The editor tabs' keys, routed through the window (AppDelegateEditor.cpp).
    void wireWindowKeys(BorderlessWindow& window);
    void handleEditorKey(const editorkeys::Route& route, QKeyEvent* event);

    // ---- WindowHost (AppDelegateWindow.cpp) ------------------------------------------------------
    void holdPaneSizes(bool hold) override;
    void focusActivePage() override;
    void focusTerminalOfActiveTab() override;
    void repaintActivePane() override;
    bool isDraggingOverPane() const override;
    void layoutForDocking(bool detached) override;
    void layoutSidePanels() override;
    void systemAppearanceChanged() override;
    void centerCommandPalette() override;
    void toggleCommandPalette() override;

    Defaults& defaults_;
    ActionDispatcher actions_{*this};
    BellManager* bell_ = nullptr;
    std::unique_ptr<QWidget> window_;
    ContentView* contentView_ = nullptr;
    HeaderBarView* headerView_ = nullptr;
    FooterBarView* footerView_ = nullptr;
    HoverButton* versionBtn_ = nullptr;
    TabList tabs_;
    SessionStore sessionStore_;
    ToastService toasts_;
    TerminationController termination_;
    QTimer footerTimer_;
    bool launched_ = false;
    int bellPreviewPanelHeight_ = 0;
    QPointer<QVariantAnimation> bellPreviewAnimation_;
    // Settings
    WindowBackdrop* visualEffect_ = nullptr;
    std::unique_ptr<SettingsApplier> settingsApplier_;
    std::unique_ptr<SettingsPanelController> settingsPanel_;


    // The window's showing, placement and shape.
    std::unique_ptr<WindowController> windowController_;

    // The side-panel column and the later subsystems.
    SubsystemServices services_;
    std::unique_ptr<SidePanelColumn> sidePanels_ =
        std::make_unique<SidePanelColumn>(static_cast<SidePanelHost&>(*this), defaults_);
};
