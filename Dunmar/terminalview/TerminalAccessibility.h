#pragma once

// Presents every TerminalView to assistive technology as a read-only text area named "Terminal"
// whose text is the visible screen. Safe to call more than once.
void installTerminalAccessibility();
