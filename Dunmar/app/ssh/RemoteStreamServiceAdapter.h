#pragma once

#include "ssh/RemoteStreamService.h"

#include <memory>

class Defaults;

// The remote streamer as the controller's service, reading the relay, the switch and the pairing
// code from the defaults.
std::unique_ptr<RemoteStreamService> makeRemoteStreamService(Defaults& defaults);
