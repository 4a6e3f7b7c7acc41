// The controller's life: the launch that builds the window with its header and footer, the refresh
// timer, and the end of the process.
#include "app/AppDelegate.h"
#include "git/GitPanelService.h"
#include "app/settings/SettingsApplier.h"
#include "app/settings/SettingsPanelController.h"

#include "DunmarVersion.h"
#include "app/window/BorderlessWindow.h"
#include "app/process/ProgramFolder.h"
#include "app/window/ContentView.h"
#include "app/session/StorageNotices.h"
#include "app/aiusage/UsageServiceAdapter.h"
#include "app/dictation/DictationServiceAdapter.h"
#include "app/editor/EditorServiceHost.h"
#include "app/ssh/RemoteStreamServiceAdapter.h"
#include "app/webpicker/WebPickerHostAdapter.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "chrome/HoverButton.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "platform/DialogFocus.h"
#include "platform/GlobalInput.h"
#include "platform/StateFolder.h"
#include "bell/BellManager.h"
#include "settings/SettingsOverlay.h"
#include "settings/SettingsKeys.h"

#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QVariantAnimation>
#include <algorithm>

namespace {

// The version label in the lower right corner, above the footer.
constexpr int kVersionRight = 8;
constexpr int kVersionBottom = 45;

std::optional<QString> askForFile(Workspace::FileChoice choice, const QString& suggestedPath,
                                  QWidget* parent) {
    const KeyboardReturn keyboardReturn(parent);
    const QString path = choice == Workspace::FileChoice::open
                             ? QFileDialog::getOpenFileName(parent, QString(), suggestedPath)
                             : QFileDialog::getSaveFileName(parent, QString(), suggestedPath);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

} // namespace

AppDelegate::AppDelegate(Defaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults),
      windowController_(std::make_unique<WindowController>(defaults, toasts_, *this, actions_, this)),
      workspace_(std::make_unique<Workspace>(defaults, static_cast<WorkspaceHost&>(*this))) {
    services_.webPicker = std::make_unique<WebPickerSubsystem>(defaults_, std::make_unique<WebPickerHostAdapter>());
    services_.git = std::make_unique<GitPanelService>(gitPlacement_.get());
    sidePanels_->setSidebarMenuHost(gitPlacement_.get());
    settingsApplier_ = std::make_unique<SettingsApplier>(defaults_, *this, *this);
    settingsPanel_ = std::make_unique<SettingsPanelController>(defaults_, *this, *settingsApplier_);
    settingsApplier_->setOpenPanel([this] { return settingsPanel_->panel(); });
    termination_.onWillTerminate = [this] { applicationWillTerminate(); };
    termination_.onShowWindow = [this] { windowController_->showWindowAnimated(); };
    termination_.unsavedEditors = [this] { return workspace_->unsavedEditorTitles(); };
    workspace_->chooseFile = [this](Workspace::FileChoice choice, const QString& suggested) {
        return askForFile(choice, suggested, window());
    };
    bellPreviewInset_.onChanged = [this] { layoutContent(); };
    services_.notAvailable = [this] {
        toasts_.showGenericToast(QStringLiteral("SOON"), qs(Loc::notAvailableYet()), QColor::fromRgbF(0.45f, 0.5f, 0.6f),
                                 ToastService::kDefaultDismissAfter, QStringLiteral("notAvailableToast"));
    };
    footerTimer_.setInterval(kFooterTimerMs);
    // The footer's shell and process, the tab titles (which follow the shells' folders) and the git
    // panel's folder stay current without any push from the shells.
    connect(&footerTimer_, &QTimer::timeout, this, [this] {
        workspace_->updateFooter();
        workspace_->updateHeaderTabs();
        workspace_->updateGitPanelCwd();
    });
}

AppDelegate::~AppDelegate() {
    footerTimer_.stop();
    if (ChromeController::installed() == this) ChromeController::install(nullptr);
    if (bell_ && bell_->host() == this) bell_->setHost(nullptr);
    // A rename still open is finished while everything is whole: closing the window would take the
    // field's focus and hand the name to a controller half torn down, and rebuild the tab strip
    // inside a window being destroyed.
    if (headerView_) headerView_->finishEditingTab();
    // The pages go before the tab list that points at them.
    window_.reset();
}

QWidget* AppDelegate::window() const {
    return window_.get();
}

BellManager& AppDelegate::bell() const {
    return bell_ ? *bell_ : BellManager::shared();
}

void AppDelegate::applicationDidFinishLaunching() {
    if (launched_) return;
    launched_ = true;
    // A second copy never gets here: the entry point's per-user lock ended it. The desktop asks no
    // permissions of a program here (no full-disk or camera prompts to show).
    SettingsOverlay::registerDefaultSettings(defaults_);
    programfolder::takeOverFormerFolder(QDir::homePath(), statefolder::path());

    ChromeController::install(this);
    if (!bell_) bell_ = &BellManager::shared();
    bell_->setHost(this);

    windowController_->installSystemObservers();
    windowController_->createStatusItem();
    buildWindow();
    applyStoredSettingsAtLaunch();
    wireHeader();
    refreshPushToTalkKey();
    wireFooter();
    services_.remoteStream = makeRemoteStreamService(defaults_);
    services_.usage = makeUsageService(defaults_, contentView_, footerView_);
    services_.dictation = makeDictationService(defaults_, *workspace_, headerView_, window());
    services_.editor = makeEditorService(*workspace_, toasts_, contentView_, headerView_);
    storagenotices::watch(defaults_, toasts_, this);

    if (!workspace_->restoreSession()) workspace_->addTab();
    footerTimer_.start();
    workspace_->updateFooter();
    services_.updater->scheduleUpdateCheck(3.0);
    windowController_->registerHotKeyAndMonitors();
    // The push-to-talk key goes last, once the manager's callbacks are in place.
    if (GlobalInput* input = windowController_->keys().input()) services_.dictation->watchPushToTalkKey(*input);

    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationInactive) applicationDidResignActive();
    });

    // A detached window comes back where it was on the next turn of the loop; a docked one fades
    // in under the tray icon a moment after the launch, once the first shells have drawn.
    const QPointer<AppDelegate> self(this);
    QTimer::singleShot(0, this, [self] {
        if (self && self->defaults_.boolean(settings::kWindowDetached))
            self->windowController_->restoreDetachedWindowState();
    });
    QTimer::singleShot(kShowWindowDelayMs, this, [self] {
        if (!self || self->windowController_->isDetached()) return;
        self->defaults_.removeObject(settings::kDockedWindowY);
        self->windowController_->showWindowAnimated();
    });
}

