#pragma once

#include <QColor>

namespace aiusage {

// The colour of a percentage, the same in the badge and the bars: red from 80, orange from 50,
// green below.
QColor levelColor(double percent);

} // namespace aiusage
