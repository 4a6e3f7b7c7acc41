#pragma once

// The first scalar of the canonical composition (NFC) of `base` followed by `mark`: the
// precomposed character when the two compose (e + U+0301 gives U+00E9), else `base` itself.
char32_t composeWithMark(char32_t base, char32_t mark);
