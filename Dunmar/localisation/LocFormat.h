#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace dunmar::loc {

using FormatArg = std::variant<std::int64_t, std::string_view>;

// Fills "%d" and "%@" in order with the given arguments; "%%" stands for a percent sign. A
// placeholder without an argument, or whose argument has the other kind, is left as written.
// Translated texts go through here and never through a printf-style function, so a text with a
// stray placeholder cannot read memory it was not given.
std::string fillFormat(std::string_view format, std::initializer_list<FormatArg> args);

} // namespace dunmar::loc
