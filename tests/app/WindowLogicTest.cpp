// The decisions behind the window's behaviour: what a toggle does, the double Control, which
// clicks elsewhere hide the window, the side-panel column, and the keys an editor tab routes.
#include "app/window/ClickOutside.h"
#include "app/window/DoubleControl.h"
#include "app/tabs/EditorKeyRouting.h"
#include "app/sidepanel/SidePanelStack.h"
#include "app/window/WindowToggle.h"

#include <gtest/gtest.h>

TEST(WindowToggle, EachStateHasItsAction) {
    using windowtoggle::Action;
    struct Case {
        windowtoggle::State state;
        Action expected;
    };
    const Case cases[] = {
        {{true, false, true, true}, Action::flipPending},
        {{true, true, false, true}, Action::flipPending},
        {{false, false, false, true}, Action::show},
        {{false, false, true, true}, Action::hide},
        {{false, false, true, false}, Action::bringToCurrentDesktop},
        {{false, true, false, true}, Action::showDetached},
        {{false, true, true, false}, Action::hide},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "animating " << c.state.isAnimating << " detached " << c.state.detached << " visible "
                     << c.state.visible << " here " << c.state.onCurrentDesktop);
        EXPECT_EQ(windowtoggle::decide(c.state), c.expected);
    }
}

