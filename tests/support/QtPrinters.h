#pragma once

// How GoogleTest prints Qt's text types in failure messages: as text, not as a dump of their bytes
// or of their UTF-16 code units. Every Qt test source sees these declarations (the build includes
// this header first), so each executable prints a QString one way only.

#include <QByteArray>
#include <QString>
#include <iosfwd>

// Quoted, in UTF-8, with control characters as escapes so that a stray ESC or CR shows.
void PrintTo(const QString& text, std::ostream* os);
// Quoted, printable ASCII as it stands and every other byte as \xHH.
void PrintTo(const QByteArray& bytes, std::ostream* os);