void AppDelegate::buildWindow() {
    auto* content = new ContentView;
    auto* window = new BorderlessWindow(content);
    window_.reset(window);
    contentView_ = content;
    window->setWindowTitle(QStringLiteral("Dunmar"));
    window->setMinimumSize(320, 220);
    content->setArrowStripVisible(!windowController_->isDetached());
    wireWindowKeys(*window);
    windowController_->attach(window);

    headerView_ = new HeaderBarView(content);
    footerView_ = new FooterBarView(content);
    workspace_->attach(content, headerView_, footerView_);
    versionBtn_ = new HoverButton(QStringLiteral("v") + QString::fromLatin1(kAppVersion), 9, QFont::Light,
                                  chrome::white(0.38), chrome::white(0.9), chrome::clear(),
                                  chrome::white(1.0, 0.1), chrome::white(1.0, 0.2), 4, content);
    versionBtn_->resize(versionBtn_->sizeHint());
    versionBtn_->onClick = [self = QPointer<AppDelegate>(this)] {
        if (self) self->services_.palette->showChangelog(self->window());
    };
    toasts_.setHost(content);
    termination_.setWindow(window);
    termination_.setSheetHost(content);
    content->onResized = [this] { layoutContent(); };
    layoutContent();
}

void AppDelegate::layoutContent() {
    if (!contentView_) return;
    const int w = contentView_->width();
    const int h = contentView_->height();
    const int top = windowController_->isDetached() ? 0 : ContentView::kArrowStripHeight;
    if (headerView_) headerView_->setGeometry(0, top, w, HeaderBarView::barHeight);
    if (footerView_) footerView_->setGeometry(0, h - FooterBarView::barHeight, w, FooterBarView::barHeight);
    layoutGitPanel();
    if (versionBtn_) {
        const QSize s = versionBtn_->sizeHint();
        versionBtn_->setGeometry(w - s.width() - kVersionRight, h - kVersionBottom - s.height(), s.width(),
                                 s.height());
    }
}

QRect AppDelegate::termFrame() const {
    if (!contentView_) return QRect();
    const int top = (windowController_->isDetached() ? 0 : ContentView::kArrowStripHeight) +
                    HeaderBarView::barHeight + bellPreviewInset_.height();
    const int height = std::max(0, contentView_->height() - top - FooterBarView::barHeight);
    return QRect(0, top, contentView_->width(), height);
}

