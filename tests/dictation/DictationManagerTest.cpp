// The manager's state machine, stepped through time with a fake recogniser and clock.
#include "dictation/DictationManager.h"

#include "DictationFakes.h"
#include "platform/Defaults.h"
#include "settings/SettingsDefaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kind = DictationState::Kind;

class DictationManagerTest : public testing::Test {
public:
    void SetUp() override {
        manager.reset();
        host = RecordingHost{};
        states.clear();
        updates.clear();
        kindsAtUpdate.clear();
        defaults = std::make_unique<Defaults>(dir.filePath(QStringLiteral("defaults.json")));
        defaults->setValue(settings::kDictationLocale, QStringLiteral("en_US"));
        host.tab = DictationHost::ActiveTab{0, false, false, QStringLiteral("pane-a")};
        auto b = std::make_unique<FakeBackend>();
        auto a = std::make_unique<FakeAudio>();
        auto c = std::make_unique<SteppedClock>();
        backend = b.get();
        audio = a.get();
        clock = c.get();
        manager =
            std::make_unique<DictationManager>(*defaults, std::move(b), std::move(a), &host, std::move(c));
        manager->onStateChange = [this](const DictationState& s) { states.push_back(s); };
        manager->onTranscriptionUpdate = [this](const QString& text) {
            updates << text;
            // The text is reported before the state moves on from `listening`.
            kindsAtUpdate.push_back(manager->state().kind);
        };
    }

    // Start, with both permissions granted: recording.
    void startRecording() {
        manager->start();
        backend->answerAuth(true);
        audio->answer(true);
        ASSERT_EQ(manager->state().kind, Kind::listening);
    }
    std::vector<Kind> kinds() const {
        std::vector<Kind> out;
        for (const DictationState& s : states) out.push_back(s.kind);
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<Defaults> defaults;
    RecordingHost host;
    FakeBackend* backend = nullptr;
    FakeAudio* audio = nullptr;
    SteppedClock* clock = nullptr;
    std::unique_ptr<DictationManager> manager;
    std::vector<DictationState> states;
    QStringList updates;
    std::vector<Kind> kindsAtUpdate;
};

TEST_F(DictationManagerTest, SessionRecordsTranscribesAndDeliversTheFinalTextOnce) {
    manager->start();
    EXPECT_EQ(manager->state().kind, Kind::requesting);
    backend->answerAuth(true);
    audio->answer(true);
    EXPECT_TRUE(audio->running);
    EXPECT_EQ(kinds(), (std::vector<Kind>{Kind::requesting, Kind::starting, Kind::listening}));

    backend->result(QStringLiteral("list"), false);
    EXPECT_EQ(kindsAtUpdate, std::vector<Kind>{Kind::listening});
    EXPECT_EQ(manager->state().kind, Kind::transcribing);
    backend->result(QString(), false); // an empty result reports nothing
    backend->result(QStringLiteral("list all"), false);
    manager->stopAndCommit();
    EXPECT_EQ(manager->state().kind, Kind::stopping);
    EXPECT_FALSE(audio->running);
    EXPECT_TRUE(backend->task->ended);

    auto task = backend->task;
    backend->result(QStringLiteral("list all files"), true);
    EXPECT_EQ(host.deliveries, QStringList{QStringLiteral("pane pane-a: list all files")});
    EXPECT_EQ(manager->state(), DictationState::idle());
    EXPECT_TRUE(task->cancelled);
    EXPECT_EQ(updates, (QStringList{QStringLiteral("list"), QStringLiteral("list all"),
                                    QStringLiteral("list all files")}));
    // A second final of the same session inserts nothing more, and the stop timers find the
    // session over.
    backend->result(QStringLiteral("list all files again"), true);
    clock->advance(5000);
    EXPECT_EQ(host.deliveries.size(), 1);
    EXPECT_EQ(manager->state(), DictationState::idle());
}

TEST_F(DictationManagerTest, EmptyFinalDeliversTheLastPartialAndAFinalWithoutAnyTextNothing) {
    startRecording();
    backend->result(QStringLiteral("hello there"), false);
    manager->stopAndCommit();
    backend->result(QString(), true);
    EXPECT_EQ(host.deliveries, QStringList{QStringLiteral("pane pane-a: hello there")});

    host.deliveries.clear();
    startRecording();
    backend->result(QString(), true); // a final without release, with nothing recognised
    EXPECT_TRUE(host.deliveries.isEmpty());
    EXPECT_EQ(manager->state(), DictationState::idle());
}

TEST_F(DictationManagerTest, FailuresShowTheirMessageForThreeSecondsThenIdle) {
    struct Case {
        const char* name;
        std::function<void(DictationManagerTest&)> provoke;
        QString message;
        int alerts;
    };
    const std::vector<Case> cases = {
        {"speech refused",
         [](DictationManagerTest& t) {
             t.manager->start();
             t.backend->answerAuth(false);
         },
         DictationManager::kPermissionDeniedSpeech, 1},
        {"no microphone",
         [](DictationManagerTest& t) {
             t.manager->start();
             t.backend->answerAuth(true);
             t.audio->answer(false);
         },
         DictationManager::kMicrophoneUnavailable, 1},
        {"recogniser unavailable",
         [](DictationManagerTest& t) {
             t.backend->available = false;
             t.manager->start();
             t.backend->answerAuth(true);
             t.audio->answer(true);
         },
         DictationManager::kRecognizerUnavailable, 0},
        {"audio does not start",
         [](DictationManagerTest& t) {
             t.audio->failWith = QStringLiteral("Connection refused");
             t.manager->start();
             t.backend->answerAuth(true);
             t.audio->answer(true);
         },
         DictationManager::kAudioEngineFailedPrefix + QStringLiteral("Connection refused"), 0},
        {"recognition error",
         [](DictationManagerTest& t) {
             t.startRecording();
             t.backend->onError(QStringLiteral("decoder broke"));
         },
         DictationManager::kRecognitionErrorPrefix + QStringLiteral("decoder broke"), 0},
        {"recogniser went away",
         [](DictationManagerTest& t) {
             t.startRecording();
             t.backend->result(QStringLiteral("half"), false);
             t.backend->onAvailabilityChanged(false);
         },
         DictationManager::kRecognizerBecameUnavailable, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.provoke(*this);
        EXPECT_EQ(manager->state(), DictationState::error(c.message));
        EXPECT_EQ(host.permissionAlerts, c.alerts);
        EXPECT_FALSE(audio->running);
        if (backend->task) {
            EXPECT_TRUE(backend->task->cancelled);
        }
        // Neither trigger acts on an error.
        manager->start();
        manager->stopAndCommit();
        EXPECT_EQ(manager->state(), DictationState::error(c.message));
        clock->advance(2999);
        EXPECT_EQ(manager->state().kind, Kind::error);
        clock->advance(1);
        EXPECT_EQ(manager->state(), DictationState::idle());
        EXPECT_TRUE(host.deliveries.isEmpty());
    }
}

TEST_F(DictationManagerTest, ErrorWhileStoppingIsLeftToTheStopTimer) {
    startRecording();
    manager->stopAndCommit();
    backend->onError(QStringLiteral("no speech"));
    EXPECT_EQ(manager->state().kind, Kind::stopping);
    clock->advance(DictationManager::kStopTimeoutMs);
    EXPECT_EQ(manager->state(), DictationState::idle());
}

TEST_F(DictationManagerTest, StartAndStopActOnlyInTheirStates) {
    manager->stopAndCommit();
    EXPECT_TRUE(states.empty());
    startRecording();
    manager->start();
    EXPECT_EQ(backend->tasksStarted, 1);
    manager->stopAndCommit();
    manager->stopAndCommit();
    manager->start();
    const std::vector<Kind> seen = kinds();
    EXPECT_EQ(seen.back(), Kind::stopping);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), Kind::stopping), 1);
    manager->cancel();
    EXPECT_EQ(manager->state(), DictationState::idle());
    EXPECT_TRUE(backend->task->cancelled);
}

