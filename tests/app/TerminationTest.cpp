// The way out: the confirmation, the SIGTERM path, the end-of-process steps, and what losing
// activation does.
#include "app/process/Termination.h"

#include "chrome/AlertSheetView.h"
#include "chrome/ChromeTestSupport.h"
#include "platform/Defaults.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using chrometest::finishAnimations;

namespace {

// A window with its content view, where the question is shown, and a text field standing for the
// terminal pane that has the keyboard.
struct QuitWindow {
    QWidget window;
    QWidget* content = new QWidget(&window);
    QLineEdit* pane = new QLineEdit(content);
    TerminationController termination;
    QStringList events;
    QList<int> exits;
    QuitWindow() {
        window.resize(800, 400);
        content->setGeometry(window.rect());
        pane->setGeometry(0, 0, 800, 360);
        termination.setWindow(&window);
        termination.setSheetHost(content);
        termination.onWillTerminate = [this] { events << "willTerminate"; };
        termination.quitApplication = [this](int status) {
            events << "quit";
            exits << status;
        };
    }
    QList<AlertSheetView*> sheets() const { return content->findChildren<AlertSheetView*>(); }
    QWidget* button(const QString& label) const {
        AlertSheetView* sheet = termination.confirmation();
        if (!sheet) return nullptr;
        for (QWidget* b : sheet->answerButtons())
            if (b->accessibleName() == label) return b;
        return nullptr;
    }
    // Shows the window and gives the pane the keyboard, as while one types in the terminal.
    void focusPane() {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        pane->setFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), pane);
    }
    // Runs the answer's fade-out to its end.
    void settle() { finishAnimations(content); }
};

struct QuitFixture : testing::Test, QuitWindow {};

} // namespace

TEST_F(QuitFixture, QuittingAsksFirstOnASheetOverTheWindow) {
    EXPECT_FALSE(window.isVisible());
    termination.requestQuit();
    EXPECT_TRUE(window.isVisible()) << "the question is visible even when the window was hidden";
    AlertSheetView* sheet = termination.confirmation();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->parentWidget(), content);
    EXPECT_EQ(sheet->geometry(), content->rect()) << "it dims the whole window";
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->title(), "Quit Dunmar");
    EXPECT_EQ(sheet->message(), "Sure?");
    EXPECT_EQ(sheet->icon(), AlertSheetView::Icon::warning);
    ASSERT_EQ(sheet->answerButtons().size(), 2);
    EXPECT_EQ(sheet->answerButtons()[0]->accessibleName(), "Cancel");
    EXPECT_EQ(sheet->answerButtons()[1]->accessibleName(), "Quit");
    EXPECT_TRUE(events.isEmpty()) << "nothing ends before the answer";

    ASSERT_NE(button("Quit"), nullptr);
    chrometest::click(button("Quit"));
    EXPECT_TRUE(events.isEmpty()) << "the sheet fades out first";
    settle();
    EXPECT_EQ(events, QStringList({"willTerminate", "quit"}));
    EXPECT_EQ(exits, QList<int>({0}));
    EXPECT_TRUE(termination.hasTerminated());

    termination.requestQuit();
    termination.terminateWithoutConfirmation();
    EXPECT_EQ(events.size(), 2) << "the end runs once";
    EXPECT_EQ(termination.confirmation(), nullptr) << "no question after the end";
}

TEST_F(QuitFixture, ASecondRequestOnlyBringsTheQuestionForward) {
    int windowShown = 0;
    termination.onShowWindow = [&] {
        ++windowShown;
        window.show();
    };
    termination.requestQuit();
    AlertSheetView* sheet = termination.confirmation();
    ASSERT_NE(sheet, nullptr);
    sheet->lower(); // something came over it
    termination.requestQuit();
    EXPECT_EQ(windowShown, 2) << "the window comes to the front each time";
    EXPECT_EQ(termination.confirmation(), sheet);
    EXPECT_EQ(sheets().size(), 1) << "no second sheet";
    EXPECT_EQ(content->children().last(), sheet) << "the open one is on top again";
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(QuitFixture, CancelLeavesEverythingAsItWas) {
    termination.requestQuit();
    ASSERT_NE(button("Cancel"), nullptr);
    chrometest::click(button("Cancel"));
    settle();
    chrometest::flushDeletes();
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(termination.confirmation(), nullptr);
    EXPECT_TRUE(sheets().isEmpty());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(termination.hasTerminated());

    termination.requestQuit();
    EXPECT_NE(termination.confirmation(), nullptr) << "the next request asks again";
}

TEST_F(QuitFixture, UnsavedEditorsAreNamedAndReturnKeepsThem) {
    termination.unsavedEditors = [] { return QStringList{"hello.py", "Editor"}; };
    focusPane();
    termination.requestQuit();
    AlertSheetView* sheet = termination.confirmation();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->message(), "Unsaved Changes: hello.py, Editor");
    QTest::keyClick(pane, Qt::Key_Return);
    settle();
    EXPECT_FALSE(termination.hasTerminated()) << "Return keeps the unsaved text";
    EXPECT_TRUE(events.isEmpty());
    chrometest::flushDeletes();

    termination.requestQuit();
    ASSERT_NE(button("Quit"), nullptr);
    chrometest::click(button("Quit"));
    settle();
    EXPECT_EQ(events, QStringList({"willTerminate", "quit"})) << "Quit still ends it when the user means it";
}

