#pragma once

#include "app/EventHook.h"
#include "app/DoubleControl.h"
#include "app/EditorKeyRouting.h"
#include "app/SessionStore.h"
#include "app/SidePanelViews.h"
#include "app/TabList.h"
#include "app/Termination.h"
#include "app/ToastService.h"
#include "app/WindowSnap.h"
#include "app/settings/SettingsApplierHost.h"
#include "chrome/ChromeController.h"
#include "settings/BellHost.h"
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
class BorderlessWindow;
class GlobalInput;
class GitPanelDividerView;
class QKeyEvent;
class QMenu;
class QPropertyAnimation;
class StatusTrayIcon;
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
// Parts that later subsystems provide are reached through the members under "Seams" below; until
// they exist those members do the least that keeps the program whole (most do nothing).
class AppDelegate : public QObject,
                    public ChromeController,
                    public TerminalViewHost,
                    public BellHost,
                    public SettingsHost,
                    public SettingsApplierHost {
    Q_OBJECT
public:
    static constexpr int kFooterTimerMs = 2000;
    static constexpr int kShowWindowDelayMs = 400;
    static constexpr int kNewPageFadeMs = 200;
    static constexpr int kClosePageFadeMs = 150;
    static constexpr int kSwitchFadeMs = 150;
    static constexpr int kDefaultWindowWidth = 860;
    static constexpr int kDefaultWindowHeight = 480;

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
    void restoreWindowOpacity();
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

    // ---- Showing, hiding and toggling the window (AppDelegateWindow.cpp) ----------------------
    static constexpr int kShowFadeMs = 150;
    static constexpr int kHideFadeDockedMs = 120;
    static constexpr int kHideFadeDetachedMs = 150;
    static constexpr int kAutoDimMs = 200;
    static constexpr int kRestoreOpacityMs = 150;
    // Fades the window in under the tray icon and gives it the keyboard; nothing during a fade.
    void showWindowAnimated();
    // Fades the window out; nothing during a fade or while it is hidden.
    void hideWindowAnimated();
    // The one gesture for both: tray click, hot key, the footer's and the menu's Show / Hide.
    void toggleWindow();
    bool isAnimating() const { return isAnimating_; }
    bool pendingToggle() const { return pendingToggle_; }
    // Monotonic seconds when the last hide began (0: never).
    double lastHideTime() const { return lastHideTime_; }
    // Whether clicks elsewhere on the desktop are being watched to hide the window.
    bool hasClickOutsideMonitor() const { return clickOutsideMonitor_; }
    // A click elsewhere on the desktop at `pointer` (Qt coordinates) with the monitor installed.
    void handleClickOutside(const QPoint& pointer);
    // The window became, or stopped being, the active window.
    void windowDidBecomeKey();
    void windowDidResignKey();
    // Control went down or up: twice within 0.35 s opens the command palette.
    void handleControlKeyChanged(bool down);
    // The settings' window branches: level, desktops, the click-outside monitor. Each follows the
    // stored setting; the accessors say what the window was last told.
    void applyWindowLevel();
    void applyFollowAllSpaces();
    void setClickOutsideMonitorEnabled(bool enabled);
    bool isWindowKeptAbove() const { return windowKeptAbove_; }
    bool followsAllSpaces() const { return followAllSpaces_; }
    bool hidesOnClickOutside() const { return clickOutsideWanted_; }
    // The window part of the reset to defaults: opacity 0.99, kept above others, the standard
    // frame under the tray icon, the mask, and the click-outside monitor as its setting says.
    void resetWindow() override;
    // The seconds of the monotonic clock used for `lastHideTime` and the double Control; a test
    // may replace it.
    std::function<double()> uptime;

    // ---- Tray icon and docked placement (AppDelegateStatusItem.cpp) ---------------------------
    static constexpr int kTrayPollMs = 250;
    static constexpr int kRepositionMs = 220;
    static constexpr double kMinValidTrayX = 100;
    StatusTrayIcon* statusItem() const { return statusItem_.get(); }
    // The tray icon's centre x on the desktop; 0 when unknown or at x 100 or less.
    double currentTrayIconScreenX() const;
    // Places the window under the tray icon (a detached one at its remembered x), at once.
    void positionWindowUnderTrayIcon();
    // Slides a docked window to its place under the tray icon's new position.
    void repositionDockedWindow();
    bool isTrayIconPolling() const { return trayIconPollTimer_.isActive(); }
    // A tray click: the window's toggle.
    void statusItemClicked();
    // Fills the tray icon's menu (built afresh each time it opens).
    void buildStatusItemMenu(QMenu& menu);
    // The tray icon's rectangle on the desktop (Qt coordinates), when known. A test may replace it.
    std::function<std::optional<QRect>()> statusItemRect;

    // ---- Detached window, snapping and geometry memory (AppDelegateDetach.cpp) -----------------
    static constexpr int kSnapMs = 300;
    static constexpr int kResetSizeMs = 250;
    static constexpr int kResetWindowMs = 400;
    static constexpr int kWindowMoveSaveMs = 500;
    // Whether the window floats freely rather than hanging under the tray icon.
    bool isWindowDetachedFromTray() const { return isWindowDetached_; }
    void restoreDetachedWindowState();
    void snapLeft();
    void snapRight();
    void snapRightFull();
    void toggleFullscreen();
    void toggleHorizont();
    void toggleVertical();
    void resetWindowSize();
    void clearSnapStates() { snapMemory_.clear(); }
    const snap::Memory& snapMemory() const { return snapMemory_; }
    void activateAfterSnap();
    void saveWindowSize();
    void windowDidResize();
    void windowDidMove();
    bool hasPendingWindowMoveSave() const { return windowMoveWorkItem_.isActive(); }
    // Later subsystems: the command palette.
    void centerCommandPalette();
    void toggleCommandPalette();

    // ---- Window mask and border (AppDelegateShape.cpp) ----------------------------------------
    void updateWindowMask();
    void handleBorderHover(bool nearEdge);
    bool isBorderHovered() const;
    BorderlessWindow* borderlessWindow() const { return borderlessWindow_; }

    // ---- Global hot key and system observers (AppDelegateSystem.cpp) --------------------------
    GlobalInput* globalInput() const { return globalInput_.get(); }
    // Why the global hot key does not work; empty while it does.
    QString hotKeyProblem() const { return hotKeyProblem_; }
    void systemAppearanceChanged();
    void handleScreenChange();
    void handleWakeFromSleep();

    // ---- Side-panel stack (AppDelegateSidebar.cpp) --------------------------------------------
    static constexpr int kSidePanelFadeInMs = 200;
    static constexpr int kSidePanelFadeOutMs = 150;
    static constexpr int kSSHCommandDelayMs = 350;
    void showWebPickerSidebar();
    void hideWebPickerSidebar();
    void showSSHManager();
    void hideSSHManager();
    void handleWebPickerDividerDrag(double delta);
    void handleSidebarHDividerDrag(const QString& topId, const QString& botId, double delta);
    void moveSidebarPanel(const QString& id, int direction);
    void updateSidebarMoveButtons();
    // Opens a new tab and, once its shell has had a moment to start, types `connectCommand` and a
    // line feed into that tab's own terminal (not whichever tab is active by then).
    void openSSHConnection(const QString& connectCommand);
    WebPickerSidebarView* webPickerSidebarView() const { return webPickerSidebarView_; }
    SSHManagerView* sshManagerView() const { return sshManagerView_; }
    const QStringList& sidebarOrder() const { return sidebarOrder_; }
    const QMap<QString, double>& sidebarPanelHeights() const { return sidebarPanelHeights_; }
    // The side panels in the column, top first.
    QStringList visibleSidebarPanels() const;

    // ---- Seams: later subsystems ------------------------------------------------------------------
    void toggleUsagePopover();                            // the AI usage popover
    void layoutGitPanel();                                // the git panel's frames
    void updateGitPanelCwd();                             // the git panel follows the active shell's folder
    void clearSearchState();                              // the scrollback search
    void showChangelog();                                 // the changelog viewer
    void scheduleUpdateCheck(double initialDelaySeconds); // the updater

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
    void ringBell(TerminalView* view) override;
    const std::vector<SearchHighlight>& searchHighlights(const TerminalView* view) const override;
    int searchCurrentIndex(const TerminalView* view) const override;
    bool isRemoteStreamConnected() const override;
    void sendRemoteOutput(const QString& text) override;
    int tabCount() const override { return tabs_.count(); }
    void startEditingTab(int index, const QString& currentTitle) override;
    bool isGitPanelShown() const override;
    bool isWebPickerShown() const override { return !webPickerSidebarView_.isNull(); }
    bool isSSHManagerShown() const override { return !sshManagerView_.isNull(); }
    bool isModalOverlayShown() const override;
    bool versionButtonContains(const QPoint& globalPos) const override;
    std::optional<double> secondsSinceLastHide() const override;

    // ---- ChromeController ----------------------------------------------------------------------
    bool isWindowDetached() const override { return isWindowDetached_; }

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

public slots:
    // The actions of the main menu, the header and the footer (the menu finds them by name).
    void addTab();
    void createEditorTab();
    void closeCurrentTab();
    void switchToTab1();
    void switchToTab2();
    void switchToTab3();
    void menuSwitchZsh();
    void menuSwitchBash();
    void menuSwitchSh();
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
    QSize initialWindowSize();
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

    // The window (AppDelegateWindow.cpp and its neighbours)
    void setUpWindowBehaviour();
    void setUpStatusItem();
    void registerHotKeyAndMonitors();
    void installSystemObservers();
    double windowOpacitySetting() const;
    void fadeWindow(double to, int durationMs, const QEasingCurve& curve, std::function<void()> done);
    void finishFade();
    void showDetachedAnimated();
    void bringToCurrentDesktop();
    void installClickOutsideMonitor();
    void removeClickOutsideMonitor();
    void applyWindowHintsBeforeMapping();
    void setSuppressResizeOnAllPanes(bool suppress);
    void startTrayIconPolling();
    void stopTrayIconPolling();
    void animateFrame(const QRect& target, int durationMs, const QEasingCurve& curve,
                      std::function<void()> done = {});
    void snapAnimate(const QRect& target);
    void applySnap(snap::Kind kind);
    void toggleDetach();
    void updateHeaderArrowLayout();
    QRect visibleFrameOfWindowScreen() const;
    std::optional<QRect> statusButtonRect() const;
    void writeWindowPosition();
    void layoutSidebarColumn();
    // The tab pages' rectangle: the terminal area less the side-panel column.
    QRect pageFrame() const;
    void handleEditorKey(const editorkeys::Route& route, QKeyEvent* event);
    bool eventFilter(QObject* watched, QEvent* event) override;

    Defaults& defaults_;
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
    bool isWindowDetached_ = false;
    bool launched_ = false;
    int bellPreviewPanelHeight_ = 0;
    QPointer<QVariantAnimation> bellPreviewAnimation_;
    QStringList sidebarOrder_{QStringLiteral("git"), QStringLiteral("picker"), QStringLiteral("ssh")};
    QMap<QString, double> sidebarPanelHeights_{
        {QStringLiteral("git"), 300}, {QStringLiteral("picker"), 320}, {QStringLiteral("ssh"), 260}};
    std::vector<SearchHighlight> searchHighlights_;
    int searchCurrentIndex_ = -1;
    // Settings
    WindowBackdrop* visualEffect_ = nullptr;
    std::unique_ptr<SettingsApplier> settingsApplier_;
    std::unique_ptr<SettingsPanelController> settingsPanel_;

    // The window's showing, placement and shape.
    BorderlessWindow* borderlessWindow_ = nullptr;
    std::unique_ptr<StatusTrayIcon> statusItem_;
    std::unique_ptr<GlobalInput> globalInput_;
    QString hotKeyProblem_;
    bool isAnimating_ = false;
    bool pendingToggle_ = false;
    double lastHideTime_ = 0;
    bool clickOutsideMonitor_ = false;
    bool clickOutsideWanted_ = false;
    bool windowKeptAbove_ = false;
    bool followAllSpaces_ = false;
    QMetaObject::Connection clickOutsideConnection_;
    QPointer<QPropertyAnimation> fadeAnimation_;
    std::function<void()> fadeDone_;
    QPointer<QPropertyAnimation> dimAnimation_;
    QPointer<QPropertyAnimation> frameAnimation_;
    bool repositionRunning_ = false;
    // While the reset to defaults slides the window to its first-start frame, the frames it passes
    // through are the program's, not the user's: none is remembered.
    bool resetFrameRunning_ = false;
    QTimer trayIconPollTimer_;
    double lastKnownTrayX_ = 0;
    QTimer windowMoveWorkItem_;
    snap::Memory snapMemory_;
    DoubleControlDetector doubleControl_;
    QTimer screenChangeTimer_;
    bool watchControlInApplication_ = false;

    // The side-panel column.
    QPointer<WebPickerSidebarView> webPickerSidebarView_;
    QPointer<SSHManagerView> sshManagerView_;
    QPointer<GitPanelDividerView> webPickerRightDivider_;
    QMap<QString, QPointer<GitPanelDividerView>> sidebarHDividers_;

public slots:
    // The tray menu's items (the main menu finds them by name too).
    void toggleWindowSlot() { toggleWindow(); }
    void toggleDetachSlot() { toggleDetach(); }

private slots:
    void prepareForSleep(bool goingToSleep);
};
