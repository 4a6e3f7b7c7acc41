#pragma once

#include <QString>

// Text put into the pages the editor builds for previews and prints.
namespace htmlescape {

// "&", "<" and ">" as entities: text shows as itself, never as markup.
QString text(const QString& raw);
// `text` plus both quotes, for a value inside an attribute.
QString attribute(const QString& raw);

} // namespace htmlescape
