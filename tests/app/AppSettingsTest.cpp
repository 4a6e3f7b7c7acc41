// Applying a setting to the running controller: every pane of every tab (split panes included), the
// window, the colour and prompt themes in real shells, and what a value of the wrong type or out of
// range does.
#include "AppSettingsTestSupport.h"
#include "app/process/ShellForeground.h"
#include "app/window/WindowBackdrop.h"
#include "editor/SyntaxTextStorage.h"
#include "chrome/ChromeTestSupport.h"
#include "chrome/HeaderBarView.h"
#include "chrome/TabItemView.h"
#include "settings/ColorThemeRow.h"
#include "settings/MiniSlider.h"
#include "settings/PromptThemes.h"
#include "settings/ReportCoalescer.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsToggle.h"
#include "support/Waits.h"
#include "terminalview/ShellList.h"
#include "terminalview/TerminalFonts.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <limits>

using namespace apptest;

namespace {

class AppSettings : public AppSettingsTest {
protected:
    // Three panes: the first tab, and a second tab split in two.
    void launchWithThreePanes() {
        launch();
        app->workspace().addTab();
        app->workspace().toggleSplit(true);
        ASSERT_EQ(app->workspace().allTerminalViews().size(), 3);
    }

    // The stored value first, as the panel and the palette do, then the change.
    void change(const QString& key, const QVariant& value) {
        defaults->setValue(key, value);
        internals(*app).settingsApplier().apply(key, value);
    }

    double fontSizeOf(const TerminalView* view) const { return view->fonts().font.pointSizeF(); }

    // The size a pane shows after updateFontSize(size) with the stored family.
    double expectedFontSize(double size) const {
        return makeTerminalFonts(size, defaults->integer("fontFamily")).font.pointSizeF();
    }

    // The switch of a row of the open panel.
    SettingsToggle* panelToggle(const QString& key) const {
        for (QWidget* row : app->settingsPanel().panel()->rows())
            if (row->objectName() == "toggle:" + key) return row->findChild<SettingsToggle*>();
        return nullptr;
    }
};

} // namespace

TEST_F(AppSettings, FontSizeAndCursorReachEveryPaneAndIgnoreValuesOfTheWrongType) {
    launchWithThreePanes();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        QVariant value;
        double expected; // the size every pane shows afterwards
    };
    const QList<Case> fontCases{
        {"a slider's double", 14.0, 14.0},
        {"an integer from the palette", qint64(12), 12.0},
        {"a fraction exactly as given", 13.37, 13.37},
        {"text", QStringLiteral("16"), 13.37},
        {"a Boolean", true, 13.37},
        {"not a number", nan, 13.37},
        {"no value", QVariant(), 13.37},
    };
    for (const Case& c : fontCases) {
        internals(*app).settingsApplier().apply("terminalFontSize", c.value);
        for (TerminalView* view : app->workspace().allTerminalViews())
            EXPECT_DOUBLE_EQ(fontSizeOf(view), expectedFontSize(c.expected)) << c.what;
    }

    struct StyleCase {
        const char* what;
        QVariant value;
        int expected;
    };
    const QList<StyleCase> styleCases{
        {"an index", 2, 2},      {"a 64-bit index", qint64(1), 1},
        {"a double", 0.0, 1},    {"text", QStringLiteral("0"), 1},
        {"a Boolean", false, 1},
    };
    for (const StyleCase& c : styleCases) {
        internals(*app).settingsApplier().apply("cursorStyle", c.value);
        for (TerminalView* view : app->workspace().allTerminalViews())
            EXPECT_EQ(view->userCursorStyle(), c.expected) << c.what;
    }

    // The blink switch reads the stored value, whatever it is given.
    defaults->setValue("cursorBlink", false);
    internals(*app).settingsApplier().apply("cursorBlink", true);
    for (TerminalView* view : app->workspace().allTerminalViews()) EXPECT_FALSE(view->userCursorBlink());

    // A new family is drawn at the stored size, 13 when none above 0 is stored.
    defaults->setValue("terminalFontSize", 0.0);
    change("fontFamily", 1);
    for (TerminalView* view : app->workspace().allTerminalViews()) {
        EXPECT_DOUBLE_EQ(fontSizeOf(view), expectedFontSize(13.0));
        EXPECT_EQ(view->fonts().font.family(), makeTerminalFonts(13.0, 1).font.family());
    }

    // The palette's cursor command stores the style and shows it everywhere.
    internals(*app).settingsApplier().setCursorStyle(2);
    EXPECT_EQ(defaults->integer("cursorStyle"), 2);
    for (TerminalView* view : app->workspace().allTerminalViews()) EXPECT_EQ(view->userCursorStyle(), 2);
}

