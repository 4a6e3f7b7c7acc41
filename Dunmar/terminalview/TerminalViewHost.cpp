#include "terminalview/TerminalViewHost.h"

namespace {
TerminalViewHost* installedHost = nullptr;
} // namespace

TerminalViewHost* TerminalViewHost::installed() {
    return installedHost;
}

void TerminalViewHost::install(TerminalViewHost* host) {
    installedHost = host;
}
