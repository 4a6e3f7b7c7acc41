#pragma once

#include "chrome/DictationControl.h"
#include "dictation/AudioSource.h"
#include "dictation/DictationClock.h"
#include "dictation/DictationTarget.h"
#include "dictation/SpeechBackend.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class Defaults;
class DictationHost;

// Push-to-talk dictation: records while a trigger is held, reports the live transcription, and
// when the trigger is released inserts the final text once into the place that was active when
// the session started. It owns the session's state machine, the recogniser's task, the audio
// source and the alerts; it draws nothing itself (the controller listens to `onStateChange` and
// `onTranscriptionUpdate`). Everything runs on the main thread but the audio tap.
class DictationManager : public QObject, public DictationControl {
    Q_OBJECT
public:
    // The stop time after a release, the later stop check, and how long an error stays.
    static constexpr int kStopTimeoutMs = 1500;
    static constexpr int kStopCheckMs = 2000;
    static constexpr int kErrorShownMs = 3000;

    static inline const QString kPermissionDeniedSpeech =
        QStringLiteral("Speech recognition is not permitted. Check the dictation settings.");
    static inline const QString kMicrophoneUnavailable =
        QStringLiteral("No microphone found. Check the input device in the sound settings.");
    static inline const QString kRecognizerUnavailable =
        QStringLiteral("Speech recognizer unavailable for current locale.");
    static inline const QString kRecognizerBecameUnavailable =
        QStringLiteral("Speech recognizer became unavailable.");
    static inline const QString kAudioEngineFailedPrefix = QStringLiteral("Audio engine failed to start: ");
    static inline const QString kRecognitionErrorPrefix = QStringLiteral("Recognition error: ");

    // `host` may be null (no controller: every target is `none`).
    DictationManager(Defaults& defaults, std::unique_ptr<SpeechBackend> backend,
                     std::unique_ptr<AudioSource> audio, DictationHost* host,
                     std::unique_ptr<DictationClock> clock = std::make_unique<QtDictationClock>(),
                     QObject* parent = nullptr);
    ~DictationManager() override;

    DictationState state() const override { return state_; }
    // Begins a session; only from `idle` and while dictation is enabled.
    void start() override;
    // Ends recording and lets the final text be inserted; only while requesting, starting,
    // listening or transcribing.
    void stopAndCommit() override;
    // Ends any session at once without inserting anything.
    void cancel();
    // The window is on the screen again: text that a session finished while it was hidden goes to
    // its place now, in the order it was said.
    void deliverKept();
    int keptCount() const { return static_cast<int>(kept_.size()); }

    std::function<void(const DictationState&)> onStateChange;
    std::function<void(const QString&)> onTranscriptionUpdate;

    DictationTarget currentTarget() const { return currentTarget_; }
    SpeechBackend& backend() { return *backend_; }
    AudioSource& audio() { return *audio_; }

private:
    void setState(const DictationState& state);
    DictationTarget chooseTarget() const;
    bool isEnabled() const;
    QString localeIdentifier() const;
    void requestPermissions();
    void requestMicPermission(std::uint64_t session);
    void beginRecording();
    void handleResult(std::uint64_t session, const QString& text, bool isFinal);
    void handleError(std::uint64_t session, const QString& description);
    void availabilityChanged(bool available);
    void stopCheck(std::uint64_t session);
    void deliver(const QString& text);
    void deliverTo(const DictationTarget& target, const QString& text);
    void cleanupSession();
    void cancelTimeoutTimer();
    void showFnConflictAlertIfNeeded();
    bool isCurrent(std::uint64_t session) const { return session == session_; }

    Defaults& defaults_;
    std::unique_ptr<SpeechBackend> backend_;
    std::unique_ptr<AudioSource> audio_;
    DictationHost* host_;
    std::unique_ptr<DictationClock> clock_;

    DictationState state_;
    DictationTarget currentTarget_;
    bool committedThisSession_ = false;
    bool audioRunning_ = false;
    std::shared_ptr<SpeechRecognitionTask> recognitionTask_;
    QString lastTranscription_;
    std::optional<DictationClock::TimerId> timeoutTimer_;
    // Text finished while the window was hidden, with its place; the oldest goes first when more
    // than a few sessions end unseen.
    static constexpr std::size_t kMaxKept = 16;
    std::vector<std::pair<DictationTarget, QString>> kept_;
    // Every session has its own number: answers, results and timers of an earlier session find a
    // later number and do nothing.
    std::uint64_t session_ = 0;
};
