#include "app/dictation/DictationServiceAdapter.h"

#include "app/workspace/Workspace.h"
#include "chrome/HeaderBarView.h"
#include "dictation/DictationHost.h"
#include "dictation/DictationManager.h"
#include "dictation/DictationOverlay.h"
#include "dictation/FnKeyMonitor.h"
#include "dictation/PocketSphinxBackend.h"
#include "dictation/PulseMicrophoneSource.h"
#include "dictation/ShortcutMonitor.h"
#include "editor/EditorView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "platform/DialogFocus.h"
#include "platform/PushToTalkKeys.h"
#include "settings/SettingsKeys.h"
#include "terminalview/SplitContainer.h"
#include "terminalview/TerminalView.h"

#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextCursor>

namespace {

// The desktop's sound settings, where an input device is chosen: the first tool found.
QStringList soundSettingsCommand() {
    if (!QStandardPaths::findExecutable(QStringLiteral("gnome-control-center")).isEmpty())
        return {QStringLiteral("gnome-control-center"), QStringLiteral("sound")};
    if (!QStandardPaths::findExecutable(QStringLiteral("pavucontrol")).isEmpty())
        return {QStringLiteral("pavucontrol"), QStringLiteral("--tab=4")};
    return {};
}

// The open tabs as the manager sees them.
class WorkspaceDictationHost final : public DictationHost {
public:
    WorkspaceDictationHost(Defaults& defaults, Workspace& workspace, QWidget* window)
        : defaults_(defaults), workspace_(workspace), window_(window) {}

    std::optional<ActiveTab> activeTab() const override {
        const TabList& tabs = workspace_.tabs();
        const int i = tabs.activeTab();
        const TabState* tab = tabs.find(i);
        if (!tab) return std::nullopt;
        ActiveTab out;
        out.index = i;
        out.isEditor = tab->type == TabType::editor;
        out.hasEditorView = tab->editorView != nullptr;
        if (!out.isEditor && tab->splitContainer) {
            const SplitContainer& c = *tab->splitContainer;
            TerminalView* pane =
                c.activePaneIsPrimary() || !c.secondaryView() ? c.primaryView() : c.secondaryView();
            if (pane) out.focusedPaneTabId = pane->tabId();
        }
        return out;
    }

    bool isShown() const override { return window_ && window_->isVisible(); }

    void pasteIntoPane(const QString& tabId, const QString& text) override {
        for (TerminalView* view : workspace_.allTerminalViews()) {
            if (view && view->tabId() == tabId) {
                view->pasteText(text);
                return;
            }
        }
    }

    void insertIntoEditor(int tabIndex, const QString& text) override {
        const TabState* tab = workspace_.tabs().find(tabIndex);
        if (!tab || !tab->editorView || !tab->editorView->textView()) return;
        // At the selection, replacing it, as typing would.
        EditorTextView* textView = tab->editorView->textView();
        QTextCursor cursor = textView->textCursor();
        cursor.insertText(text);
        textView->setTextCursor(cursor);
    }

