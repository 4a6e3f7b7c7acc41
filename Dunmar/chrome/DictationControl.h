#pragma once

#include <QString>

// The dictation manager's state as the header's microphone button shows it.
struct DictationState {
    enum class Kind { idle, requesting, starting, listening, transcribing, stopping, error };
    Kind kind = Kind::idle;
    QString message; // only for `error`

    static DictationState idle() { return {}; }
    static DictationState of(Kind kind) { return {kind, QString()}; }
    static DictationState error(const QString& message) { return {Kind::error, message}; }
    bool operator==(const DictationState&) const = default;
};

// What the header's microphone button asks of the dictation manager. The manager installs itself
// once; while none is installed a click on the button does nothing.
class DictationControl {
public:
    virtual ~DictationControl() = default;

    virtual DictationState state() const = 0;
    virtual void start() = 0;
    // Ends recording and inserts the final text; acts only while requesting, starting, listening
    // or transcribing.
    virtual void stopAndCommit() = 0;

    static DictationControl* shared();
    // Pass nullptr to uninstall. The manager must outlive its installation.
    static void install(DictationControl* control);
};
