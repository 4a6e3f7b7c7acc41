// The window's link to the desktop: the window's own events handed to the controller, the global
// hot key, Control watched for the double press, and the desktop's changes (appearance, screens,
// waking from sleep).
#include "app/AppDelegate.h"
#include "app/BorderlessWindow.h"
#include "engine/Colors.h"
#include "platform/Defaults.h"
#include "platform/GlobalInput.h"
#include "platform/StatusTrayIcon.h"
#include "settings/BellManager.h"
#include "settings/BellPreviewQueue.h"
#include "settings/SettingsKeys.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <chrono>
#include <xcb/xproto.h>

namespace {

// The key symbol of the grave accent and the X modifier bit of Control.
constexpr std::uint32_t kGraveKeysym = 0x0060;
constexpr std::uint16_t kControlMask = XCB_MOD_MASK_CONTROL;

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

void AppDelegate::setUpWindowBehaviour() {
    if (!uptime) uptime = steadySeconds;
    BorderlessWindow& w = *borderlessWindow_;
    const QPointer<AppDelegate> self(this);
    w.statusItemCenterX = [self]() -> std::optional<double> {
        if (!self) return std::nullopt;
        const double x = self->currentTrayIconScreenX();
        return x > 0 ? std::optional<double>(x) : std::nullopt;
    };
    w.onSaveWindowSize = [self] {
        if (self) self->saveWindowSize();
    };
    w.onBorderHover = [self](bool nearEdge) {
        if (self) self->handleBorderHover(nearEdge);
    };
    w.editorState = [self]() -> editorkeys::EditorState {
        editorkeys::EditorState state;
        const TabState* tab = self ? self->tabs_.active() : nullptr;
        if (!tab || tab->type != TabType::editor) return state;
        state.activeTabIsEditor = true;
        state.mode = tab->editorMode;
        state.hasEditorView = tab->editorView != nullptr;
        if (tab->editorView) {
            state.vimInsert = tab->editorView->isVimInsertMode();
            state.vimPendingColon = tab->editorView->vimPendingColon();
        }
        return state;
    };
    w.onEditorKey = [self](const editorkeys::Route& route, QKeyEvent* event) {
        if (self) self->handleEditorKey(route, event);
    };
    w.onEscape = [self] {
        // Escape closes a bell preview on show without writing anything to its shell.
        if (!self || !self->bell().previews().panel()) return false;
        self->bell().dismissPreview();
        return true;
    };
    w.onPerformClose = [self] {
        if (self) self->closeCurrentTab();
    };
    w.onActiveChanged = [self](bool active) {
        if (!self) return;
        if (active)
            self->windowDidBecomeKey();
        else
            self->windowDidResignKey();
    };
    w.onResized = [self] {
        if (self) self->windowDidResize();
    };
    w.onMoved = [self] {
        if (self) self->windowDidMove();
    };
    windowMoveWorkItem_.setSingleShot(true);
    windowMoveWorkItem_.setInterval(kWindowMoveSaveMs);
    connect(&windowMoveWorkItem_, &QTimer::timeout, this, [this] { writeWindowPosition(); });
}

void AppDelegate::handleEditorKey(const editorkeys::Route& route, QKeyEvent* event) {
    using editorkeys::Action;
    TabState* tab = tabs_.active();
    EditorView* editor = tab ? tab->editorView.data() : nullptr;
    switch (route.action) {
    case Action::switchToTab:
        switchToTab(route.tabIndex);
        break;
    case Action::save:
    case Action::nanoSave:
        saveCurrentEditor();
        break;
    case Action::open:
        openEditorFile();
        break;
    case Action::saveAs:
        saveCurrentEditorAs();
        break;
    case Action::format:
        formatCurrentDocument();
        break;
    case Action::nanoClose:
        closeCurrentTab();
        break;
    case Action::cut:
        if (editor) editor->cut();
        break;
    case Action::selectAll:
        if (editor) editor->selectAll();
        break;
    case Action::undo:
        if (editor) editor->undo();
        break;
    case Action::redo:
        if (editor) editor->redo();
        break;
    case Action::find:
        if (editor) editor->showFindBar();
        break;
    case Action::nanoPaste:
        if (editor) editor->paste();
        break;
    case Action::nanoCutLine:
        if (editor) editor->cutCurrentLine();
        break;
    case Action::vimKey:
        if (editor) editor->handleVimKey(event);
        break;
    case Action::vimTwoKeyOp:
        if (editor && !editor->handleVimTwoKeyOp(event)) editor->handleVimKey(event);
        break;
    case Action::vimColonInput:
        if (editor) editor->handleVimColonCommand(event->text());
        break;
    case Action::pass:
        break;
    }
}

void AppDelegate::registerHotKeyAndMonitors() {
    globalInput_ = std::make_unique<GlobalInput>();
    const GlobalInput::GrabResult grab = globalInput_->grabHotKey(kGraveKeysym, kControlMask);
    hotKeyProblem_ = GlobalInput::describe(grab);
    if (!hotKeyProblem_.isEmpty()) {
        // The tray icon and the footer still toggle the window; the user hears why the keys do not.
        qWarning("Dunmar: %s", qPrintable(hotKeyProblem_));
        showGenericToast(QStringLiteral("KEY"), hotKeyProblem_, QColor::fromRgbF(0.85f, 0.55f, 0.2f), 8.0,
                         QStringLiteral("hotKeyToast"));
    }
    const QPointer<AppDelegate> self(this);
    connect(globalInput_.get(), &GlobalInput::hotKeyPressed, this, [self] {
        // The toggle runs on the next turn of the loop, not inside the event filter.
        QTimer::singleShot(0, self, [self] {
            if (self) self->toggleWindow();
        });
    });
    connect(globalInput_.get(), &GlobalInput::controlKeyChanged, this,
            [this](bool down) { handleControlKeyChanged(down); });
    if (globalInput_->hasRawInput()) {
        globalInput_->setWatchControlKey(true);
    } else {
        // No raw input (not X11, or no XInput2): Control is seen only while our window has the
        // keyboard, through the application's own key events.
        watchControlInApplication_ = true;
    }
    qApp->installEventFilter(this);
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
        if (watched == qApp) systemAppearanceChanged();
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (!watchControlInApplication_) break;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat())
            handleControlKeyChanged(event->type() == QEvent::KeyPress);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void AppDelegate::installSystemObservers() {
    screenChangeTimer_.setSingleShot(true);
    screenChangeTimer_.setInterval(kShowWindowDelayMs);
    connect(&screenChangeTimer_, &QTimer::timeout, this, [this] {
        if (!isWindowDetached_ && isWindowVisible()) repositionDockedWindow();
    });
    auto watchScreen = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, [this] { handleScreenChange(); });
        connect(screen, &QScreen::availableGeometryChanged, this, [this] { handleScreenChange(); });
    };
    for (QScreen* screen : QGuiApplication::screens()) watchScreen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, watchScreen](QScreen* screen) {
        watchScreen(screen);
        handleScreenChange();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, [this] { handleScreenChange(); });
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, [this] { handleScreenChange(); });
    // logind announces sleep and wake on the system bus; without one there is nothing to follow.
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(prepareForSleep(bool)));
}

void AppDelegate::prepareForSleep(bool goingToSleep) {
    if (!goingToSleep) handleWakeFromSleep();
}

void AppDelegate::handleScreenChange() {
    if (isWindowDetached_ || !isWindowVisible()) return;
    // The screens settle first; the window moves under the tray icon's new place a moment later.
    screenChangeTimer_.start();
}

void AppDelegate::handleWakeFromSleep() {
    handleScreenChange();
}

void AppDelegate::systemAppearanceChanged() {
    // Only the theme that follows the desktop changes with it.
    if (defaults_.integer(settings::kColorTheme) != 3) return;
    applyTheme(resolveSystemTheme());
    for (TerminalView* view : allTerminalViews())
        if (view) view->update();
}