TEST_F(DictationManagerTest, ReleaseWithoutFinalDeliversWhatWasRecognisedOnceTheStopTimeRunsOut) {
    startRecording();
    backend->result(QStringLiteral("list all"), false);
    manager->stopAndCommit();
    clock->advance(DictationManager::kStopTimeoutMs - 1);
    EXPECT_EQ(manager->state().kind, Kind::stopping);
    clock->advance(1);
    EXPECT_EQ(manager->state(), DictationState::idle());
    EXPECT_EQ(host.deliveries, QStringList{QStringLiteral("pane pane-a: list all")});
    // The later check and a late final find the session over.
    backend->result(QStringLiteral("list all files"), true);
    clock->advance(1000);
    EXPECT_EQ(host.deliveries.size(), 1);

    // With nothing recognised the session ends empty.
    host.deliveries.clear();
    startRecording();
    manager->stopAndCommit();
    clock->advance(DictationManager::kStopTimeoutMs);
    EXPECT_EQ(manager->state(), DictationState::idle());
    EXPECT_TRUE(host.deliveries.isEmpty());
}

TEST_F(DictationManagerTest, PermissionAnswerAfterReleaseDoesNotStartRecording) {
    manager->start();
    manager->stopAndCommit();
    EXPECT_EQ(manager->state().kind, Kind::stopping);
    clock->advance(DictationManager::kStopTimeoutMs);
    EXPECT_EQ(manager->state(), DictationState::idle());
    backend->answerAuth(true);
    audio->answer(true);
    EXPECT_EQ(manager->state(), DictationState::idle());
    EXPECT_EQ(backend->tasksStarted, 0);
    EXPECT_FALSE(audio->running);

    // An answer of the first session cannot start the second one's recording either.
    manager->start();
    backend->answerAuth(true); // both sessions' answers arrive now
    EXPECT_EQ(audio->pending.size(), 1u);
    audio->answer(true);
    EXPECT_EQ(manager->state().kind, Kind::listening);
    EXPECT_EQ(backend->tasksStarted, 1);
}

