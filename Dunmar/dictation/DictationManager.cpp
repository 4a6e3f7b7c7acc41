#include "dictation/DictationManager.h"

#include "dictation/DictationHost.h"
#include "platform/Defaults.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsKeys.h"

#include <QLocale>
#include <QPointer>

using Kind = DictationState::Kind;

DictationManager::DictationManager(Defaults& defaults, std::unique_ptr<SpeechBackend> backend,
                                   std::unique_ptr<AudioSource> audio, DictationHost* host,
                                   std::unique_ptr<DictationClock> clock, QObject* parent)
    : QObject(parent), defaults_(defaults), backend_(std::move(backend)), audio_(std::move(audio)),
      host_(host), clock_(std::move(clock)) {
    const QPointer<DictationManager> self(this);
    backend_->onAvailabilityChanged = [self](bool available) {
        if (self) self->availabilityChanged(available);
    };
}

DictationManager::~DictationManager() {
    // No callback reaches a manager being destroyed.
    onStateChange = nullptr;
    onTranscriptionUpdate = nullptr;
    cleanupSession();
    if (backend_) backend_->onAvailabilityChanged = nullptr;
}

void DictationManager::setState(const DictationState& state) {
    state_ = state;
    if (onStateChange) onStateChange(state);
    if (state.kind != Kind::error) return;
    // An error stays a while, then the button returns to idle. Every path that sets an error has
    // cleaned up already, so nothing more happens here.
    clock_->schedule(kErrorShownMs, [this] {
        if (state_.kind == Kind::error) setState(DictationState::idle());
    });
}

bool DictationManager::isEnabled() const {
    // Only a stored false switches dictation off; an absent key (or one of another type) is on.
    const QVariant value = defaults_.object(settings::kDictationEnabled.name);
    return !(value.typeId() == QMetaType::Bool && !value.toBool());
}

QString DictationManager::localeIdentifier() const {
    const QString stored = defaults_.object(settings::kDictationLocale).toString();
    return stored.isEmpty() ? QLocale::system().name() : stored;
}

DictationTarget DictationManager::chooseTarget() const {
    if (!host_) return DictationTarget::none();
    const std::optional<DictationHost::ActiveTab> tab = host_->activeTab();
    if (!tab) return DictationTarget::none();
    if (tab->isEditor)
        return tab->hasEditorView ? DictationTarget::editor(tab->index) : DictationTarget::none();
    if (!tab->focusedPaneTabId) return DictationTarget::none();
    return DictationTarget::terminal(tab->index, *tab->focusedPaneTabId);
}

void DictationManager::start() {
    if (state_.kind != Kind::idle) return;
    if (!isEnabled()) return;
    ++session_;
    currentTarget_ = chooseTarget();
    committedThisSession_ = false;
    lastTranscription_.clear();
    setState(DictationState::of(Kind::requesting));
    requestPermissions();
}

void DictationManager::requestPermissions() {
    const QPointer<DictationManager> self(this);
    const std::uint64_t session = session_;
    // An answer counts only for the session that asked, and only while it still waits for it: a
    // release while asking followed by a late answer must not start recording with nobody holding
    // the trigger.
    backend_->requestAuthorization([self, session](bool authorised) {
        if (!self || !self->isCurrent(session) || self->state_.kind != Kind::requesting) return;
        if (!authorised) {
            self->setState(DictationState::error(kPermissionDeniedSpeech));
            if (self->host_) self->host_->showPermissionAlert();
            return;
        }
        self->requestMicPermission(session);
    });
}

void DictationManager::requestMicPermission(std::uint64_t session) {
    const QPointer<DictationManager> self(this);
    audio_->requestAccess([self, session](bool granted) {
        if (!self || !self->isCurrent(session) || self->state_.kind != Kind::requesting) return;
        if (!granted) {
            self->setState(DictationState::error(kMicrophoneUnavailable));
            if (self->host_) self->host_->showPermissionAlert();
            return;
        }
        self->beginRecording();
    });
}

void DictationManager::beginRecording() {
    setState(DictationState::of(Kind::starting));
    const QString locale = localeIdentifier();
    if (!backend_->isAvailable(locale)) {
        cleanupSession();
        setState(DictationState::error(kRecognizerUnavailable));
        return;
    }

    const QPointer<DictationManager> self(this);
    const std::uint64_t session = session_;
    recognitionTask_ = backend_->startTask(
        locale,
        [self, session](const QString& text, bool isFinal) {
            if (self) self->handleResult(session, text, isFinal);
        },
        [self, session](const QString& description) {
            if (self) self->handleError(session, description);
        });

    // The tap runs on the audio thread and holds the task itself, not the manager: the task is
    // safe to feed from there, and a tap outliving the session feeds a cancelled task.
    const std::weak_ptr<SpeechRecognitionTask> task = recognitionTask_;
    const std::optional<QString> failure =
        audio_->start([task](const std::int16_t* samples, std::size_t count) {
            if (const auto t = task.lock()) t->appendAudio(samples, count);
        });
    if (failure) {
        cleanupSession();
        setState(DictationState::error(kAudioEngineFailedPrefix + *failure));
        return;
    }
    audioRunning_ = true;
    setState(DictationState::of(Kind::listening));
    showFnConflictAlertIfNeeded();
}

