#pragma once

// The program's version, shown in the window's corner and in the about panel.
inline constexpr char kAppVersion[] = "1.0.0";