void AppDelegate::wireHeader() {
    HeaderBarView& h = *headerView_;
    // Every closure holds the controller weakly and does nothing once it is gone.
    const QPointer<AppDelegate> self(this);
    // The buttons that stand for a key command perform the same action as the key.
    const auto perform = [self](Action action) {
        return [self, action] {
            if (self) self->perform(action);
        };
    };
    h.onTabClicked = [self](int i) {
        if (self) self->workspace_->switchToTab(i);
    };
    h.onAddTab = perform(Action::newTab);
    h.onAddEditorTab = perform(Action::newEditorTab);
    h.onCloseTab = [self](int i) {
        if (self) self->workspace_->closeTab(i);
    };
    h.onReorderTab = [self](int from, int to) {
        if (self) self->workspace_->reorderTab(from, to);
    };
    h.onTabRenamed = [self](int i, std::optional<QString> name) {
        if (self) self->workspace_->renameTab(i, name);
    };
    h.onSplitVertical = perform(Action::splitSideBySide);
    h.onSplitHorizontal = perform(Action::splitStacked);
    h.onGitToggle = perform(Action::toggleGitPanel);
    h.onWebPickerToggle = perform(Action::toggleWebPicker);
    h.onSSHToggle = perform(Action::toggleSSHManager);
    h.onFileOpen = perform(Action::openFile);
    h.onFileSave = perform(Action::save);
    h.onFileSaveAs = perform(Action::saveAs);
    h.onPreviewToggle = perform(Action::togglePreview);
    h.onFileDropped = [self](const QUrl& url) {
        if (self && url.isLocalFile()) self->workspace_->createEditorTabInternal(url.toLocalFile());
    };
    h.onDoubleClick = perform(Action::toggleFullscreen);
}

void AppDelegate::wireFooter() {
    FooterBarView& f = *footerView_;
    const QPointer<AppDelegate> self(this);
    const auto perform = [self](Action action) {
        return [self, action] {
            if (self) self->perform(action);
        };
    };
    f.onSwitchShell = [self](int i) {
        if (self) self->workspace_->switchShellOfActivePane(i);
    };
    f.onSettings = perform(Action::toggleSettings);
    f.onPrint = perform(Action::print);
    f.onNewTab = perform(Action::newTab);
    f.onNewEditorTab = perform(Action::newEditorTab);
    f.onCloseTab = perform(Action::closeTab);
    f.onSplitV = perform(Action::splitSideBySide);
    f.onSplitH = perform(Action::splitStacked);
    f.onToggleWindow = perform(Action::toggleWindow);
    f.onSwitchSplitPane = perform(Action::switchSplitPane);
    f.onPrevTab = perform(Action::previousTab);
    f.onNextTab = perform(Action::nextTab);
    f.onEditorModeChange = [self](EditorInputMode mode) {
        if (self) self->workspace_->setActiveEditorMode(mode);
    };
    f.onFormatDocument = perform(Action::formatDocument);
    f.onUsageBadgeClick = [self] {
        if (self) self->services_.usage->togglePopover();
    };
}

// ---- Quitting --------------------------------------------------------------------------------

void AppDelegate::handleQuitRequest() {
    termination_.requestQuit();
}

void AppDelegate::terminateWithoutConfirmation() {
    termination_.terminateWithoutConfirmation();
}

void AppDelegate::applicationDidResignActive() {
    windowController_->applicationDidResignActive();
}

void AppDelegate::applicationWillTerminate() {
    WillTerminateSteps steps;
    steps.cancelDictation = [this] { services_.dictation->cancel(); };
    steps.saveWindowGeometry = [this] { windowController_->frameMemory().saveOnQuit(); };
    steps.saveSession = [this] { saveSession(); };
    steps.removeClickMonitor = [this] { windowController_->removeClickOutsideMonitor(); };
    steps.unregisterHotKey = [this] { windowController_->keys().unregisterHotKey(); };
    steps.stopFooterTimer = [this] { footerTimer_.stop(); };
    steps.cancelWindowMoveSave = [this] { windowController_->frameMemory().cancelPendingMoveSave(); };
    steps.stopDiagnosticsOverlays = [this] { services_.palette->stopDiagnosticsOverlays(); };
    // Each shell gets its hang-up now rather than outliving the program.
    steps.releaseTerminalViews = [this] { workspace_->releaseAllPanes(); };
    steps.run();
    defaults_.synchronize();
}

// ---- Toasts ----------------------------------------------------------------------------------

QWidget* AppDelegate::showGenericToast(const QString& badge, const QString& text, const QColor& badgeColor,
                                       double dismissAfter, const QString& identifier,
                                       std::function<void()> onClick) {
    return toasts_.showGenericToast(badge, text, badgeColor, dismissAfter, identifier, std::move(onClick));
}

// ---- Saved tabs ---------------------------------------------------------------------------------

void AppDelegate::saveSession() {
    workspace_->saveSession();
}
