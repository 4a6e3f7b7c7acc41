// Editor tabs as far as the tabs need them: opening a file into a tab, saving it, knowing whether
// it holds unsaved changes, and the keys the window routes to it. The code editor replaces the
// editor view itself.
#include "app/workspace/Workspace.h"
#include "terminalview/TerminalViewHost.h"
#include "app/settings/SettingsApplier.h"
#include "app/ToastService.h"
#include "app/window/ContentView.h"
#include "chrome/ChromeAnimation.h"
#include "editor/EditorAlertOverlay.h"
#include "editor/SyntaxLanguage.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace {

const QColor kFileErrorColor = QColor::fromRgbF(0.85f, 0.25f, 0.25f);
const QColor kNoticeColor = QColor::fromRgbF(0.35f, 0.35f, 0.35f);
const QString kFileToastId = QStringLiteral("editorFileToast");

} // namespace

void Workspace::createEditorTab() {
    createEditorTabInternal(std::nullopt);
}

void Workspace::showEditorOverlay(EditorAlertOverlay* overlay) {
    if (activeOverlay_ && !activeOverlay_->isDismissing()) activeOverlay_->dismissAnimated();
    if (!contentView_) {
        delete overlay;
        return;
    }
    overlay->setParent(contentView_);
    overlay->setGeometry(contentView_->rect());
    chrome::setWidgetAlpha(overlay, 0.0);
    overlay->show();
    overlay->raise();
    chrome::fadeWidget(overlay, 1.0, EditorAlertOverlay::kFadeMs, chrome::linearCurve());
    activeOverlay_ = overlay;
}

void Workspace::showEditorWarning(const QString& path, const QString& reason) {
    const QPointer<Workspace> self(this);
    showEditorOverlay(EditorAlertOverlay::warning(QFileInfo(path).fileName(), reason, [self] {
        if (self) self->activeOverlay_ = nullptr;
    }));
}

void Workspace::bindEditorFile(TabState& tab, const QString& path) {
    tab.editorURL = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    tab.keptEditorPath.reset();
    tab.customName = QFileInfo(path).fileName();
    tab.editorDirty = false;
    if (tab.editorView) tab.editorView->setLanguage(syntaxlanguage::detectFromFileName(path));
    // A preview on show was a page of the text this file replaced.
    if (tab.previewActive && tab.editorView) tab.editorView->hidePreview();
    tab.previewActive = false;
}

void Workspace::openEditorFile() {
    const TabState* active = tabs_.active();
    if (!active || active->type != TabType::editor || !active->editorView || !chooseFile) return;
    const QPointer<EditorView> editor = active->editorView;
    const QString start = active->editorURL.isLocalFile()
                              ? QFileInfo(active->editorURL.toLocalFile()).absolutePath()
                              : QDir::homePath();
    const std::optional<QString> chosen = chooseFile(FileChoice::open, start);
    if (!chosen || chosen->isEmpty() || !editor || tabs_.indexOfEditorView(editor) < 0) return;
    const QString path = *chosen;

    // The tab takes the file's name and path only once the whole text is in: a refused, unreadable,
    // failed or cancelled load leaves the tab with its own text, file and name.
    const QPointer<Workspace> self(this);
    auto done = [self, editor, path](bool loaded, const QString& error) {
        if (!self || !editor) return;
        TabState* tab = self->tabs_.find(self->tabs_.indexOfEditorView(editor));
        if (!tab) return;
        if (loaded) {
            self->bindEditorFile(*tab, path);
            self->updateHeaderTabs();
            self->saveSession();
        } else if (!error.isEmpty()) {
            self->showEditorWarning(path, error);
        }
    };
    QString error;
    if (!editor->loadFile(path, &error, done)) {
        showEditorWarning(path, error);
        return;
    }
    if (!editor->isLoading()) done(true, QString());
}

bool Workspace::createEditorTabInternal(const std::optional<QString>& path) {
    if (!contentView_) return false;
    auto* editor = new EditorView(contentView_);
    editor->hide();
    SettingsApplier::applyEditorTheme(editor);
    const QPointer<Workspace> self(this);
    const QPointer<EditorView> view(editor);
    if (path) {
        // A file that fails to come in full closes its new tab again; an only tab stays, empty and
        // bound to no file, so that no save can write an empty or partial text over the file.
        auto done = [self, view, file = *path](bool loaded, const QString& error) {
            if (!self || !view) return;
            const int index = self->tabs_.indexOfEditorView(view);
            TabState* tab = self->tabs_.find(index);
            if (!tab) return;
            if (loaded) {
                self->bindEditorFile(*tab, file);
            } else {
                if (!error.isEmpty()) self->showEditorWarning(file, error);
                tab->customName = qs(Loc::editorTabName());
                view->setLanguage(SyntaxLanguage::none);
                if (self->tabs_.count() > 1) {
                    self->closeTab(index);
                    return;
                }
            }
            self->updateHeaderTabs();
            self->saveSession();
        };
        QString error;
        if (!editor->loadFile(*path, &error, done)) {
            delete editor;
            showEditorWarning(*path, error);
            return false;
        }
    }
    TabState tab = TabState::editor(editor, tabColorForHue(randomTabHue()));
    tab.customName = qs(Loc::editorTabName());
    if (path) {
        if (editor->isLoading()) {
            tab.customName = QFileInfo(*path).fileName();
            editor->setLanguage(syntaxlanguage::detectFromFileName(*path));
        } else {
            bindEditorFile(tab, *path);
        }
    }
    editor->onDirtyChanged = [self, view](bool dirty) {
        if (!self || !view) return;
        if (TabState* t = self->tabs_.find(self->tabs_.indexOfEditorView(view))) {
            t->editorDirty = dirty;
            self->updateHeaderTabs();
        }
    };
    editor->onSaveRequested = [self](std::function<void(bool)> done) {
        if (self)
            self->saveEditorOfTab(self->tabs_.activeTab(), false, std::move(done));
        else
            done(false);
    };
    editor->onNotice = [self](const QString& notice) {
        if (self)
            self->host_.toasts().showGenericToast(QStringLiteral("ENCODING"), notice, kNoticeColor,
                                                  ToastService::kDefaultDismissAfter, kFileToastId);
    };
    editor->onCloseRequested = [self] {
        if (self) self->closeCurrentTab();
    };
    editor->onOpenFile = [self](const QString& dropped) {
        if (self) self->createEditorTabInternal(dropped);
    };
    presentNewTab(std::move(tab), editor->textView());
    return true;
}

