#pragma once

#include <string>
#include <string_view>

namespace conformance {

void appendUtf8(std::string& out, char32_t c);
std::string trimRight(std::string s); // trailing spaces removed
// Control bytes shown as text (ESC, ^M, \xNN), so that a stream excerpt reads in a failure.
std::string visible(std::string_view bytes);
// The canonical composition (NFC) of UTF-8 text: a base and its combining mark held apart by one
// terminal and as one precomposed character by another read the same.
std::string composed(const std::string& utf8);

} // namespace conformance
