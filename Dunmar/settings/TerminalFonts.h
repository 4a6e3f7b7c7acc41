#pragma once

#include <QString>
#include <QStringList>

// The terminal fonts the settings offer, by the index stored under "fontFamily".
namespace settings {

// "Fira Code", "JetBrains Mono", "Monocraft", "Iosevka Thin": the choices as the panel lists them.
const QStringList& terminalFontChoices();

// The family to draw the terminal with for a stored index (clamped to the list): the chosen face
// when it is installed, else the system's monospaced face. Fira Code and JetBrains Mono come with
// the distribution's font packages; Monocraft and Iosevka usually are not installed.
QString terminalFontFamily(qint64 index);

} // namespace settings
