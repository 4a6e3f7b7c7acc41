#pragma once

// What of a paste may reach the program in the terminal. Plain C++: the view hands every paste
// through it, whatever it came from.

#include <string>
#include <string_view>

namespace pasting {

// As xterm does by default: TAB, LF and CR are kept, every other C0 control, DEL and every C1
// control is not. A line editor acts on those as keys (Control-U, Control-C, ESC sequences), a
// terminal acts on them as commands, and an ESC could close a bracketed paste early so that the
// rest ran as typed.
constexpr bool keptInPaste(char16_t c) {
    if (c < 0x20) return c == u'\t' || c == u'\n' || c == u'\r';
    return c < 0x7F || c > 0x9F;
}

// The text without the characters a paste does not keep. UTF-16, as the toolkit holds text: each of
// those characters is one unit, so no pair is ever split.
std::u16string withoutControls(std::u16string_view text);

} // namespace pasting
