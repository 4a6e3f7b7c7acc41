// The way out: the confirmation, the SIGTERM path, the end-of-process steps, and what losing
// activation does.
#include "app/Termination.h"

#include "chrome/ChromeTestSupport.h"
#include "platform/Defaults.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

struct QuitFixture : testing::Test {
    QWidget window;
    TerminationController termination;
    QStringList events;
    QList<int> exits;
    QuitFixture() {
        window.resize(400, 300);
        termination.setWindow(&window);
        termination.onWillTerminate = [this] { events << "willTerminate"; };
        termination.quitApplication = [this](int status) {
            events << "quit";
            exits << status;
        };
    }
    QAbstractButton* button(const QString& text) const {
        QMessageBox* box = termination.confirmation();
        if (!box) return nullptr;
        for (QAbstractButton* b : box->buttons())
            if (b->text() == text) return b;
        return nullptr;
    }
};

} // namespace

TEST_F(QuitFixture, QuittingAsksFirstAndShowsTheWindow) {
    EXPECT_FALSE(window.isVisible());
    termination.requestQuit();
    EXPECT_TRUE(window.isVisible()) << "the question is visible even when the window was hidden";
    QMessageBox* box = termination.confirmation();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Quit Dunmar");
    EXPECT_EQ(box->informativeText(), "Sure?");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(events.isEmpty()) << "nothing ends before the answer";

    termination.requestQuit(); // a second request while the question is open
    EXPECT_EQ(termination.confirmation(), box);

    ASSERT_NE(button("Quit"), nullptr);
    button("Quit")->click();
    EXPECT_EQ(events, QStringList({"willTerminate", "quit"}));
    EXPECT_EQ(exits, QList<int>({0}));
    EXPECT_TRUE(termination.hasTerminated());

    termination.requestQuit();
    termination.terminateWithoutConfirmation();
    EXPECT_EQ(events.size(), 2) << "the end runs once";
}

TEST_F(QuitFixture, CancelLeavesEverythingAsItWas) {
    termination.requestQuit();
    ASSERT_NE(button("Cancel"), nullptr);
    button("Cancel")->click();
    chrometest::flushDeletes();
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(termination.confirmation(), nullptr);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(termination.hasTerminated());

    termination.requestQuit();
    EXPECT_NE(termination.confirmation(), nullptr) << "the next request asks again";
}

TEST_F(QuitFixture, SigtermEndsWithoutTheQuestionEvenWhileItIsOpen) {
    termination.terminateWithoutConfirmation();
    EXPECT_EQ(events, QStringList({"willTerminate", "quit"}));
    EXPECT_EQ(exits, QList<int>({0}));

    TerminationController asking;
    QStringList steps;
    asking.onWillTerminate = [&] { steps << "willTerminate"; };
    asking.quitApplication = [&](int) { steps << "quit"; };
    asking.requestQuit();
    QPointer<QMessageBox> box = asking.confirmation();
    ASSERT_FALSE(box.isNull());
    asking.terminateWithoutConfirmation();
    chrometest::flushDeletes();
    EXPECT_TRUE(box.isNull() || !box->isVisible());
    EXPECT_EQ(steps, QStringList({"willTerminate", "quit"}));
}

TEST(WindowGeometryOnQuit, DockedAndDetached) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    defaults.setValue("windowX", 11.0);
    defaults.setValue("windowY", 12.0);
    defaults.setValue("dockedWindowY", 30.0);

    writeWindowGeometryOnQuit(defaults, QRect(100, 40, 860, 480), false);
    EXPECT_EQ(defaults.doubleValue("windowWidth"), 860);
    EXPECT_EQ(defaults.doubleValue("windowHeight"), 480);
    EXPECT_EQ(defaults.doubleValue("dockedWindowX"), 100);
    EXPECT_FALSE(defaults.hasStoredValue("dockedWindowY"));
    EXPECT_EQ(defaults.doubleValue("windowX"), 11) << "the detached position stays as it was";
    EXPECT_EQ(defaults.doubleValue("windowY"), 12);

    writeWindowGeometryOnQuit(defaults, QRect(300, 200, 700, 400), true);
    EXPECT_EQ(defaults.doubleValue("windowX"), 300);
    EXPECT_EQ(defaults.doubleValue("windowY"), 200);
    EXPECT_EQ(defaults.doubleValue("windowWidth"), 700);
    EXPECT_EQ(defaults.doubleValue("dockedWindowX"), 100);
    EXPECT_EQ(defaults.object("windowWidth").typeId(), QMetaType::Double);
}

TEST(WillTerminateSteps, RunInOrderAndEachRunsWhateverTheOthersDid) {
    QStringList ran;
    WillTerminateSteps steps;
    steps.releaseTerminalViews = [&] { ran << "views"; };
    steps.saveSession = [&] { ran << "session"; };
    steps.cancelDictation = [&] { ran << "dictation"; };
    steps.stopFooterTimer = [&] { ran << "timer"; };
    steps.saveWindowGeometry = [&] { ran << "geometry"; };
    steps.unregisterHotKey = [&] { ran << "hotkey"; };
    steps.removeClickMonitor = [&] { ran << "monitor"; };
    steps.cancelWindowMoveSave = [&] { ran << "move"; };
    steps.stopDiagnosticsOverlays = [&] { ran << "overlays"; };
    steps.run();
    EXPECT_EQ(ran, QStringList({"dictation", "geometry", "session", "monitor", "hotkey", "timer", "move",
                                "overlays", "views"}));
    ran.clear();
    WillTerminateSteps partial;
    partial.saveSession = [&] { ran << "session"; };
    partial.run();
    EXPECT_EQ(ran, QStringList({"session"}));
}

TEST(Deactivation, HidesOnlyWhenAskedAndNotOverAPanel) {
    // One screen with a panel strip of 28 pixels at the top, and one beside it without panels.
    const QList<ScreenArea> screens{{QRect(0, 0, 1440, 900), QRect(0, 28, 1440, 872)},
                                    {QRect(1440, 0, 1920, 1080), QRect(1440, 0, 1920, 1080)}};
    struct Case {
        bool palette, drag, setting, visible;
        QPoint pointer;
        DeactivationResponse expected;
        const char* what;
    };
    const Case cases[] = {
        {false, false, true, true, {500, 400}, {false, true}, "a click into another window hides"},
        {false,
         false,
         true,
         true,
         {500, 10},
         {false, false},
         "the pointer over the panel strip (the tray) keeps it"},
        {false, false, true, true, {2000, 5}, {false, true}, "the second screen has no panel"},
        {false, false, true, true, {9000, 9000}, {false, true}, "a pointer on no screen hides"},
        {false, false, false, true, {500, 400}, {false, false}, "the setting is off"},
        {false, false, true, false, {500, 400}, {false, false}, "the window is not visible"},
        {true,
         true,
         true,
         true,
         {500, 400},
         {true, false},
         "a drag keeps the window, the palette still closes"},
        {true, false, false, true, {500, 400}, {true, false}, "the palette closes whatever the setting"},
    };
    for (const Case& c : cases) {
        DeactivationInput input{c.palette, c.drag, c.setting, c.visible, c.pointer, screens};
        EXPECT_EQ(respondToDeactivation(input), c.expected) << c.what;
    }
}