TEST_F(AppSettings, TheFontSizeSliderLeavesEveryPaneAtTheSizeItWasLetGoAt) {
    launchWithThreePanes();
    app->settingsPanel().show();
    SettingsOverlay* panel = app->settingsPanel().panel();
    ASSERT_TRUE(panel);
    chrometest::finishAnimations(panel);
    MiniSlider* slider = nullptr;
    for (QWidget* row : panel->rows())
        if (row->objectName() == "slider:terminalFontSize") slider = row->findChild<MiniSlider*>();
    ASSERT_TRUE(slider);

    // A fast drag: many steps inside one frame, so that most of them are held back and merged.
    chrometest::mouse(slider, QEvent::MouseButtonPress, {slider->positionOf(10.0), 8});
    for (double v = 10.0; v <= 17.0; v += 0.173)
        chrometest::mouse(slider, QEvent::MouseMove, {slider->positionOf(v), 8});
    const QPointF last(slider->positionOf(16.41), 8);
    chrometest::mouse(slider, QEvent::MouseMove, last);
    chrometest::mouse(slider, QEvent::MouseButtonRelease, last, Qt::NoButton);

    // The size the label shows, a whole point: where the knob was let go, rounded.
    const double final = std::round(slider->value());
    EXPECT_DOUBLE_EQ(defaults->doubleValue("terminalFontSize"), final);
    for (TerminalView* view : app->workspace().allTerminalViews())
        EXPECT_DOUBLE_EQ(fontSizeOf(view), expectedFontSize(final));
    // Nothing is held back that could arrive later and move them away from it.
    for (const ReportCoalescer* coalescer : panel->findChildren<ReportCoalescer*>())
        EXPECT_FALSE(coalescer->hasPending());
    testsupport::drainEvents();
    for (TerminalView* view : app->workspace().allTerminalViews())
        EXPECT_DOUBLE_EQ(fontSizeOf(view), expectedFontSize(final));
}

TEST_F(AppSettings, TheExclusiveWindowSwitchesTurnEachOtherOffInTheSettingsAndTheOpenPanel) {
    launch();
    defaults->removeObject("defaultShellIndex"); // the tests' bash, which would count as a change
    app->settingsPanel().show();
    ASSERT_TRUE(app->settingsPanel().panel());
    chrometest::finishAnimations(app->settingsPanel().panel());
    auto onTop = [this] { return app->windowController().isWindowKeptAbove(); };

    struct Step {
        const char* what;
        QString key;
        QVariant value;
        bool alwaysOnTop;      // stored afterwards
        bool hideOnDeactivate; // stored afterwards
        bool atDefaults;
    };
    const QList<Step> steps{
        {"hiding on deactivation turns floating off", "hideOnDeactivate", true, false, true, false},
        {"floating turns hiding off", "alwaysOnTop", true, true, false, true},
        {"floating off touches nothing else", "alwaysOnTop", false, false, false, false},
        {"hiding on with floating already off", "hideOnDeactivate", true, false, true, false},
        {"hiding off touches nothing else", "hideOnDeactivate", false, false, false, false},
        {"floating on again", "alwaysOnTop", true, true, false, true},
    };
    for (const Step& s : steps) {
        // The panel's switch writes the setting and reports it.
        SettingsToggle* toggle = panelToggle(s.key);
        ASSERT_TRUE(toggle);
        if (toggle->isOn() != s.value.toBool()) chrometest::click(toggle);
        EXPECT_EQ(defaults->boolean("alwaysOnTop"), s.alwaysOnTop) << s.what;
        EXPECT_EQ(defaults->boolean("hideOnDeactivate"), s.hideOnDeactivate) << s.what;
        EXPECT_EQ(onTop(), s.alwaysOnTop) << s.what;
        EXPECT_EQ(panelToggle("alwaysOnTop")->isOn(), s.alwaysOnTop) << s.what;
        EXPECT_EQ(panelToggle("hideOnDeactivate")->isOn(), s.hideOnDeactivate) << s.what;
        EXPECT_EQ(settings::isAtDefaults(*defaults), s.atDefaults) << s.what;
    }

    // A value that is no Boolean changes nothing, neither the window nor the other switch.
    internals(*app).settingsApplier().apply("hideOnDeactivate", QStringLiteral("true"));
    internals(*app).settingsApplier().apply("hideOnDeactivate", 1);
    EXPECT_TRUE(onTop());
    EXPECT_TRUE(defaults->boolean("alwaysOnTop"));
    change("hideOnDeactivate", true);
    internals(*app).settingsApplier().apply("alwaysOnTop", 1.0);
    EXPECT_FALSE(onTop());
    EXPECT_TRUE(defaults->boolean("hideOnDeactivate"));
}

