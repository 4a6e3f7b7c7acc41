// The push-to-talk key on a real X server (Xvfb with openbox), pressed with xdotool through the
// server as a keyboard would: what starts a session and what does not, read from the manager's
// state. The recogniser and the microphone are stand-ins: only the decision is looked at here.
#include "DictationFakes.h"
#include "dictation/DictationManager.h"
#include "dictation/FnKeyMonitor.h"
#include "platform/Defaults.h"
#include "platform/GlobalInput.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsKeys.h"
#include "support/Waits.h"
#include "support/X11Desktop.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using Kind = DictationState::Kind;

constexpr std::uint32_t kControlR = 0xffe4;
constexpr std::uint32_t kAltR = 0xffea;
// The key labelled F13, as the usual Linux keymap (and Xvfb's) names it.
constexpr std::uint32_t kTools = 0x1008ff81;
constexpr std::uint32_t kShiftL = 0xffe1;
constexpr std::uint32_t kC = 0x63;

QString xdotoolName(std::uint32_t keysym) {
    switch (keysym) {
    case kControlR:
        return QStringLiteral("Control_R");
    case kAltR:
        return QStringLiteral("Alt_R");
    case kTools:
        return QStringLiteral("XF86Tools");
    case kShiftL:
        return QStringLiteral("Shift_L");
    default:
        return QStringLiteral("c");
    }
}

class PushToTalkKey : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(input.hasRawInput()) << "the X server offers no XInput2";
        defaults = std::make_unique<Defaults>(dir.filePath(QStringLiteral("defaults.json")));
        defaults->registerDefaults(settings::defaultSettingsMap());
        defaults->setValue(settings::kDictationFnConflictShown, true);
        auto b = std::make_unique<FakeBackend>();
        auto a = std::make_unique<FakeAudio>();
        backend = b.get();
        audio = a.get();
        host.tab = DictationHost::ActiveTab{0, false, false, QStringLiteral("pane-a")};
        manager = std::make_unique<DictationManager>(*defaults, std::move(b), std::move(a), &host);
        manager->onStateChange = [this](const DictationState& s) { kinds.push_back(s.kind); };
        monitor = std::make_unique<FnKeyMonitor>(*manager, *defaults);
        monitor->setWindow(&window);
        ASSERT_TRUE(monitor->start(input));
        QObject::connect(&input, &GlobalInput::keyChanged, &window, [this](std::uint32_t keysym, bool down) {
            seen.push_back({keysym, down});
        });

        window.setWindowTitle(QStringLiteral("Dunmar under test"));
        window.resize(400, 300);
        ASSERT_TRUE(other.isValid());
    }

    void TearDown() override {
        monitor.reset();
        manager.reset();
    }

    // Our window shown with the keyboard, shown behind the other program, or hidden.
    enum class Window { focused, behind, hidden };
    void arrange(Window w) {
        if (w == Window::hidden) {
            window.hide();
        } else {
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 10000));
        }
        // The keyboard has arrived where the X server says it is, and Qt has heard of it.
        const std::uint32_t target = w == Window::focused ? std::uint32_t(window.winId()) : other.id();
        ASSERT_TRUE(x11desktop::activate(target, [&] {
            const bool ours =
                QGuiApplication::focusWindow() && QGuiApplication::focusWindow() == window.windowHandle();
            return ours == (w == Window::focused) &&
                   x11desktop::xdotoolOutput({QStringLiteral("getactivewindow")}) == QString::number(target);
        }));
    }

    // A key pressed or released through the server; returns once the monitor has seen it and the
    // calls it made on the next turn of the event loop have run.
    void key(const char* action, std::uint32_t keysym) {
        const bool down = std::strcmp(action, "keydown") == 0;
        const std::size_t before = seen.size();
        ASSERT_TRUE(x11desktop::xdotool({QString::fromLatin1(action), xdotoolName(keysym)}));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                for (std::size_t i = before; i < seen.size(); ++i)
                    if (seen[i].first == keysym && seen[i].second == down) return true;
                return false;
            },
            10000))
            << xdotoolName(keysym).toStdString() << " " << action << " never arrived";
        testsupport::drainEvents();
    }

    int sessionsStarted() const {
        return static_cast<int>(std::count(kinds.begin(), kinds.end(), Kind::requesting));
    }

    QTemporaryDir dir;
    GlobalInput input;
    std::unique_ptr<Defaults> defaults;
    FakeBackend* backend = nullptr;
    FakeAudio* audio = nullptr;
    RecordingHost host;
    std::unique_ptr<DictationManager> manager;
    std::unique_ptr<FnKeyMonitor> monitor;
    std::vector<Kind> kinds;
    std::vector<std::pair<std::uint32_t, bool>> seen;
    QWidget window;
    // Another program's window, to have the keyboard while ours does not.
    x11desktop::OtherProgramWindow other{700, 400, 300, 200};
};

