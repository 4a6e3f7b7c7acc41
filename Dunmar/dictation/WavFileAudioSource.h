#pragma once

#include "dictation/AudioSource.h"

#include <QString>
#include <atomic>
#include <thread>
#include <vector>

// Audio from a WAV file (16 kHz mono 16-bit PCM) in place of the microphone: the file's samples go
// to the tap from a thread of their own, in the microphone's buffer size, once; after the last
// one the source is silent until stopped. Paced in real time, or as fast as the tap takes them.
class WavFileAudioSource final : public AudioSource {
public:
    enum class Pace { realTime, asFastAsPossible };

    explicit WavFileAudioSource(QString path, Pace pace = Pace::realTime);
    ~WavFileAudioSource() override;

    void requestAccess(std::function<void(bool granted)> done) override;
    std::optional<QString> start(Tap tap) override;
    void stop() override;

    // Reads the samples of a 16 kHz mono 16-bit PCM WAV file; the reason when it is not one.
    static std::optional<QString> readSamples(const QString& path, std::vector<std::int16_t>* samples);

private:
    QString path_;
    Pace pace_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};
