#pragma once

#include <QString>
#include <optional>

// Lays a JSON document out again, two blanks per level, without reading its values: key order,
// duplicate keys, the spelling of numbers (20-digit integers, "1.0", exponents) and the escapes of
// strings stay exactly as written. None for a text that is not a JSON object or array.
std::optional<QString> reindentJson(const QString& text);
