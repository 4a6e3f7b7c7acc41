// The window part's wiring: what it asks of the controller (WindowHost), and the hosts' window
// questions and commands handed on to it.
#include "app/AppDelegate.h"
#include "app/window/BorderlessWindow.h"
#include "app/window/ContentView.h"
#include "bell/BellManager.h"
#include "bell/BellPreviewQueue.h"
#include "theme/ThemeColors.h"
#include "platform/Defaults.h"
#include "settings/SettingsKeys.h"

// ---- WindowHost ------------------------------------------------------------------------------

void AppDelegate::holdPaneSizes(bool hold) {
    for (TerminalView* view : workspace_->allTerminalViews())
        if (view) view->setSuppressResize(hold);
}

void AppDelegate::focusActivePage() {
    workspace_->focusActiveTab();
}

void AppDelegate::focusTerminalOfActiveTab() {
    workspace_->focusTerminalOfActiveTab();
}

void AppDelegate::repaintActivePane() {
    if (TerminalView* pane = workspace_->activePane()) pane->update();
}

bool AppDelegate::isDraggingOverPane() const {
    return isAnyDragSessionActive();
}

void AppDelegate::layoutForDocking(bool detached) {
    if (contentView_) contentView_->setArrowStripVisible(!detached);
    layoutContent();
}

void AppDelegate::layoutSidePanels() {
    layoutGitPanel();
}

void AppDelegate::systemAppearanceChanged() {
    // Only the theme that follows the desktop changes with it.
    if (defaults_.integer(settings::kColorTheme) != 3) return;
    applyTheme(resolveSystemTheme());
    for (TerminalView* view : workspace_->allTerminalViews())
        if (view) view->update();
}

// The command palette comes with its subsystem.
void AppDelegate::centerCommandPalette() {
    services_.palette->centerCommandPalette();
}

void AppDelegate::toggleCommandPalette() {
    services_.palette->toggleCommandPalette();
}

// ---- The hosts' window parts -------------------------------------------------------------------

void AppDelegate::resetWindow() {
    if (!window_) return;
    setBackdropIntensity(0.96);
    for (TerminalView* view : workspace_->allTerminalViews()) {
        if (!view) continue;
        view->setUserCursorStyle(0);
        view->updateFontSize(10.0);
    }
    windowController_->resetWindow();
}

void AppDelegate::handleBorderHover(bool nearEdge) {
    windowController_->shape().handleBorderHover(nearEdge);
}

void AppDelegate::setStatusItemDimmed(bool dimmed) {
    windowController_->tray().setDimmed(dimmed);
}

// ---- Keys routed through the window ------------------------------------------------------------

void AppDelegate::wireWindowKeys(BorderlessWindow& window) {
    const QPointer<AppDelegate> self(this);
    window.editorState = [self] { return self ? self->workspace_->editorState() : editorkeys::EditorState(); };
    window.onEditorKey = [self](const editorkeys::Route& route, QKeyEvent* event) {
        if (self) self->workspace_->handleEditorKey(route, event);
    };
    window.onEscape = [self] {
        // Escape closes a bell preview on show without writing anything to its shell.
        if (!self || !self->bell().previews().panel()) return false;
        self->bell().dismissPreview();
        return true;
    };
    window.onPerformClose = [self] {
        if (self) self->workspace_->closeCurrentTab();
    };
}
