#pragma once

#include <QString>

// The name a new repository gets from what the user typed: lower case, every run of characters
// other than letters, marks, digits, "-" and "_" cut out and the pieces joined with "-", with no
// "-" at either end. "My Cool Project!" becomes "my-cool-project".
QString repositoryName(const QString& typed);
