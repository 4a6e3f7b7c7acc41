#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The small text encodings that OSC payloads carry.

// Standard base64 (RFC 4648 alphabet, padded, no line breaks).
std::string base64Encode(std::string_view bytes);
// Strict standard base64: the length a multiple of four, padding only at the end, nothing but the
// alphabet. Nothing when the text is malformed or would decode to more than maxBytes (checked before
// anything is decoded).
std::optional<std::string> base64Decode(std::string_view text, std::size_t maxBytes);

bool isValidUtf8(std::string_view bytes);

// Replaces every "%" followed by two hex digits with the byte they name; a "%" without them stays
// as it is.
std::string percentDecode(std::string_view text);

// A decimal integer with an optional sign and nothing else; nothing for other text or a number too
// large for 64 bits.
std::optional<std::int64_t> decimalNumber(std::string_view text);