TEST_F(AppSettings, WindowSettingsReachTheWindowAndItsMaterial) {
    launch();
    app->windowController().showWindowAnimated();
    WindowBackdrop* material = internals(*app).visualEffect();
    ASSERT_TRUE(material);
    EXPECT_EQ(material->geometry(), app->contentView()->rect()) << "it covers the whole content";
    EXPECT_DOUBLE_EQ(material->intensity(), 0.96);

    change("windowOpacity", 0.5);
    EXPECT_NEAR(app->window()->windowOpacity(), 0.5, 0.01);
    internals(*app).settingsApplier().apply("windowOpacity", QStringLiteral("0.2"));
    EXPECT_NEAR(app->window()->windowOpacity(), 0.5, 0.01);

    change("blurIntensity", 0.4);
    EXPECT_DOUBLE_EQ(material->intensity(), 0.4);
    EXPECT_NEAR(material->fillColor().alphaF(), 0.4, 0.01);
    internals(*app).settingsApplier().apply("blurIntensity", true);
    EXPECT_DOUBLE_EQ(material->intensity(), 0.4);

    change("followAllSpaces", true);
    EXPECT_TRUE(app->windowController().followsAllSpaces());
    change("hideOnClickOutside", true);
    EXPECT_TRUE(app->windowController().hidesOnClickOutside());
    internals(*app).settingsApplier().apply("hideOnClickOutside", QStringLiteral("no"));
    EXPECT_TRUE(app->windowController().hidesOnClickOutside());

    // Turning dimming off brings a window that is not in front back to its opacity.
    app->window()->setWindowOpacity(0.3);
    change("autoDim", false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(app->window()->windowOpacity() - 0.5) < 0.01; }, 2000))
        << app->window()->windowOpacity();

    app->window()->resize(1000, 600);
    EXPECT_TRUE(QTest::qWaitFor([&] { return material->size() == QSize(1000, 600); }, 5000))
        << "and follows its size";
}