    void showPermissionAlert() override {
        const QStringList settings = soundSettingsCommand();
        auto* box =
            new QMessageBox(QMessageBox::Warning, qs(Loc::dictPermTitle()),
                            QStringLiteral("Dictation found no microphone to record from. Check that an "
                                           "input device is connected and chosen in the sound settings."),
                            QMessageBox::NoButton, window_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        if (!settings.isEmpty()) {
            QPushButton* open =
                box->addButton(QStringLiteral("Open Sound Settings"), QMessageBox::AcceptRole);
            QObject::connect(open, &QPushButton::clicked, box,
                             [settings] { QProcess::startDetached(settings.front(), settings.mid(1)); });
        }
        box->addButton(qs(Loc::cancel()), QMessageBox::RejectRole);
        returnKeyboardWhenFinished(box);
        box->open();
    }

    void showPushToTalkTip() override {
        auto* box = new QMessageBox(
            QMessageBox::Information, QStringLiteral("Tip: Push to Talk"),
            QStringLiteral("Hold %1 to dictate and release it to insert the text. If your desktop uses %1 "
                           "for a shortcut of its own, turn that shortcut off in its keyboard settings.")
                .arg(pushtotalk::key(defaults_.integer(settings::kDictationPushToTalkKey)).name),
            QMessageBox::Ok, window_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        // The session goes on recording while the tip is up: it must not take the keyboard from
        // the pane that will receive the text.
        box->setWindowModality(Qt::NonModal);
        box->setAttribute(Qt::WA_ShowWithoutActivating);
        box->show();
    }

private:
    Defaults& defaults_;
    Workspace& workspace_;
    QPointer<QWidget> window_;
};

class DictationServiceAdapter final : public QObject, public DictationService {
public:
    DictationServiceAdapter(Defaults& defaults, Workspace& workspace, HeaderBarView* header, QWidget* window,
                            DictationParts parts)
        : host_(defaults, workspace, window), window_(window), header_(header), overlay_(defaults) {
        std::unique_ptr<SpeechBackend> backend =
            parts.backend ? std::move(parts.backend) : std::make_unique<PocketSphinxBackend>();
        std::unique_ptr<AudioSource> audio =
            parts.audio ? std::move(parts.audio) : std::make_unique<PulseMicrophoneSource>();
        manager_ = std::make_unique<DictationManager>(defaults, std::move(backend), std::move(audio), &host_);
        manager_->onStateChange = [this](const DictationState& state) { stateChanged(state); };
        manager_->onTranscriptionUpdate = [this](const QString& text) { overlay_.show(text, window_); };
        DictationControl::install(manager_.get());
        fnKeyMonitor_ = std::make_unique<FnKeyMonitor>(*manager_, defaults);
        fnKeyMonitor_->setWindow(window);
        // Built like the push-to-talk key, but nothing starts it.
        shortcutMonitor_ = std::make_unique<ShortcutMonitor>(*manager_);
        if (window) window->installEventFilter(this);
    }

    ~DictationServiceAdapter() override {
        if (DictationControl::shared() == manager_.get()) DictationControl::install(nullptr);
        if (window_) window_->removeEventFilter(this);
        fnKeyMonitor_.reset();
        shortcutMonitor_.reset();
        manager_->onStateChange = nullptr;
        manager_->onTranscriptionUpdate = nullptr;
        manager_.reset();
    }

    void cancel() override { manager_->cancel(); }
    // Without raw input (not X11) only the button works.
    void watchPushToTalkKey(GlobalInput& input) override { fnKeyMonitor_->start(input); }
    DictationManager* manager() override { return manager_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The window going away stands for the program being hidden: the session ends, and the
        // text said so far is inserted once the window is back.
        if (watched == window_ && event->type() == QEvent::Hide &&
            manager_->state().kind != DictationState::Kind::idle)
            manager_->stopAndCommit();
        if (watched == window_ && event->type() == QEvent::Show) manager_->deliverKept();
        return QObject::eventFilter(watched, event);
    }

private:
    void stateChanged(const DictationState& state) {
        using Kind = DictationState::Kind;
        if (header_) header_->updateMicButton(state);
        switch (state.kind) {
        case Kind::listening:
        case Kind::transcribing:
            overlay_.show(QString(), window_);
            break;
        case Kind::requesting:
        case Kind::starting:
        case Kind::stopping:
            break;
        case Kind::idle:
        case Kind::error:
            overlay_.hide();
            break;
        }
    }

    WorkspaceDictationHost host_;
    QPointer<QWidget> window_;
    QPointer<HeaderBarView> header_;
    DictationOverlay overlay_;
    std::unique_ptr<DictationManager> manager_;
    std::unique_ptr<FnKeyMonitor> fnKeyMonitor_;
    std::unique_ptr<ShortcutMonitor> shortcutMonitor_;
};

} // namespace

std::unique_ptr<DictationService> makeDictationService(Defaults& defaults, Workspace& workspace,
                                                       HeaderBarView* header, QWidget* window,
                                                       DictationParts parts) {
    return std::make_unique<DictationServiceAdapter>(defaults, workspace, header, window, std::move(parts));
}