void Workspace::saveCurrentEditor() {
    saveEditorOfTab(tabs_.activeTab());
}

void Workspace::saveCurrentEditorAs() {
    saveEditorOfTab(tabs_.activeTab(), true);
}

void Workspace::saveEditorOfTab(int index, bool askForName, std::function<void(bool saved)> done) {
    const auto finish = [done](bool saved) {
        if (done) done(saved);
    };
    const TabState* tab = tabs_.find(index);
    if (!tab || tab->type != TabType::editor || !tab->editorView) return finish(false);
    const QPointer<EditorView> editor = tab->editorView;
    const QString current = tab->editorURL.isLocalFile() ? tab->editorURL.toLocalFile() : QString();
    const std::optional<QString> previousName = tab->customName;

    QString path = current;
    if (path.isEmpty() || askForName) {
        const QString suggested =
            !current.isEmpty() ? current : tab->keptEditorPath.value_or(QDir::homePath());
        const std::optional<QString> chosen =
            chooseFile ? chooseFile(FileChoice::saveAs, suggested) : std::nullopt;
        if (!chosen || chosen->isEmpty()) return finish(false);
        path = *chosen;
    }
    if (!editor) return finish(false);

    // The editor may ask first (a file changed on disk, an encoding that cannot spell the text);
    // by its answer the tabs may have changed, so the tab is found again by its editor.
    const QPointer<Workspace> self(this);
    editor->save(path, [self, editor, path, current, previousName, finish](EditorView::SaveResult result,
                                                                          const QString& error) {
        const int now = self && editor ? self->tabs_.indexOfEditorView(editor) : -1;
        if (now < 0) return finish(false);
        TabState& saved = self->tabs_.at(now);
        switch (result) {
        case EditorView::SaveResult::failed:
            self->host_.toasts().showGenericToast(QStringLiteral("SAVE"),
                                                  QFileInfo(path).fileName() + QStringLiteral(": ") + error,
                                                  kFileErrorColor, ToastService::kDefaultDismissAfter,
                                                  kFileToastId);
            return finish(false);
        case EditorView::SaveResult::cancelled:
            return finish(false);
        case EditorView::SaveResult::reloaded:
            saved.editorDirty = editor->isDirty();
            self->updateHeaderTabs();
            return finish(false);
        case EditorView::SaveResult::saved:
            break;
        }
        saved.editorURL = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        saved.keptEditorPath.reset();
        saved.editorDirty = false;
        // A tab that showed its file's (or the untitled) name shows the new file's; a name the user
        // gave it stays.
        const bool automaticName = !previousName || *previousName == qs(Loc::editorTabName()) ||
                                   (!current.isEmpty() && *previousName == QFileInfo(current).fileName());
        if (automaticName) saved.customName = QFileInfo(path).fileName();
        // Under a name that has no preview, a preview on show could no longer be switched off.
        if (saved.previewActive && !self->host_.isTabPreviewable(now)) {
            saved.editorView->hidePreview();
            saved.previewActive = false;
        }
        self->updateHeaderTabs();
        finish(true);
    });
}

// ---- Keys routed through the window ------------------------------------------------------------

void Workspace::setActiveEditorMode(EditorInputMode mode) {
    TabState* tab = tabs_.active();
    if (!tab) return;
    tab->editorMode = mode;
    if (tab->editorView) tab->editorView->setInputMode(mode);
}

editorkeys::EditorState Workspace::editorState() const {
    editorkeys::EditorState state;
    const TabState* tab = tabs_.active();
    if (!tab || tab->type != TabType::editor) return state;
    state.activeTabIsEditor = true;
    state.mode = tab->editorMode;
    state.hasEditorView = tab->editorView != nullptr;
    if (tab->editorView) state.vimInsert = tab->editorView->isVimInsertMode();
    return state;
}

void Workspace::handleEditorKey(const editorkeys::Route& route, QKeyEvent* event) {
    using editorkeys::Kind;
    TabState* tab = tabs_.active();
    EditorView* editor = tab ? tab->editorView.data() : nullptr;
    switch (route.kind) {
    case Kind::action:
        host_.paneHost().perform(route.action);
        break;
    case Kind::modeKey:
        if (editor) editor->handleModeKey(event);
        break;
    case Kind::pass:
        break;
    }
}
