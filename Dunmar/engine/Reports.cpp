// Replies to the shell's queries and the small prefixed and intermediate CSI handlers (cursor
// style, soft reset, character protection, kitty keyboard flags, window operations). The parser
// routes every such sequence here. Until the report handlers are written these sequences are
// accepted and ignored, which a shell takes for a terminal that does not answer them.
#include "engine/Terminal.h"

void Terminal::doCSISpace(const CsiParams&, std::uint8_t) {}
void Terminal::doCSIBang(const CsiParams&, std::uint8_t) {}
void Terminal::doCSIQuote(const CsiParams&, std::uint8_t) {}
void Terminal::doCSIDollar(const CsiParams&, std::uint8_t) {}
void Terminal::doLessThanPrefix(const CsiParams&, std::uint8_t) {}
void Terminal::doSecondaryPrefix(const CsiParams&, std::uint8_t) {}
void Terminal::reportKittyFlags() {}
void Terminal::reportPrivateMode(const CsiParams&) {}
void Terminal::reportDeviceAttributes(const CsiParams&) {}
void Terminal::reportDeviceStatus(const CsiParams&) {}
void Terminal::doWindowOps(const CsiParams&) {}