TEST_F(AppSettings, ColourThemesRecolourTheTerminalsTheMaterialAndTheEditors) {
    launch();
    app->workspace().createEditorTabInternal(std::nullopt);
    EditorView* editor = tab(1).editorView;
    ASSERT_TRUE(editor);
    WindowBackdrop* material = internals(*app).visualEffect();
    QApplication::setPalette(desktopPalette(false));

    struct Case {
        QVariant value;
        const char* theme;
        bool lightMaterial;
    };
    const QList<Case> cases{
        {1, "light", true},
        {2, "oled", false},
        {QStringLiteral("1"), "dark", false}, // text counts as 0
        {7, "dark", false},
        {qint64(1), "light", true},
        {0, "dark", false},
    };
    for (const Case& c : cases) {
        internals(*app).settingsApplier().apply("colorTheme", c.value);
        EXPECT_EQ(activeTheme.id, c.theme) << c.value.toString().toStdString();
        EXPECT_EQ(material->material(), activeTheme.visualMaterial);
        EXPECT_EQ(material->isLightAppearance(), c.lightMaterial);
        const QColor base = editor->textView()->palette().color(QPalette::Base);
        EXPECT_NEAR(base.redF(), kTerminalBackground.r, 0.01) << "the editor takes the theme's background";
        EXPECT_NEAR(editor->textView()->palette().color(QPalette::Text).redF(), kDefaultFG.r, 0.01);
        EXPECT_EQ(editor->syntaxStorage()->isDark(), base.valueF() < 0.5f) << "and colours in its palette";
        // The chrome's text keeps its contrast on the backdrop: tab titles and the rename field.
        const qreal backdrop = WindowBackdrop::materialColor(material->material(), c.lightMaterial).lightnessF();
        const auto contrast = [&](const QColor& ink) { return std::abs(ink.lightnessF() - backdrop); };
        HeaderBarView* header = internals(*app).headerView();
        for (const TabItemView* item : header->findChildren<TabItemView*>())
            EXPECT_GT(contrast(item->titleColor()), 0.3) << c.theme;
        header->startEditingTab(0, QStringLiteral("name"));
        ASSERT_TRUE(header->editField());
        QLineEdit* field = header->editField();
        field->ensurePolished(); // the style sheet's colours are in its palette from here on
        EXPECT_GT(std::abs(field->palette().color(QPalette::Text).lightnessF() -
                           field->palette().color(QPalette::Base).lightnessF()),
                  0.5)
            << "the text and caret stand out from the field";
        EXPECT_LT(std::abs(field->palette().color(QPalette::Base).lightnessF() - backdrop), 0.5)
            << "a field of the backdrop's kind, not a black box on a light bar";
        header->finishEditingTab();
    }
    EXPECT_EQ(defaults->integer("colorTheme"), 0) << "applying stores nothing";

    // An editor opened under the light theme starts in its colours.
    internals(*app).settingsApplier().apply("colorTheme", 1);
    app->workspace().createEditorTabInternal(std::nullopt);
    EXPECT_NEAR(tab(2).editorView->textView()->palette().color(QPalette::Base).redF(), kTerminalBackground.r, 0.01);

    // A preview shows a theme without storing it, and the stored one comes back.
    change("colorTheme", 2);
    internals(*app).settingsApplier().previewTheme(1);
    EXPECT_EQ(activeTheme.id, "light");
    internals(*app).settingsApplier().previewTheme(defaults->integer("colorTheme"));
    EXPECT_EQ(activeTheme.id, "oled");
    EXPECT_EQ(defaults->integer("colorTheme"), 2);

    // The pointer across three chips of the panel's row and out again: three previews, then the
    // stored theme, and nothing stored on the way.
    app->settingsPanel().show();
    ASSERT_TRUE(app->settingsPanel().panel());
    chrometest::finishAnimations(app->settingsPanel().panel());
    auto* row = app->settingsPanel().panel()->findChild<ColorThemeRow*>();
    ASSERT_TRUE(row);
    const QList<std::pair<int, const char*>> chips{{0, "dark"}, {1, "light"}, {3, "dark"}};
    for (const auto& [index, theme] : chips) {
        chrometest::enter(row->buttons().at(index));
        EXPECT_EQ(activeTheme.id, theme) << index;
        chrometest::leave(row->buttons().at(index));
    }
    EXPECT_EQ(activeTheme.id, "oled");
    EXPECT_EQ(defaults->integer("colorTheme"), 2);
    // A click stores the chip's theme and applies it.
    chrometest::click(row->buttons().at(1));
    EXPECT_EQ(defaults->integer("colorTheme"), 1);
    EXPECT_EQ(activeTheme.id, "light");
}