TEST(DoubleControl, TwoPressesWithinTheIntervalAndNoMore) {
    struct Step {
        bool down;
        double at;
        bool fires;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a double press", {{true, 10.0, false}, {false, 10.1, false}, {true, 10.3, true}}},
        {"too slow", {{true, 10.0, false}, {false, 10.1, false}, {true, 10.4, false}}},
        {"held down (key repeat) is one press",
         {{true, 10.0, false}, {true, 10.1, false}, {true, 10.2, false}}},
        {"a third press right after starts anew",
         {{true, 10.0, false},
          {false, 10.05, false},
          {true, 10.1, true},
          {false, 10.15, false},
          {true, 10.2, false},
          {false, 10.25, false},
          {true, 10.3, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DoubleControlDetector detector;
        for (const Step& step : c.steps)
            EXPECT_EQ(detector.controlChanged(step.down, step.at), step.fires) << step.at;
    }
}

TEST(ClickOutside, OnlyClicksAwayFromTheWindowTrayAndPanelHideIt) {
    ClickOutsideInput base;
    base.window = QRect(580, 28, 860, 480);
    base.trayIcon = QRect(1416, 0, 24, 24);
    base.screens = {{QRect(0, 0, 1440, 900), QRect(0, 24, 1440, 876)},
                    {QRect(1440, 0, 1280, 1024), QRect(1440, 0, 1280, 1024)}};
    struct Case {
        QPoint pointer;
        bool hides;
    };
    const Case cases[] = {
        {{100, 600}, true},   // the desktop
        {{700, 200}, false},  // the window itself
        {{1428, 12}, false},  // the tray icon, whose own click toggles
        {{300, 10}, false},   // the panel strip above the usable area
        {{300, 24}, true},    // the first usable row
        {{2000, 500}, true},  // another screen
        {{-500, -500}, true}, // on no screen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer.x() << "," << c.pointer.y());
        ClickOutsideInput input = base;
        input.pointer = c.pointer;
        EXPECT_EQ(clickHidesWindow(input), c.hides);
    }
}

TEST(SidePanels, MovingSwapsVisibleNeighboursAndHiddenOnesKeepTheirPlaces) {
    const QStringList visible{"picker", "ssh"}; // the git panel is not in the column
    QStringList order{"git", "picker", "ssh"};
    EXPECT_TRUE(sidepanels::movePanel(order, visible, "ssh", -1));
    EXPECT_EQ(order, (QStringList{"git", "ssh", "picker"}));
    EXPECT_FALSE(sidepanels::movePanel(order, visible, "git", 1)) << "not shown";
    EXPECT_FALSE(sidepanels::movePanel(order, QStringList{"ssh", "picker"}, "ssh", -1)) << "already first";
    EXPECT_EQ(
        sidepanels::visiblePanels({"git", "picker", "ssh"}, [](const QString& id) { return id != "git"; }),
        (QStringList{"picker", "ssh"}));
}

TEST(SidePanels, HeightsAndWidthStayWithinTheirBounds) {
    QMap<QString, double> heights{{"picker", 320}, {"ssh", 260}};
    sidepanels::shareHeights(heights, "picker", "ssh", 100);
    EXPECT_EQ(heights["picker"], 220);
    EXPECT_EQ(heights["ssh"], 360);
    sidepanels::shareHeights(heights, "picker", "ssh", 170); // the upper one would be 50
    EXPECT_EQ(heights["picker"], 80);
    EXPECT_EQ(heights["ssh"], 500);
    sidepanels::shareHeights(heights, "git", "ssh", -1000);
    EXPECT_EQ(heights["git"] + heights["ssh"], 760) << "a missing height counts as 260";
    EXPECT_EQ(heights["ssh"], 80);

    EXPECT_DOUBLE_EQ(sidepanels::columnShare(0.35, -1000, 1000), 0.55);
    EXPECT_DOUBLE_EQ(sidepanels::columnShare(0.35, 1000, 1000), 0.15);
    EXPECT_DOUBLE_EQ(sidepanels::columnShare(0.35, -100, 1000), 0.45);

    EXPECT_EQ(sidepanels::moveButtons(0, 1), (sidepanels::MoveButtons{false, false}));
    EXPECT_EQ(sidepanels::moveButtons(0, 2), (sidepanels::MoveButtons{false, true}));
    EXPECT_EQ(sidepanels::moveButtons(1, 2), (sidepanels::MoveButtons{true, false}));
    EXPECT_EQ(sidepanels::moveButtons(1, 3), (sidepanels::MoveButtons{true, true}));
}

TEST(EditorKeys, TheWindowTakesEditorCommandsNanoAndVimKeys) {
    using editorkeys::Kind;
    const Qt::KeyboardModifiers super = Qt::MetaModifier, ctrl = Qt::ControlModifier,
                                shift = Qt::ShiftModifier, alt = Qt::AltModifier;
    editorkeys::EditorState editor{true, EditorInputMode::normal, true, false};
    editorkeys::EditorState nano = editor;
    nano.mode = EditorInputMode::nano;
    editorkeys::EditorState vimNormal = editor;
    vimNormal.mode = EditorInputMode::vim;
    vimNormal.vimInsert = false;
    editorkeys::EditorState vimInsert = vimNormal;
    vimInsert.vimInsert = true;
    editorkeys::EditorState terminal;
    editorkeys::EditorState noView = nano;
    noView.hasEditorView = false;
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        editorkeys::EditorState state;
        Kind kind;
        Action action = Action::newTab; // for Kind::action
    };
    const Case cases[] = {
        {"Control+2 on an editor", Qt::Key_2, ctrl, editor, Kind::action, Action::switchToTab2},
        {"Control+2 on a terminal reaches it", Qt::Key_2, ctrl, terminal, Kind::pass},
        {"Control+Shift+S", Qt::Key_S, ctrl | shift, editor, Kind::action, Action::save},
        {"Super+S", Qt::Key_S, super, editor, Kind::action, Action::save},
        {"Control+Shift+Alt+S", Qt::Key_S, ctrl | shift | alt, editor, Kind::action, Action::saveAs},
        {"Super+Shift+S", Qt::Key_S, super | shift, editor, Kind::action, Action::saveAs},
        {"Control+Shift+O", Qt::Key_O, ctrl | shift, editor, Kind::action, Action::openFile},
        {"Control+Shift+Z", Qt::Key_Z, ctrl | shift, editor, Kind::action, Action::undo},
        {"Control+Shift+Alt+Z", Qt::Key_Z, ctrl | shift | alt, editor, Kind::action, Action::redo},
        {"Super+Shift+Z", Qt::Key_Z, super | shift, editor, Kind::action, Action::redo},
        {"Control+Shift+F", Qt::Key_F, ctrl | shift, editor, Kind::action, Action::find},
        {"Shift+Alt+F", Qt::Key_F, alt | shift, editor, Kind::action, Action::formatDocument},
        {"Control+Shift+C copies", Qt::Key_C, ctrl | shift, editor, Kind::action, Action::copy},
        {"Control+Shift+X needs the view", Qt::Key_X, ctrl | shift, noView, Kind::pass},
        {"Control+Shift+T", Qt::Key_T, ctrl | shift, editor, Kind::action, Action::newTab},
        {"Control+S is not a chord of the program", Qt::Key_S, ctrl, editor, Kind::pass},
        {"nano Control+S", Qt::Key_S, ctrl, nano, Kind::action, Action::save},
        {"nano Control+X", Qt::Key_X, ctrl, nano, Kind::action, Action::closeTab},
        {"nano Control+U pastes the cut buffer", Qt::Key_U, ctrl, nano, Kind::modeKey},
        {"nano Control+K", Qt::Key_K, ctrl, nano, Kind::modeKey},
        {"nano Control+K without a view", Qt::Key_K, ctrl, noView, Kind::pass},
        {"nano Control+S without a view", Qt::Key_S, ctrl, noView, Kind::action, Action::save},
        {"nano Control+X in normal mode", Qt::Key_X, ctrl, editor, Kind::pass},
        {"vim normal d", Qt::Key_D, {}, vimNormal, Kind::modeKey},
        {"vim normal with Control passes", Qt::Key_D, ctrl, vimNormal, Kind::pass},
        {"vim insert Escape", Qt::Key_Escape, {}, vimInsert, Kind::modeKey},
        {"vim insert letters are typed", Qt::Key_D, {}, vimInsert, Kind::pass},
        {"a plain letter in an editor", Qt::Key_D, {}, editor, Kind::pass},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const editorkeys::Route route = editorkeys::route({c.key, c.mods}, c.state);
        EXPECT_EQ(route.kind, c.kind);
        if (c.kind == Kind::action) {
            EXPECT_STREQ(actions::name(route.action), actions::name(c.action));
        }
    }
}
