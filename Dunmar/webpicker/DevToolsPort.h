#pragma once

#include <QString>

class Defaults;

// The browser's remote-debugging port as the picker's setting chooses it: the second browser choice
// ("webPickerBrowser" = 1) listens on 9221, every other value (and none) on 9222. Read afresh at each
// use, so a changed setting takes effect with the next request.
namespace devtools {

int portForBrowserChoice(long long browserChoice);
int debugPort(const Defaults& defaults);

// "http://127.0.0.1:<port>", the base of every DevTools HTTP request: the address the browser's
// debugging port listens on, reached without asking the resolver (a machine whose "localhost"
// does not resolve, or resolves to ::1 first, would never connect).
QString httpBase(int port);

} // namespace devtools