TEST_F(AppSettings, TheDesktopsThemeIsFollowedWhileTheSettingAsksForIt) {
    QApplication::setPalette(desktopPalette(false));
    defaults->setValue("colorTheme", 3);
    launch();
    EXPECT_EQ(activeTheme.id, "dark") << "the stored theme is applied at launch";
    EXPECT_FALSE(internals(*app).visualEffect()->isLightAppearance());

    QApplication::setPalette(desktopPalette(true));
    EXPECT_EQ(activeTheme.id, "light") << "the desktop turned light";
    EXPECT_TRUE(internals(*app).visualEffect()->isLightAppearance());
    QApplication::setPalette(desktopPalette(false));
    EXPECT_EQ(activeTheme.id, "dark");

    // A fixed theme ignores the desktop.
    change("colorTheme", 2);
    QApplication::setPalette(desktopPalette(true));
    EXPECT_EQ(activeTheme.id, "oled");
}

TEST_F(AppSettings, UsagePollingFollowsTheBadgeSwitchAndTheInterval) {
    launch();
    // A recording service in place of the monitor the launch made: what the settings ask of it.
    auto recorder = std::make_unique<NullUsageService>();
    const NullUsageService* usage = recorder.get();
    app->services().usage = std::move(recorder);
    struct Step {
        const char* what;
        QString key;
        QVariant value;
        bool running;
        double interval;
    };
    const QList<Step> steps{
        {"an interval while nothing polls changes nothing", "aiUsageRefreshIndex", 2, false, 0},
        {"showing the badge polls at the stored interval", "showAIUsage", true, true, 1800},
        {"five minutes", "aiUsageRefreshIndex", 0, true, 300},
        {"an index past the end is the longest", "aiUsageRefreshIndex", 7, true, 1800},
        {"text counts as ten minutes", "aiUsageRefreshIndex", QStringLiteral("0"), true, 600},
        {"a negative index is the shortest", "aiUsageRefreshIndex", -3, true, 300},
        {"a value that is no Boolean hides the badge", "showAIUsage", QStringLiteral("yes"), false, 300},
    };
    for (const Step& s : steps) {
        if (s.key == "showAIUsage")
            internals(*app).settingsApplier().apply(s.key, s.value); // stored stays as it is: the value decides
        else
            change(s.key, s.value);
        EXPECT_EQ(usage->polling().running, s.running) << s.what;
        EXPECT_DOUBLE_EQ(usage->polling().intervalSeconds, s.interval) << s.what;
    }
}

TEST_F(AppSettings, KeysWithoutABranchAndUnknownKeysChangeNothing) {
    launchWithThreePanes();
    internals(*app).settingsApplier().apply("terminalFontSize", 12.0);
    const QStringList storedBefore = defaults->storedKeys();
    const QVariantMap valuesBefore = [&] {
        QVariantMap m;
        for (const QString& key : storedBefore) m.insert(key, defaults->object(key));
        return m;
    }();
    const std::string themeBefore = activeTheme.id;
    const double opacityBefore = app->window()->windowOpacity();

    for (const char* key :
         {"appLanguage", "syntaxHighlighting", "bellEnabled", "bellOSNotification", "webPickerBrowser",
          "dictationEnabled", "dictationShowOverlay", "defaultShellIndex", "copyOnSelect", "notASetting", ""})
        internals(*app).settingsApplier().apply(key, 1);

    for (const QString& key : storedBefore)
        EXPECT_EQ(defaults->object(key), valuesBefore.value(key)) << key.toStdString();
    EXPECT_EQ(defaults->storedKeys().size(), storedBefore.size());
    EXPECT_EQ(activeTheme.id, themeBefore);
    EXPECT_DOUBLE_EQ(app->window()->windowOpacity(), opacityBefore);
    for (TerminalView* view : app->workspace().allTerminalViews()) {
        EXPECT_DOUBLE_EQ(fontSizeOf(view), expectedFontSize(12.0));
        EXPECT_EQ(view->userCursorStyle(), 0);
    }
    EXPECT_EQ(app->workspace().tabs().count(), 2);
}