TEST_F(PushToTalkKey, StartsOnlyForTheShownWindowWithTheKeyboardUnlessMadeGlobal) {
    struct Case {
        const char* name;
        Window window;
        bool global;
        int keyChoice; // 0 Right Ctrl, 1 Right Alt, 2 F13
        std::uint32_t pressed;
        bool starts;
    };
    const Case cases[] = {
        {"hidden, another program has the keyboard", Window::hidden, false, 0, kControlR, false},
        {"shown behind another program", Window::behind, false, 0, kControlR, false},
        {"shown with the keyboard", Window::focused, false, 0, kControlR, true},
        {"global, hidden", Window::hidden, true, 0, kControlR, true},
        {"global, shown behind another program", Window::behind, true, 0, kControlR, true},
        {"F13 chosen: Right Ctrl is no longer the key", Window::focused, false, 2, kControlR, false},
        {"F13 chosen", Window::focused, false, 2, kTools, true},
        {"Right Alt chosen", Window::focused, false, 1, kAltR, true},
        {"Right Alt chosen, hidden", Window::hidden, false, 1, kAltR, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kinds.clear();
        defaults->setValue(settings::kDictationPushToTalkGlobal, c.global);
        defaults->setValue(settings::kDictationPushToTalkKey, c.keyChoice);
        arrange(c.window);

        key("keydown", c.pressed);
        EXPECT_EQ(manager->state().kind, c.starts ? Kind::requesting : Kind::idle);
        key("keyup", c.pressed);
        EXPECT_EQ(sessionsStarted(), c.starts ? 1 : 0);
        // The release ends what the press began.
        EXPECT_EQ(manager->state().kind, c.starts ? Kind::stopping : Kind::idle);
        manager->cancel();
    }
}

TEST_F(PushToTalkKey, AGlobalSessionWhileHiddenNeverTypesIntoTheHiddenWindow) {
    defaults->setValue(settings::kDictationPushToTalkGlobal, true);
    arrange(Window::hidden);
    key("keydown", kControlR);
    backend->answerAuth(true);
    audio->answer(true);
    ASSERT_EQ(manager->state().kind, Kind::listening);
    backend->result(QStringLiteral("list all files"), false);
    key("keyup", kControlR);
    ASSERT_EQ(manager->state().kind, Kind::stopping);
    host.shown = window.isVisible();
    backend->result(QString(), true);
    EXPECT_EQ(manager->state().kind, Kind::idle);
    EXPECT_TRUE(host.deliveries.isEmpty());
    EXPECT_EQ(manager->keptCount(), 1);
}

TEST_F(PushToTalkKey, AChordWithTheKeyIsNoDictation) {
    arrange(Window::focused);
    key("keydown", kControlR);
    ASSERT_EQ(manager->state().kind, Kind::requesting);
    // Modifiers held with it change nothing; Right Ctrl+C is the shell's, and the session goes.
    key("keydown", kShiftL);
    key("keyup", kShiftL);
    EXPECT_EQ(manager->state().kind, Kind::requesting);
    key("keydown", kC);
    key("keyup", kC);
    EXPECT_EQ(manager->state().kind, Kind::idle);
    key("keyup", kControlR);
    EXPECT_EQ(manager->state().kind, Kind::idle);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), Kind::stopping), 0);

    // The next plain hold dictates again.
    key("keydown", kControlR);
    EXPECT_EQ(manager->state().kind, Kind::requesting);
    key("keyup", kControlR);
    EXPECT_EQ(manager->state().kind, Kind::stopping);
    manager->cancel();
}

TEST_F(PushToTalkKey, StoppedMonitorHearsNothingWhileAnotherWatcherKeepsTheKeysComing) {
    arrange(Window::focused);
    // The double press of Control watches the same raw keys, through the same set-up.
    input.watchKeys();
    monitor->stop();
    EXPECT_FALSE(monitor->isWatching());
    key("keydown", kControlR);
    key("keyup", kControlR);
    EXPECT_EQ(sessionsStarted(), 0);
    input.unwatchKeys();
}

} // namespace
