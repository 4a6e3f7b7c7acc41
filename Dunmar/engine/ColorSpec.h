#pragma once

#include "engine/Colors.h"

#include <optional>
#include <string>
#include <string_view>

// Colour specifications as the shell writes them in its colour commands, and the replies to its colour
// queries.

// Reads "rgb:R/G/B" (one to four hex digits per component, each scaled by its own width: f, ff, fff
// and ffff are all full intensity) and "#RGB", "#RRGGBB", "#RRRGGGBBB", "#RRRRGGGGBBBB" (a component's
// digits are its most significant bits, so #f00 is red 0xf0). Prefixes are case-sensitive; colour
// names and other forms give nothing.
std::optional<RGB> parseColorSpec(std::string_view spec);

// "rgb:rr/gg/bb": each component times 255, truncated, as two lower-case hex digits.
std::string colorSpecReplyText(const ColorRGBA& color);

// The whole reply to a colour query: ESC ] head ";rgb:rr/gg/bb" ESC \, where head is "4;<index>" for a
// palette entry or "10", "11", "12" for the dynamic colours.
std::string oscColorReply(std::string_view head, const ColorRGBA& color);