TEST_F(AppSettings, APromptThemeIsStoredByNameAndTypedOnlyIntoShellsAtTheirPrompt) {
    launch();
    app->workspace().toggleSplit(true);
    TerminalView* shellPane = view(0);
    TerminalView* editorPane = tab(0).splitContainer->secondaryView();
    ASSERT_TRUE(waitForShell(shellPane));
    ASSERT_TRUE(waitForShell(editorPane));

    // The second pane runs an editor in the foreground of its terminal.
    editorPane->writePTY(QStringLiteral("vi\r"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !shellOwnsTerminal(editorPane->masterFd(), editorPane->childPid()); }, 20000));
    ASSERT_TRUE(shellOwnsTerminal(shellPane->masterFd(), shellPane->childPid()));
    // Whatever vi asks of the terminal at start is answered, and its screen drawn, before the
    // counting begins: vi is on screen and the pane has neither written nor read for a while.
    ASSERT_TRUE(waitForScreen(editorPane, "~"));
    QElapsedTimer quiet;
    quiet.start();
    const auto traffic = [&] {
        return editorPane->session().counters().writeBytes + quint64(editorPane->perf.readBytes);
    };
    quint64 lastCount = traffic();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const quint64 now = traffic();
            if (now != lastCount) {
                lastCount = now;
                quiet.restart();
            }
            return quiet.elapsed() >= 400;
        },
        20000));
    const quint64 editorBytesBefore = editorPane->session().counters().writeBytes;
    const QString editorScreen = screenOf(editorPane);

    // Half a command on the shell's line: Control-U must clear it first, or the shell would run
    // "echo leftover export ..." and never set the variable.
    shellPane->writePTY(QStringLiteral("echo leftover"));

    struct Case {
        QVariant value;
        QString stored; // "" for: nothing stored, nothing typed
    };
    const QList<Case> cases{
        {QStringLiteral("retro"), ""}, // a name is no index
        {9, "default"},                // past the end
        {-1, "default"},
        {4, "retro"},
    };
    defaults->setValue("promptTheme", QStringLiteral("lambda"));
    int typed = 0;
    for (const Case& c : cases) {
        const quint64 shellBytes = shellPane->session().counters().writeBytes;
        internals(*app).settingsApplier().apply("promptTheme", c.value);
        if (c.stored.isEmpty()) {
            EXPECT_EQ(defaults->string("promptTheme"), "lambda");
            EXPECT_EQ(shellPane->session().counters().writeBytes, shellBytes);
            continue;
        }
        EXPECT_EQ(defaults->string("promptTheme"), c.stored);
        const qsizetype command = settings::promptThemeCommand(c.stored, shellConfigDir()).toUtf8().size();
        EXPECT_EQ(shellPane->session().counters().writeBytes, shellBytes + 1 + quint64(command));
        // The shell runs the line (and "clear") before the next one is typed: a line typed after it
        // shows only once the shell has read and run everything before it.
        ++typed;
        shellPane->writePTY(QStringLiteral(" echo ran$((%1*1000))\r").arg(typed));
        ASSERT_TRUE(waitForScreen(shellPane, QStringLiteral("ran%1").arg(typed * 1000)))
            << screenOf(shellPane).toStdString();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return shellOwnsTerminal(shellPane->masterFd(), shellPane->childPid()); }, 20000));
    }

    shellPane->writePTY(QStringLiteral("echo \"[$PK_PROMPT_THEME]\"\r"));
    EXPECT_TRUE(waitForScreen(shellPane, "[retro]")) << screenOf(shellPane).toStdString();
    EXPECT_FALSE(screenOf(shellPane).contains("leftover"));

    EXPECT_EQ(editorPane->session().counters().writeBytes, editorBytesBefore) << "nothing reached vi";
    EXPECT_EQ(screenOf(editorPane), editorScreen);
    EXPECT_FALSE(shellOwnsTerminal(editorPane->masterFd(), editorPane->childPid())) << "vi still runs";
}

TEST(ShellForeground, AnEndedOrMissingTerminalIsNeverTheShells) {
    EXPECT_FALSE(shellOwnsTerminal(-1, ::getpid()));
    EXPECT_FALSE(shellOwnsTerminal(0, 0));
    EXPECT_FALSE(shellOwnsTerminal(123456, ::getpid()));
}