TEST(QuitKeys, ReturnQuitsEscapeCancelsAndOtherKeysStayOffThePane) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool quits;
        const char* what;
    };
    const Case cases[] = {
        {Qt::Key_Escape, Qt::NoModifier, false, "Escape cancels"},
        {Qt::Key_Enter, Qt::KeypadModifier, true, "the keypad's Enter is Return"},
        {Qt::Key_Return, Qt::NoModifier, true, "Return chooses the default, Quit"},
    };
    for (const Case& c : cases) {
        QuitWindow f;
        f.focusPane();
        f.termination.requestQuit();
        ASSERT_NE(f.termination.confirmation(), nullptr) << c.what;
        // The keys reach the question wherever the focus is in the window; what else is typed
        // goes nowhere while it is open.
        QTest::keyClick(f.pane, Qt::Key_X);
        QTest::keyClick(f.pane, c.key, c.modifiers);
        f.settle();
        EXPECT_EQ(f.pane->text(), "") << c.what;
        EXPECT_EQ(f.termination.confirmation(), nullptr) << c.what;
        EXPECT_EQ(f.termination.hasTerminated(), c.quits) << c.what;
        EXPECT_EQ(f.events, c.quits ? QStringList({"willTerminate", "quit"}) : QStringList()) << c.what;
        if (c.quits) continue;
        chrometest::flushDeletes();
        EXPECT_EQ(QApplication::focusWidget(), f.pane) << "the keyboard goes back to the pane";
        QTest::keyClick(f.pane, Qt::Key_Y);
        QTest::keyClick(f.pane, Qt::Key_Escape);
        EXPECT_EQ(f.pane->text(), "y") << "keys reach the pane again";
    }
}

TEST_F(QuitFixture, SigtermEndsWithoutTheQuestionEvenWhileItIsOpen) {
    termination.terminateWithoutConfirmation();
    EXPECT_EQ(events, QStringList({"willTerminate", "quit"}));
    EXPECT_EQ(exits, QList<int>({0}));

    for (bool answeredQuit : {false, true}) {
        QuitWindow f;
        f.focusPane();
        f.termination.requestQuit();
        QPointer<AlertSheetView> sheet = f.termination.confirmation();
        ASSERT_FALSE(sheet.isNull());
        // Quit already clicked and its fade running: the signal still ends it only once.
        if (answeredQuit) chrometest::click(f.button("Quit"));
        f.termination.terminateWithoutConfirmation();
        EXPECT_TRUE(f.sheets().isEmpty()) << "the sheet is gone at once";
        EXPECT_EQ(f.events, QStringList({"willTerminate", "quit"}));
        f.settle();
        chrometest::flushDeletes();
        EXPECT_TRUE(sheet.isNull());
        EXPECT_EQ(f.events, QStringList({"willTerminate", "quit"})) << "the end runs once";
        QTest::keyClick(f.pane, Qt::Key_Z);
        EXPECT_EQ(f.pane->text(), "z") << "its keys are unbound";
    }
}

TEST(QuitWithoutWindow, ARequestWithNothingToAskOnIsIgnored) {
    TerminationController termination;
    bool ended = false;
    termination.onWillTerminate = [&] { ended = true; };
    termination.quitApplication = [](int) {};
    termination.requestQuit();
    EXPECT_EQ(termination.confirmation(), nullptr);
    EXPECT_FALSE(ended);
    EXPECT_FALSE(termination.hasTerminated());
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