void DictationManager::handleResult(std::uint64_t session, const QString& text, bool isFinal) {
    if (!isCurrent(session) || !recognitionTask_) return;
    if (!text.isEmpty()) {
        lastTranscription_ = text;
        if (onTranscriptionUpdate) onTranscriptionUpdate(text);
    }
    if (state_.kind == Kind::listening) setState(DictationState::of(Kind::transcribing));
    if (!isFinal) return;
    cancelTimeoutTimer();
    deliver(lastTranscription_);
    cleanupSession();
    setState(DictationState::idle());
}

void DictationManager::handleError(std::uint64_t session, const QString& description) {
    if (!isCurrent(session) || !recognitionTask_) return;
    // While stopping the stop timer ends the session.
    if (state_.kind == Kind::stopping) return;
    cleanupSession();
    setState(DictationState::error(kRecognitionErrorPrefix + description));
}

void DictationManager::availabilityChanged(bool available) {
    if (available) return;
    if (state_.kind != Kind::listening && state_.kind != Kind::transcribing) return;
    setState(DictationState::error(kRecognizerBecameUnavailable));
    cleanupSession();
}

void DictationManager::deliver(const QString& text) {
    // One insertion per session, and only of text: an empty final result still delivers the last
    // partial one, which the caller passes.
    if (committedThisSession_ || text.isEmpty()) return;
    committedThisSession_ = true;
    if (!host_) return;
    if (!host_->isShown()) {
        // The window went away during the session (or a key held anywhere began it while hidden):
        // the words wait for the window instead of being typed where nobody sees them.
        if (currentTarget_.kind == DictationTarget::Kind::none) return;
        if (kept_.size() == kMaxKept) kept_.erase(kept_.begin());
        kept_.emplace_back(currentTarget_, text);
        return;
    }
    deliverTo(currentTarget_, text);
}

void DictationManager::deliverKept() {
    if (!host_ || !host_->isShown()) return;
    const auto kept = std::move(kept_);
    kept_.clear();
    for (const auto& [target, text] : kept) deliverTo(target, text);
}

void DictationManager::deliverTo(const DictationTarget& target, const QString& text) {
    switch (target.kind) {
    case DictationTarget::Kind::terminal:
        host_->pasteIntoPane(target.tabId, text);
        break;
    case DictationTarget::Kind::editor:
        host_->insertIntoEditor(target.tabIndex, text);
        break;
    case DictationTarget::Kind::none:
        break;
    }
}

void DictationManager::stopAndCommit() {
    const Kind kind = state_.kind;
    if (kind != Kind::requesting && kind != Kind::starting && kind != Kind::listening &&
        kind != Kind::transcribing)
        return;
    setState(DictationState::of(Kind::stopping));
    if (audioRunning_) {
        audio_->stop();
        audioRunning_ = false;
    }
    if (recognitionTask_) recognitionTask_->endAudio();

    // Both checks belong to this session: a quick second session reaching `stopping` before they
    // fire is not ended by them.
    cancelTimeoutTimer();
    const std::uint64_t session = session_;
    timeoutTimer_ = clock_->schedule(kStopTimeoutMs, [this, session] {
        timeoutTimer_.reset();
        stopCheck(session);
    });
    clock_->schedule(kStopCheckMs, [this, session] { stopCheck(session); });
}

void DictationManager::stopCheck(std::uint64_t session) {
    if (!isCurrent(session) || state_.kind != Kind::stopping) return;
    // No final result in time: what was recognised so far is still the user's text.
    deliver(lastTranscription_);
    cleanupSession();
    setState(DictationState::idle());
}

void DictationManager::cancel() {
    cancelTimeoutTimer();
    cleanupSession();
    setState(DictationState::idle());
}

void DictationManager::cancelTimeoutTimer() {
    if (timeoutTimer_) clock_->cancel(*timeoutTimer_);
    timeoutTimer_.reset();
}

void DictationManager::cleanupSession() {
    cancelTimeoutTimer();
    if (audioRunning_) {
        audio_->stop();
        audioRunning_ = false;
    }
    if (recognitionTask_) {
        recognitionTask_->cancel();
        recognitionTask_.reset();
    }
}

void DictationManager::showFnConflictAlertIfNeeded() {
    if (defaults_.boolean(settings::kDictationFnConflictShown)) return;
    defaults_.setValue(settings::kDictationFnConflictShown, true);
    if (host_) host_->showPushToTalkTip();
}
