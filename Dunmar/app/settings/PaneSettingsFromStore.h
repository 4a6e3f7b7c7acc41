#pragma once

#include "terminalview/PaneSettings.h"

class Defaults;

namespace settings {

// A pane's share of the settings as the store holds them. A value missing or stored in another type
// reads as the store reads it (the registered default), except that copying a selection stays on
// and the prompt theme is "default" unless a theme is stored.
PaneSettings paneSettingsFrom(const Defaults& store);

} // namespace settings
