#pragma once

// Stand-ins for the recogniser, the audio and the controller where a test steps the state machine
// through cases the real recogniser cannot be made to produce on demand (a late permission answer,
// an error, a second final result), and a clock that moves only when the test says so.

#include "dictation/AudioSource.h"
#include "dictation/DictationClock.h"
#include "dictation/DictationHost.h"
#include "dictation/SpeechBackend.h"

#include <QStringList>
#include <map>
#include <vector>

class SteppedClock final : public DictationClock {
public:
    TimerId schedule(int ms, std::function<void()> callback) override {
        const TimerId id = next_++;
        timers_.emplace(id, Timer{now_ + ms, std::move(callback)});
        return id;
    }
    void cancel(TimerId id) override { timers_.erase(id); }

    // Moves time on by `ms`, firing the timers that fall due in the order of their times.
    void advance(int ms) {
        const long long end = now_ + ms;
        for (;;) {
            auto next = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it)
                if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due))
                    next = it;
            if (next == timers_.end()) break;
            now_ = next->second.due;
            std::function<void()> callback = std::move(next->second.callback);
            timers_.erase(next);
            callback();
        }
        now_ = end;
    }
    std::size_t pending() const { return timers_.size(); }

private:
    struct Timer {
        long long due;
        std::function<void()> callback;
    };
    std::map<TimerId, Timer> timers_;
    long long now_ = 0;
    TimerId next_ = 1;
};

class FakeTask final : public SpeechRecognitionTask {
public:
    void appendAudio(const std::int16_t*, std::size_t count) override { samples += count; }
    void endAudio() override { ended = true; }
    void cancel() override { cancelled = true; }
    std::size_t samples = 0;
    bool ended = false;
    bool cancelled = false;
};

// Permission answers are held until the test releases them.
class FakeBackend final : public SpeechBackend {
public:
    void requestAuthorization(std::function<void(bool)> done) override {
        pendingAuth.push_back(std::move(done));
    }
    bool isAvailable(const QString&) const override { return available; }
    std::shared_ptr<SpeechRecognitionTask> startTask(const QString&, ResultHandler r,
                                                     ErrorHandler e) override {
        task = std::make_shared<FakeTask>();
        onResult = std::move(r);
        onError = std::move(e);
        ++tasksStarted;
        return task;
    }
    void answerAuth(bool ok) {
        auto pending = std::move(pendingAuth);
        pendingAuth.clear();
        for (auto& done : pending) done(ok);
    }
    void result(const QString& text, bool isFinal) { onResult(text, isFinal); }

    bool available = true;
    std::vector<std::function<void(bool)>> pendingAuth;
    std::shared_ptr<FakeTask> task;
    ResultHandler onResult;
    ErrorHandler onError;
    int tasksStarted = 0;
};

class FakeAudio final : public AudioSource {
public:
    void requestAccess(std::function<void(bool)> done) override { pending.push_back(std::move(done)); }
    std::optional<QString> start(Tap) override {
        if (failWith) return failWith;
        running = true;
        return std::nullopt;
    }
    void stop() override { running = false; }
    void answer(bool ok) {
        auto all = std::move(pending);
        pending.clear();
        for (auto& done : all) done(ok);
    }
    std::vector<std::function<void(bool)>> pending;
    std::optional<QString> failWith;
    bool running = false;
};

class RecordingHost final : public DictationHost {
public:
    std::optional<ActiveTab> activeTab() const override { return tab; }
    bool isShown() const override { return shown; }
    void pasteIntoPane(const QString& tabId, const QString& text) override {
        deliveries << QStringLiteral("pane %1: %2").arg(tabId, text);
    }
    void insertIntoEditor(int tabIndex, const QString& text) override {
        deliveries << QStringLiteral("editor %1: %2").arg(tabIndex).arg(text);
    }
    void showPermissionAlert() override { ++permissionAlerts; }
    void showPushToTalkTip() override { ++tips; }

    std::optional<ActiveTab> tab;
    bool shown = true;
    QStringList deliveries;
    int permissionAlerts = 0;
    int tips = 0;
};