TEST_F(DictationManagerTest, EarlierSessionsStopCheckDoesNotEndALaterSession) {
    startRecording();
    manager->stopAndCommit();
    clock->advance(200);
    backend->result(QStringLiteral("first"), true);
    EXPECT_EQ(manager->state(), DictationState::idle());

    // The second session is released 1.9 s after the first: the first one's 2.0 s check falls
    // 0.1 s later, while the second waits for its final result.
    startRecording();
    backend->result(QStringLiteral("second"), false);
    clock->advance(1700);
    manager->stopAndCommit();
    clock->advance(200);
    EXPECT_EQ(manager->state().kind, Kind::stopping);
    backend->result(QStringLiteral("second words"), true);
    EXPECT_EQ(host.deliveries, (QStringList{QStringLiteral("pane pane-a: first"),
                                            QStringLiteral("pane pane-a: second words")}));
}

TEST_F(DictationManagerTest, DictationEnabledAbsentRunsStoredFalseDoesNot) {
    defaults->removeObject(QStringLiteral("dictationEnabled"));
    manager->start();
    EXPECT_EQ(manager->state().kind, Kind::requesting);
    manager->cancel();
    defaults->setValue(QStringLiteral("dictationEnabled"), false);
    states.clear();
    manager->start();
    EXPECT_TRUE(states.empty());
    defaults->setValue(QStringLiteral("dictationEnabled"), true);
    manager->start();
    EXPECT_EQ(manager->state().kind, Kind::requesting);
}

TEST_F(DictationManagerTest, TargetIsFixedWhenTheSessionStarts) {
    struct Case {
        const char* name;
        std::optional<DictationHost::ActiveTab> tab;
        DictationTarget target;
        QStringList deliveries;
    };
    const std::vector<Case> cases = {
        {"terminal pane",
         DictationHost::ActiveTab{2, false, false, QStringLiteral("pane-b")},
         DictationTarget::terminal(2, QStringLiteral("pane-b")),
         {QStringLiteral("pane pane-b: words")}},
        {"editor",
         DictationHost::ActiveTab{1, true, true, std::nullopt},
         DictationTarget::editor(1),
         {QStringLiteral("editor 1: words")}},
        {"editor without view",
         DictationHost::ActiveTab{1, true, false, std::nullopt},
         DictationTarget::none(),
         {}},
        {"terminal without container",
         DictationHost::ActiveTab{0, false, false, std::nullopt},
         DictationTarget::none(),
         {}},
        {"index out of range", std::nullopt, DictationTarget::none(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.deliveries.clear();
        host.tab = c.tab;
        startRecording();
        EXPECT_EQ(manager->currentTarget(), c.target);
        // Another tab comes to the front during the session: the text still goes where it began.
        host.tab = DictationHost::ActiveTab{5, false, false, QStringLiteral("elsewhere")};
        backend->result(QStringLiteral("words"), true);
        EXPECT_EQ(host.deliveries, c.deliveries);
    }
}

TEST_F(DictationManagerTest, TextFinishedWhileTheWindowIsHiddenWaitsForTheWindow) {
    // Hidden before the final result (the hide ended the session), hidden from the start (a key
    // held anywhere began it), and a session without a place: only the first two are kept.
    startRecording();
    backend->result(QStringLiteral("first words"), false);
    host.shown = false;
    manager->stopAndCommit();
    backend->result(QString(), true);
    host.tab = DictationHost::ActiveTab{1, true, true, std::nullopt};
    startRecording();
    backend->result(QStringLiteral("second words"), true);
    host.tab = std::nullopt;
    startRecording();
    backend->result(QStringLiteral("nowhere"), true);
    EXPECT_TRUE(host.deliveries.isEmpty());
    EXPECT_EQ(manager->keptCount(), 2);
    EXPECT_EQ(manager->state(), DictationState::idle());

    manager->deliverKept(); // still hidden: nothing moves
    EXPECT_TRUE(host.deliveries.isEmpty());
    host.shown = true;
    manager->deliverKept();
    EXPECT_EQ(host.deliveries, (QStringList{QStringLiteral("pane pane-a: first words"),
                                            QStringLiteral("editor 1: second words")}));
    manager->deliverKept();
    EXPECT_EQ(host.deliveries.size(), 2) << "each text goes once";
}

TEST_F(DictationManagerTest, PushToTalkTipShowsOnceAtTheFirstRecording) {
    startRecording();
    EXPECT_EQ(host.tips, 1);
    EXPECT_TRUE(defaults->boolean(settings::kDictationFnConflictShown));
    manager->cancel();
    startRecording();
    EXPECT_EQ(host.tips, 1);
}

} // namespace
