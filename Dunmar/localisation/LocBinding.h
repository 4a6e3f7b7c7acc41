#pragma once

#include <QString>
#include <string>

class Defaults;

// Binds the interface language to the defaults store ("appLanguage") and to the system's
// preferred languages, which on Linux follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
void bindLocToDefaults(Defaults& defaults);

// Interface texts as Qt strings.
inline QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
