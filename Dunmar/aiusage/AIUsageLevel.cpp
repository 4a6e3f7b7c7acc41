#include "aiusage/AIUsageLevel.h"

#include "chrome/ChromeStyle.h"

namespace aiusage {

QColor levelColor(double percent) {
    if (percent >= 80) return chrome::systemRed();
    if (percent >= 50) return chrome::systemOrange();
    // The dark-appearance system green, beside the chrome's red and orange.
    return QColor(48, 209, 88);
}

} // namespace aiusage
