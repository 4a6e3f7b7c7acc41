#include "webpicker/DevToolsPort.h"

#include "platform/Defaults.h"

namespace devtools {

int portForBrowserChoice(long long browserChoice) {
    return browserChoice == 1 ? 9221 : 9222;
}

int debugPort(const Defaults& defaults) {
    return portForBrowserChoice(defaults.integer(QStringLiteral("webPickerBrowser")));
}

QString httpBase(int port) {
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

} // namespace devtools
