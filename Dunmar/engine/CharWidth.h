#pragma once

#include <cstdint>

// Cells a scalar takes when printed: 0 (combining and other zero-width scalars), 1 or 2 (wide
// East Asian characters and emoji). A handful of range tests, run for every printed character.
int unicodeWidth(char32_t c);

// True for scalars of the right-to-left scripts (Hebrew, Arabic, Syriac, Thaana, ...).
bool isStrongRTL(std::uint32_t v);
