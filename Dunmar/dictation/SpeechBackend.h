#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// One utterance being recognised. Audio goes in from any thread; results come out on the main
// thread through the handlers given when the task started.
class SpeechRecognitionTask {
public:
    virtual ~SpeechRecognitionTask() = default;
    // 16 kHz mono 16-bit samples. Safe to call from the audio thread.
    virtual void appendAudio(const std::int16_t* samples, std::size_t count) = 0;
    // No more audio: the final result follows.
    virtual void endAudio() = 0;
    // Ends the task at once; no handler runs afterwards.
    virtual void cancel() = 0;
};

// A speech recogniser. Everything here is called on the main thread.
class SpeechBackend {
public:
    virtual ~SpeechBackend() = default;

    // Asks whether recognition may run; the answer comes later, on the main thread.
    virtual void requestAuthorization(std::function<void(bool authorised)> done) = 0;
    // Whether a recogniser for the locale identifier (e.g. "en_US") can run now.
    virtual bool isAvailable(const QString& locale) const = 0;

    // A result: the best transcription so far (empty when nothing was recognised) and whether it
    // is the last one of the utterance.
    using ResultHandler = std::function<void(const QString& text, bool isFinal)>;
    // An error without a result, with its description.
    using ErrorHandler = std::function<void(const QString& description)>;
    virtual std::shared_ptr<SpeechRecognitionTask> startTask(const QString& locale, ResultHandler onResult,
                                                             ErrorHandler onError) = 0;

    // The recogniser became available (true) or unavailable (false).
    std::function<void(bool available)> onAvailabilityChanged;
};
