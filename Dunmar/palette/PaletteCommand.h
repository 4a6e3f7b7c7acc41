#pragma once

#include <QString>
#include <functional>

// One entry of the command palette: the title shown on its badge and matched by the filter, the
// key combination it also has (carried, not shown), and what it does.
struct PaletteCommand {
    QString title;
    QString shortcut;
    std::function<void()> action;
};
