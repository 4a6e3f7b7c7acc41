#pragma once

class DictationManager;
class GlobalInput;

// What the controller asks of dictation beyond the microphone button (which reaches the manager
// through chrome/DictationControl.h): a dictation still running at quit ends without its text.
class DictationService {
public:
    virtual ~DictationService() = default;

    virtual void cancel() = 0;
    // Starts watching the push-to-talk key on the desktop's raw keys, the last step of the launch.
    virtual void watchPushToTalkKey(GlobalInput& input) = 0;
    // The manager, once dictation exists; none for the null service.
    virtual DictationManager* manager() { return nullptr; }
};

// Until dictation exists: nothing runs, so there is nothing to cancel.
class NullDictationService final : public DictationService {
public:
    void cancel() override {}
    void watchPushToTalkKey(GlobalInput&) override {}
};
