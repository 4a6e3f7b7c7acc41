#pragma once

#include "dictation/AudioSource.h"
#include "dictation/DictationService.h"
#include "dictation/SpeechBackend.h"

#include <memory>

class Defaults;
class HeaderBarView;
class QWidget;
class Workspace;

// Dictation as the controller's service: the manager with the microphone and the on-device
// recogniser, its text delivered to the open tabs, the header's microphone button and the overlay
// following its states, the push-to-talk key scoped to the window. A session still running when
// the window hides is ended; its text waits until the window is shown again.
struct DictationParts {
    // None: the real ones (PocketSphinx, the PulseAudio microphone).
    std::unique_ptr<SpeechBackend> backend;
    std::unique_ptr<AudioSource> audio;
};
std::unique_ptr<DictationService> makeDictationService(Defaults& defaults, Workspace& workspace,
                                                       HeaderBarView* header, QWidget* window,
                                                       DictationParts parts = {});
