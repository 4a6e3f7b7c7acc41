#include "app/actions/ActionDispatcher.h"

#include "app/AppDelegate.h"
#include "app/settings/SettingsPanelController.h"
#include "editor/EditorView.h"

bool ActionDispatcher::perform(Action action) {
    if (const std::optional<int> index = actions::switchToTabIndex(action)) {
        app_.workspace().switchToTab(*index);
        return true;
    }
    if (const std::optional<int> index = actions::renameTabIndex(action)) {
        // Only a tab that exists is renamed, starting from its custom name.
        if (*index < app_.workspace().tabs().count()) app_.startEditingTab(*index, app_.tabCustomName(*index));
        return true;
    }
    if (const std::optional<int> index = actions::shellIndex(action)) {
        app_.workspace().switchShellOfPrimaryPane(*index);
        return true;
    }
    switch (action) {
    case Action::newTab:
        app_.workspace().addTab();
        return true;
    case Action::newEditorTab:
        app_.workspace().createEditorTab();
        return true;
    case Action::closeTab:
        app_.workspace().closeCurrentTab();
        return true;
    case Action::previousTab:
        app_.workspace().selectPreviousTab();
        return true;
    case Action::nextTab:
        app_.workspace().selectNextTab();
        return true;
    case Action::splitSideBySide:
        app_.workspace().toggleSplit(true);
        return true;
    case Action::splitStacked:
        app_.workspace().toggleSplit(false);
        return true;
    case Action::switchSplitPane:
        app_.workspace().switchSplitPane();
        return true;
    case Action::openFile:
        app_.workspace().openEditorFile();
        return true;
    case Action::save:
        app_.workspace().saveCurrentEditor();
        return true;
    case Action::saveAs:
        app_.workspace().saveCurrentEditorAs();
        return true;
    case Action::togglePreview:
        app_.services().editor->togglePreview();
        return true;
    case Action::print:
        app_.services().editor->printCurrentTab();
        return true;
    case Action::formatDocument:
        app_.services().editor->formatCurrentDocument();
        return true;
    case Action::toggleSettings:
        app_.settingsPanel().toggle();
        return true;
    case Action::toggleCommandPalette:
        app_.services().palette->toggleCommandPalette();
        return true;
    case Action::toggleGitPanel:
        app_.services().git->toggleGitPanel();
        return true;
    case Action::toggleWebPicker:
        app_.sidePanels().toggleWebPicker();
        return true;
    case Action::toggleSSHManager:
        app_.sidePanels().toggleSSHManager();
        return true;
    case Action::toggleWindow:
        app_.windowController().toggleWindow();
        return true;
    case Action::toggleDetach:
        app_.windowController().toggleDetach();
        return true;
    case Action::resetWindowSize:
        app_.windowController().snapping().resetWindowSize();
        return true;
    case Action::snapLeft:
        app_.windowController().snapping().snapLeft();
        return true;
    case Action::snapRight:
        app_.windowController().snapping().snapRight();
        return true;
    case Action::toggleFullscreen:
        app_.windowController().snapping().toggleFullscreen();
        return true;
    case Action::quit:
        app_.handleQuitRequest();
        return true;
    default:
        return performOnEditor(action);
    }
}

// The editing actions act on the active editor tab; a terminal pane performs its own.
bool ActionDispatcher::performOnEditor(Action action) {
    const TabState* tab = app_.workspace().tabs().active();
    EditorView* editor = tab ? tab->editorView.data() : nullptr;
    if (!editor) return false;
    switch (action) {
    case Action::copy:
        editor->textView()->copy();
        return true;
    case Action::paste:
        editor->textView()->paste();
        return true;
    case Action::cut:
        editor->textView()->cut();
        return true;
    case Action::selectAll:
        editor->textView()->selectAll();
        return true;
    case Action::undo:
        editor->textView()->undo();
        return true;
    case Action::redo:
        editor->textView()->redo();
        return true;
    case Action::find:
        editor->showFindBar();
        return true;
    default:
        return false;
    }
}
