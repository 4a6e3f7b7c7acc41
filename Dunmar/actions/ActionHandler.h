#pragma once

#include "actions/Action.h"

// Something that carries out actions: the controller, and a pane or editor for the actions that act
// on it. False when the action is not one this handler has, so the caller can offer it elsewhere.
class ActionHandler {
public:
    virtual ~ActionHandler() = default;
    virtual bool perform(Action action) = 0;
};
