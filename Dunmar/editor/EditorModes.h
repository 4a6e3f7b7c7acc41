#pragma once

#include "chrome/EditorInputMode.h"

// vim's sub-mode while an editor's input mode is vim.
enum class VimSubMode { normal, insert };
