#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// Where a session's audio comes from: 16 kHz mono 16-bit samples handed to a tap on the source's
// own thread. Start and stop are called on the main thread.
class AudioSource {
public:
    static constexpr int kSampleRate = 16000;
    // Samples per tap call.
    static constexpr std::size_t kBufferFrames = 1024;

    using Tap = std::function<void(const std::int16_t* samples, std::size_t count)>;

    virtual ~AudioSource() = default;
    // Whether there is anything to record from; the answer comes later, on the main thread.
    virtual void requestAccess(std::function<void(bool granted)> done) = 0;
    // Starts delivering audio to `tap`; the reason when it cannot.
    virtual std::optional<QString> start(Tap tap) = 0;
    // Stops delivering; once it returns the tap is not called again. Harmless when not started.
    virtual void stop() = 0;
};
