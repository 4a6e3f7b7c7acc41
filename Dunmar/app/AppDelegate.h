#pragma once

#include "app/window/BellPreviewInset.h"
#include "app/EventHook.h"
#include "app/SubsystemServices.h"
#include "app/process/Termination.h"
#include "app/ToastService.h"
#include "app/actions/ActionDispatcher.h"
#include "app/git/GitPanelPlacement.h"
#include "app/settings/SettingsApplierHost.h"
#include "app/sidepanel/SidePanelColumn.h"
#include "app/sidepanel/SidePanelHost.h"
#include "app/window/WindowController.h"
#include "app/window/WindowHost.h"
#include "app/workspace/Workspace.h"
#include "app/workspace/WorkspaceHost.h"
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
                    public SidePanelHost,
                    public WorkspaceHost {
    Q_OBJECT
    friend class AppDelegateTestAccess;

public:
    static constexpr int kFooterTimerMs = 2000;
    static constexpr int kShowWindowDelayMs = 400;

    explicit AppDelegate(Defaults& defaults, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Registers the settings defaults, builds the window with its header and footer, restores the
    // saved tabs or opens the first one, starts the refresh timer and shows the window. Run once
    // when the main loop starts.
    void applicationDidFinishLaunching();

    // ---- What the controller holds -----------------------------------------------------------
    QWidget* window() const;
    ContentView* contentView() const { return contentView_; }
    ToastService& toasts() override { return toasts_; }

    // The bell handler; BellManager::shared() unless another was set before the launch.
    BellManager& bell() const override;
    void setBellManager(BellManager* bell) { bell_ = bell; }

    // The rectangle of the tab pages in the content view: between the header (below the arrow strip
    // while docked, and below an open bell preview) and the footer.
    QRect termFrame() const;

    // ---- Toasts ------------------------------------------------------------------------------
    QWidget* showGenericToast(const QString& badge, const QString& text, const QColor& badgeColor,
                              double dismissAfter = ToastService::kDefaultDismissAfter,
                              const QString& identifier = ToastService::kDefaultIdentifier,
                              std::function<void()> onClick = {});

    // ---- The open tabs (app/workspace/) ---------------------------------------------------------
    // Terminal and editor tabs, splits, the saved tabs and what the header and footer show of them.
    Workspace& workspace() { return *workspace_; }
    const Workspace& workspace() const { return *workspace_; }
    // Writes the open tabs with the window's frame and the side-panel state.
    void saveSession();

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
    // The command palette's setting prompts store a value, then apply it here.
    SettingsApplier& settingsApplier() { return *settingsApplier_; }
    bool isCommandPaletteShown() const override { return services_.palette->isCommandPaletteShown(); }
    void dismissCommandPalette() override { services_.palette->dismissCommandPalette(); }

    // ---- Settings (AppDelegateSettings.cpp) --------------------------------------------------------
    // The panel's opening and closing.
    SettingsPanelController& settingsPanel() const { return *settingsPanel_; }
    // A left press in a terminal closes the panel; the press still reaches the terminal.
    void hideSettings() override;
    bool isSettingsOpen() const override;

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
    void refreshPushToTalkKey() override;
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
    QString tabShownName(int index) const override;
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
    TabState* activeTabState() const override;
    QWidget* activeGitPanelInColumn() const override;
    std::optional<double> activeColumnShare() const override;
    void setActiveColumnShare(double share) override;
    void relayoutActiveTab() override;
    void sidePanelShown(const QString& id, bool shown) override;
    void snapWindowRightHalf() override { windowController_->snapping().snapRightFull(); }
    TerminalView* openTerminalTab() override;
    WebPickerService& webPicker() override { return *services_.webPicker; }

    // ---- WorkspaceHost ---------------------------------------------------------------------------
    TerminalViewHost& paneHost() override { return *this; }
    PaneSettings paneSettings() const override;
    QRect pageFrame() const override;
    void setWindowTitle(const QString& title) override;
    void hideWindowAnimated() override;
    void clearSearchState() override;
    bool isTabPreviewable(int index) const override;
    void addWindowState(session::SessionSnapshot& snapshot) const override;
    void restoreWindowState(const session::RestorePlan& plan) override;
    void requestQuit(std::function<void()> onCancelled) override;

    // Every quit request: asks first.
    void handleQuitRequest() override;

private:
    // Launch (AppDelegate.cpp)
    void buildWindow();
    void wireHeader();
    void wireFooter();
    void layoutContent();
    void applicationWillTerminate();

    // Settings (AppDelegateSettings.cpp)
    // Makes the material behind the content, hands the panel its place, and lets the applier apply
    // what is stored. Run once, after the window is built.
    void applyStoredSettingsAtLaunch();

    // The window's own keys: the editor tabs' routed keys, Escape for a bell preview, the close
    // command.
    void wireWindowKeys(BorderlessWindow& window);
    // File drops onto a pane arrive with the view's pointer handling; until then no drag runs.
    bool isAnyDragSessionActive() const { return false; }

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
    ToastService toasts_;
    TerminationController termination_;
    QTimer footerTimer_;
    bool launched_ = false;
    BellPreviewInset bellPreviewInset_;
    // Settings
    WindowBackdrop* visualEffect_ = nullptr;
    std::unique_ptr<SettingsApplier> settingsApplier_;
    std::unique_ptr<SettingsPanelController> settingsPanel_;


    // The window's showing, placement and shape.
    std::unique_ptr<WindowController> windowController_;

    // The open tabs.
    std::unique_ptr<Workspace> workspace_;

    // The side-panel column and the later subsystems.
    SubsystemServices services_;
    std::unique_ptr<SidePanelColumn> sidePanels_ =
        std::make_unique<SidePanelColumn>(static_cast<SidePanelHost&>(*this), defaults_);
    // Each tab's git panel: where it sits, its divider, its menu. The git service calls it.
    std::unique_ptr<GitPanelPlacement> gitPlacement_ =
        std::make_unique<GitPanelPlacement>(*workspace_, *sidePanels_, [this] { return termFrame(); });
};
