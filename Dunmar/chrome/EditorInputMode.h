#pragma once

// How the editor takes keys; the footer's editor-mode buttons are indexed by the value.
enum class EditorInputMode { normal = 0, nano = 1, vim = 2 };
