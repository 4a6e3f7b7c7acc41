#pragma once

#include "actions/ActionHandler.h"

class AppDelegate;

// The controller's end of the action vocabulary: what each application command does, for the
// panes' keys and context menus, the editor tabs' keys and the main menu. The actions that act on
// a pane itself (the line editor's jumps, Clear) are the pane's and are not handled here; the
// editing actions reach the active editor tab's text.
class ActionDispatcher : public ActionHandler {
public:
    explicit ActionDispatcher(AppDelegate& app) : app_(app) {}

    bool perform(Action action) override;

private:
    bool performOnEditor(Action action);

    AppDelegate& app_;
};
