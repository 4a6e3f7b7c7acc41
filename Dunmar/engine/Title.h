#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The window title a program sets goes on to the tab strip and the window manager, and is kept on
// the title stack: it must not carry control characters (C0, DEL, C1) that those would act on,
// nor run to the megabyte an OSC string may hold.
constexpr std::size_t kMaxTitleChars = 256;

// `raw` (UTF-8) without its control characters, cut after kMaxTitleChars characters. Bytes that are
// not UTF-8 are kept as they are; the reader decides how to show them.
std::string sanitizeTitle(std::string_view raw);
