#pragma once

#include "dictation/AudioSource.h"

#include <QString>
#include <memory>
#include <mutex>

struct pa_simple;

// The microphone through PulseAudio's simple API (PipeWire desktops serve it too): the default
// source, or `source` when given, recorded at 16 kHz mono 16-bit on a thread of its own. Linux asks
// no permission; access means that a sound server answers and has a source to record from.
class PulseMicrophoneSource final : public AudioSource {
public:
    explicit PulseMicrophoneSource(QString source = {});
    ~PulseMicrophoneSource() override;

    void requestAccess(std::function<void(bool granted)> done) override;
    std::optional<QString> start(Tap tap) override;
    void stop() override;

private:
    // Opens a recording stream from `source` (empty: the default); the server's reason when it
    // cannot.
    static pa_simple* open(const QString& source, QString* error);

    // What the reading thread shares with the source. A read blocks until the server sends audio,
    // and a stalled source sends none, so a stop does not wait for the thread: it marks the run as
    // stopped under the lock the thread takes around each tap call, and leaves the thread to end
    // (and close its stream) at its next read.
    struct Run {
        std::mutex mutex;
        bool stopped = false;
    };

    QString source_;
    std::shared_ptr<Run> run_;
    // Cleared when the source goes, so that an access answer still on its way is dropped.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
