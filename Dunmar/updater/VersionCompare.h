#pragma once

#include <QString>

// Whether `remote` names a later version than `local`. Each is read as dot-separated decimal
// numbers after one leading lower-case "v"; a piece that is not a number ("0-beta") is dropped and
// a missing piece counts as 0, so "1.0" equals "1.0.0" and "1.10" is later than "1.9".
bool isNewerVersion(const QString& remote, const QString& local);
