#pragma once

// What the controller asks of the dictation manager beyond the microphone button (which reaches it
// through chrome/DictationControl.h): a dictation still running at quit ends without its text.
class DictationService {
public:
    virtual ~DictationService() = default;

    virtual void cancel() = 0;
};

// Until dictation exists: nothing runs, so there is nothing to cancel.
class NullDictationService final : public DictationService {
public:
    void cancel() override {}
};
