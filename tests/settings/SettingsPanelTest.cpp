#include "SettingsTestSupport.h"
#include "chrome/FlippedClipView.h"
#include "chrome/HoverButton.h"
#include "localisation/LanguageNotifier.h"
#include "settings/Autostart.h"
#include "settings/MiniSlider.h"

#include <cmath>
#include "settings/ReportCoalescer.h"
#include "settings/ResetRowView.h"
#include "settings/SegmentedControl.h"
#include "settings/SettingsToggle.h"
#include "settings/ThemeCardView.h"
#include "support/Waits.h"

#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace settingstest;
using namespace chrometest;

namespace {

SettingsToggle* toggleOf(QWidget* row) {
    return row ? row->findChild<SettingsToggle*>() : nullptr;
}

SegmentedControl* choiceOf(QWidget* row) {
    return row ? row->findChild<SegmentedControl*>() : nullptr;
}

using Panel = PanelFixture;

} // namespace

TEST(SettingsPanel, RowsInOrderWithTheirTitles) {
    Panel p;
    p.build();
    const QList<std::pair<QString, QString>> expected{
        {"header:language", "LANGUAGE"},
        {"language:appLanguage", ""},
        {"header:colorTheme", "COLOR THEME"},
        {"colorTheme:colorTheme", ""},
        {"slider:windowOpacity", "Opacity"},
        {"slider:blurIntensity", "Blur"},
        {"slider:terminalFontSize", "Font Size"},
        {"choice:cursorStyle", "Cursor"},
        {"toggle:cursorBlink", "Cursor Blink"},
        {"choice:fontFamily", "Font"},
        {"toggle:syntaxHighlighting", "Syntax Highlighting"},
        {"promptTheme:promptTheme", ""},
        {"choice:defaultShellIndex", "Default Shell"},
        {"header:window", "WINDOW"},
        {"toggle:alwaysOnTop", "Always on Top"},
        {"toggle:followAllSpaces", "Follow All Spaces"},
        {"toggle:autoDim", "Auto-Dim"},
        {"toggle:hideOnClickOutside", "Hide on Click Outside"},
        {"toggle:hideOnDeactivate", "Hide on Deactivate"},
        {"toggle:copyOnSelect", "Copy on Select"},
        {"toggle:autoStartEnabled", "Launch at Login"},
        {"toggle:autoCheckUpdates", "Auto-Check Updates"},
        {"bell:bellEnabled", "Bell Notification"},
        {"toggle:bellOSNotification", "↳ OS Notification"},
        {"bellSound:bellSoundName", "↳ Sound"},
        {"dictation:dictationEnabled", "Dictation"},
        {"choice:dictationPushToTalkKey", "Push-to-Talk Key"},
        {"toggle:dictationPushToTalkGlobal", "Push-to-Talk in Any Window"},
        {"header:webpicker", "WEBPICKER"},
        {"choice:browser", "Browser"},
        {"header:claude", "CLAUDE CODE"},
        {"toggle:showAIUsage", "Show Usage Badge"},
        {"choice:aiUsageRefreshIndex", "Refresh"},
        {"status:aiUsage", "Status"},
        {"header:remote", "REMOTE"},
        {"remote:remoteEnabled", "Remote"},
        {"reset:resetDefaults", "Reset to Defaults"},
    };
    ASSERT_EQ(p.panel->rows().size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(p.panel->rows().at(i)->objectName(), expected.at(i).first);
        EXPECT_EQ(rowTitle(p.panel->rows().at(i)), expected.at(i).second);
    }
    EXPECT_EQ(choiceOf(rowNamed(*p.panel, "choice:cursorStyle"))->labels(),
              (QStringList{"▁ Line", "▏Beam", "█ Block"}));
    EXPECT_EQ(choiceOf(rowNamed(*p.panel, "choice:fontFamily"))->labels(),
              (QStringList{"Fira Code", "JetBrains Mono", "Monocraft", "Iosevka Thin"}));
    EXPECT_EQ(choiceOf(rowNamed(*p.panel, "bellSound:bellSoundName"))->labels(),
              (QStringList{"Purr", "Ping", "Funk", "Glass", "Bottle", "Frog"}));
    EXPECT_EQ(choiceOf(rowNamed(*p.panel, "choice:dictationPushToTalkKey"))->labels(),
              (QStringList{"Right Ctrl", "Right Alt", "F13"}));
    EXPECT_EQ(choiceOf(rowNamed(*p.panel, "choice:aiUsageRefreshIndex"))->labels(),
              (QStringList{"5m", "10m", "30m"}));
    EXPECT_TRUE(p.reports.isEmpty()) << "nothing is reported before the user changes something";
}

TEST(SettingsPanel, LayoutStacksRowsUnderTheHeaderAndReflowsOnResize) {
    Panel p;
    p.build(600, 300);
    EXPECT_EQ(p.panel->headerView()->geometry(), QRect(0, 0, 600, SettingsOverlay::headerH));
    EXPECT_EQ(p.panel->contentScroll()->geometry(), QRect(0, 30, 600, 270));
    EXPECT_EQ(p.panel->closeButton()->frame(), QRect(600 - 6 - 16, 7, 16, 16));

    int y = 12;
    int docHeight = 12;
    for (QWidget* row : p.panel->rows()) {
        const int h = row->objectName().startsWith("promptTheme") ? 124 : 28;
        EXPECT_EQ(row->geometry(), QRect(16, y, 600 - 32, h)) << row->objectName().toStdString();
        y += h + 12;
        docHeight += h + 12;
    }
    EXPECT_EQ(p.panel->contentDoc()->height(), docHeight);

    p.panel->resize(420, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(p.panel->rows().first()->geometry(), QRect(16, 12, 420 - 32, 28));
    EXPECT_EQ(p.panel->headerView()->geometry(), QRect(0, 0, 420, 30));

    // The prompt-theme cards: 16 high, one apart, 3 in from the picker's edges.
    QWidget* picker = p.panel->themePickerView();
    ASSERT_EQ(p.panel->themeCards().size(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(p.panel->themeCards().at(i)->geometry(), QRect(3, 3 + 17 * i, picker->width() - 6, 16));
}

TEST(SettingsPanel, OpensOnItsFirstRowAndCloseButtonRunsOnClose) {
    Panel p;
    p.build(600, 200);
    EXPECT_EQ(p.panel->contentScroll()->verticalScrollBar()->value(), 0);
    EXPECT_GT(p.panel->contentScroll()->verticalScrollBar()->maximum(), 0);

    click(p.panel->closeButton()); // without onClose: nothing
    int closes = 0;
    p.panel->onClose = [&closes] { ++closes; };
    click(p.panel->closeButton());
    EXPECT_EQ(closes, 1);
}

TEST(SettingsPanel, ToggleWritesBeforeItReports) {
    Panel p;
    p.build();
    QVariant storedAtReport;
    p.panel->onChanged = [&](const QString& key, const QVariant& value) {
        p.reports.append({key, value});
        storedAtReport = p.env.defaults->object(key);
    };
    click(toggleOf(rowNamed(*p.panel, "toggle:autoDim")));
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).key, "autoDim");
    EXPECT_EQ(p.reports.at(0).value, QVariant(true));
    EXPECT_EQ(storedAtReport, QVariant(true));
    // The reset row lights up now that a setting differs.
    EXPECT_FALSE(qobject_cast<ResetRowView*>(p.panel->resetRow())->isDisabled());
}

TEST(SettingsPanel, UnsetBellAndDictationSwitchesShowOn) {
    Panel p;
    p.build();
    EXPECT_TRUE(toggleOf(rowNamed(*p.panel, "bell:bellEnabled"))->isOn());
    EXPECT_TRUE(toggleOf(rowNamed(*p.panel, "toggle:bellOSNotification"))->isOn());
    QWidget* dictation = rowNamed(*p.panel, "dictation:dictationEnabled");
    const auto toggles = dictation->findChildren<SettingsToggle*>();
    ASSERT_EQ(toggles.size(), 2);
    EXPECT_TRUE(toggles.at(0)->isOn());
    EXPECT_TRUE(toggles.at(1)->isOn());

    click(toggles.at(1));
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).key, "dictationShowOverlay");
    EXPECT_EQ(p.env.defaults->object("dictationShowOverlay"), QVariant(false));
}

TEST(SettingsPanel, SliderDragWritesEveryStepAndReportsAtMostOncePerFrameEndingExact) {
    Panel p;
    p.build();
    QWidget* row = rowNamed(*p.panel, "slider:terminalFontSize");
    auto* slider = row->findChild<MiniSlider*>();
    auto* valueLabel = row->findChild<QLabel*>("value");
    ASSERT_TRUE(slider && valueLabel);
    EXPECT_EQ(valueLabel->text(), "10pt");

    const int steps = 12;
    QList<double> written;
    mouse(slider, QEvent::MouseButtonPress, {slider->positionOf(10.0), 8});
    for (int i = 1; i <= steps; ++i) {
        const double v = 10.0 + i * 0.5;
        mouse(slider, QEvent::MouseMove, {slider->positionOf(v), 8});
        written << p.env.defaults->doubleValue("terminalFontSize");
        // The stored value is the one the label shows, a whole point, wherever the knob lies.
        EXPECT_DOUBLE_EQ(written.last(), std::round(slider->value()));
        EXPECT_EQ(valueLabel->text(), QString::asprintf("%0.fpt", written.last()));
    }
    // A burst faster than a frame: the first step went out, the rest is held...
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).key, "terminalFontSize");
    EXPECT_EQ(p.reports.at(0).value.typeId(), QMetaType::Double);
    // ...and the release sends the final value at once, exactly.
    mouse(slider, QEvent::MouseButtonRelease, {slider->positionOf(16.0), 8}, Qt::NoButton);
    ASSERT_EQ(p.reports.size(), 2);
    EXPECT_DOUBLE_EQ(p.reports.last().value.toDouble(), slider->value());
    EXPECT_NEAR(slider->value(), 16.0, 1e-9);
    EXPECT_DOUBLE_EQ(p.env.defaults->doubleValue("terminalFontSize"), slider->value());

    // A slow drag reports each step (at once, or when the frame the step before opened ends);
    // values are doubles of the same number that was written.
    p.reports.clear();
    mouse(slider, QEvent::MouseButtonPress, {slider->positionOf(16.0), 8});
    for (double v : {15.0, 14.0, 13.0}) {
        const qsizetype before = p.reports.size();
        mouse(slider, QEvent::MouseMove, {slider->positionOf(v), 8});
        ASSERT_TRUE(QTest::qWaitFor([&] { return p.reports.size() > before; }, 5000)) << v;
        EXPECT_EQ(p.reports.size(), before + 1) << v;
        EXPECT_NEAR(p.reports.last().value.toDouble(), v, 1e-9);
    }
    mouse(slider, QEvent::MouseButtonRelease, {slider->positionOf(13.0), 8}, Qt::NoButton);
    ASSERT_EQ(p.reports.size(), 3);
    EXPECT_NEAR(p.reports.last().value.toDouble(), 13.0, 1e-9);
    // Nothing is held back that could follow the drag.
    for (const ReportCoalescer* coalescer : p.panel->findChildren<ReportCoalescer*>())
        EXPECT_FALSE(coalescer->hasPending());
    testsupport::drainEvents();
    EXPECT_EQ(p.reports.size(), 3) << "nothing more after the drag";
}

TEST(SettingsPanel, ChoicesShowTheStoredIndexClampedAndWriteIntegers) {
    Panel p;
    p.env.defaults->setValue("cursorStyle", 5);
    p.env.defaults->setValue("fontFamily", 9);
    p.build();
    EXPECT_EQ(choiceOf(rowNamed(*p.panel, "choice:cursorStyle"))->selectedSegment(), 2);
    EXPECT_EQ(choiceOf(rowNamed(*p.panel, "choice:fontFamily"))->selectedSegment(), 3);

    SegmentedControl* shells = choiceOf(rowNamed(*p.panel, "choice:defaultShellIndex"));
    click(shells, shells->segmentRect(1).center());
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).key, "defaultShellIndex");
    EXPECT_EQ(p.reports.at(0).value, QVariant(1));
    EXPECT_EQ(p.env.defaults->integer("defaultShellIndex"), 1);

    // The browser row is dimmed and inert whatever is clicked.
    SegmentedControl* browser = choiceOf(rowNamed(*p.panel, "choice:browser"));
    EXPECT_FALSE(browser->isEnabled());
    EXPECT_EQ(browser->selectedSegment(), 0);
    click(browser, browser->segmentRect(1).center());
    EXPECT_EQ(browser->selectedSegment(), 0);
    EXPECT_EQ(p.reports.size(), 1);
    EXPECT_FALSE(p.env.defaults->hasStoredValue("webPickerBrowser"));
}

TEST(SettingsPanel, UpdateToggleFindsTheSwitchByItsTitle) {
    Panel p;
    p.build();
    SettingsToggle* onTop = toggleOf(rowNamed(*p.panel, "toggle:alwaysOnTop"));
    SettingsToggle* launch = toggleOf(rowNamed(*p.panel, "toggle:autoStartEnabled"));
    SettingsToggle* spaces = toggleOf(rowNamed(*p.panel, "toggle:followAllSpaces"));
    ASSERT_TRUE(onTop->isOn());
    p.panel->updateToggle("alwaysOnTop", false);
    EXPECT_FALSE(onTop->isOn());
    p.panel->updateToggle("autoStartEnabled", true);
    EXPECT_TRUE(launch->isOn());
    // Keys without a title entry change nothing, even when a row shows them.
    p.panel->updateToggle("followAllSpaces", true);
    EXPECT_FALSE(spaces->isOn());
    p.panel->updateToggle("noSuchKey", true);

    EXPECT_TRUE(p.reports.isEmpty());
    EXPECT_FALSE(p.env.defaults->hasStoredValue("alwaysOnTop"));
    EXPECT_FALSE(p.env.defaults->hasStoredValue("autoStartEnabled"));
}

TEST(SettingsPanel, UpdateToggleFollowsTheInterfaceLanguage) {
    Panel p;
    p.env.defaults->setValue("appLanguage", QStringLiteral("de"));
    p.build();
    SettingsToggle* blink = toggleOf(rowNamed(*p.panel, "toggle:cursorBlink"));
    EXPECT_NE(rowTitle(rowNamed(*p.panel, "toggle:cursorBlink")), "Cursor Blink");
    p.panel->updateToggle("cursorBlink", false);
    EXPECT_FALSE(blink->isOn());
}

TEST(SettingsPanel, LanguageClickStoresPostsTwiceAndCloses) {
    Panel p;
    p.build();
    QWidget* row = rowNamed(*p.panel, "language:appLanguage");
    QWidget* german = row->findChild<QWidget*>("language-de");
    QWidget* english = row->findChild<QWidget*>("language-en");
    ASSERT_TRUE(german && english);
    EXPECT_EQ(row->findChildren<QWidget*>(QRegularExpression("^language-")).size(), 10);

    QSignalSpy posts(&LanguageNotifier::shared(), &LanguageNotifier::appLanguageChanged);
    int closes = 0;
    p.panel->onClose = [&] {
        ++closes;
        EXPECT_EQ(posts.count(), 1) << "closed between the two announcements";
        p.panel.reset(); // the owner removes the panel at once
    };
    click(german);
    EXPECT_EQ(p.env.defaults->string("appLanguage"), "de");
    EXPECT_EQ(posts.count(), 1);
    EXPECT_EQ(closes, 0);
    QTRY_COMPARE_WITH_TIMEOUT(closes, 1, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(posts.count(), 2, 2000);
    testsupport::drainEvents();
    EXPECT_EQ(posts.count(), 2);
    EXPECT_TRUE(p.reports.isEmpty());
}

TEST(SettingsPanel, BellRowsTestAndPreviewTheSoundThroughTheHost) {
    Panel p;
    p.env.defaults->setValue("bellSoundName", QStringLiteral("Sosumi"));
    p.build();
    QWidget* bell = rowNamed(*p.panel, "bell:bellEnabled");
    auto* test = bell->findChild<HoverButton*>("test");
    ASSERT_TRUE(test);
    click(test);
    EXPECT_TRUE(p.host.calls.isEmpty()) << "the test sound plays after the click";
    QTRY_COMPARE_WITH_TIMEOUT(p.host.calls, QStringList{"ringBellForTest"}, 2000);

    SegmentedControl* sounds = choiceOf(rowNamed(*p.panel, "bellSound:bellSoundName"));
    EXPECT_EQ(sounds->selectedSegment(), 0);
    EXPECT_EQ(p.env.defaults->string("bellSoundName"), "Sosumi") << "unknown names stay until the user picks";
    p.host.calls.clear();
    click(sounds, sounds->segmentRect(3).center());
    EXPECT_EQ(p.env.defaults->string("bellSoundName"), "Glass");
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).value, QVariant(QStringLiteral("Glass")));
    EXPECT_EQ(p.host.calls, (QStringList{"reloadBellSound", "ringBellForTest"}));

    click(toggleOf(bell));
    EXPECT_EQ(p.reports.last().key, "bellEnabled");
    EXPECT_EQ(p.reports.last().value, QVariant(false));
}

TEST(SettingsPanel, StatusRowShowsWhetherTheTokenIsThere) {
    for (bool token : {true, false}) {
        Panel p;
        p.host.token = token;
        p.build();
        auto* value = rowNamed(*p.panel, "status:aiUsage")->findChild<QLabel*>("value");
        EXPECT_EQ(value->text(), token ? "Connected" : "No Claude Code Token");
    }
}

TEST(SettingsPanel, PairingCodeIsSixDigitsStoredOnceAndUsedByTheRemoteSwitch) {
    Panel p;
    p.build();
    const QString code = p.panel->pairingCode();
    EXPECT_TRUE(QRegularExpression("^[0-9]{6}$").match(code).hasMatch()) << code.toStdString();
    EXPECT_EQ(p.env.defaults->string("remotePairingCode"), code);
    auto* codeLabel = rowNamed(*p.panel, "remote:remoteEnabled")->findChild<QLabel*>("code");
    EXPECT_EQ(codeLabel->text(), "Code: " + code + QString::fromUtf8(" \u00B7 No relay configured"));

    p.env.defaults->setValue("remoteRelayHost", "relay.example.net");
    SettingsOverlay again(*p.env.defaults, &p.host);
    EXPECT_EQ(again.pairingCode(), code);
    EXPECT_EQ(rowNamed(again, "remote:remoteEnabled")->findChild<QLabel*>("code")->text(), "Code: " + code);

    // Turned on after the stored code went away: the code the row shows.
    p.env.defaults->removeObject("remotePairingCode");
    SettingsToggle* remote = toggleOf(rowNamed(*p.panel, "remote:remoteEnabled"));
    click(remote);
    EXPECT_EQ(p.host.streamingCodes, QStringList{code});
    EXPECT_TRUE(p.env.defaults->boolean("remoteEnabled"));
    click(remote);
    EXPECT_EQ(p.host.calls.last(), "stopRemoteStreaming");
    EXPECT_FALSE(p.env.defaults->boolean("remoteEnabled"));
    EXPECT_TRUE(p.reports.isEmpty()) << "the remote row reports nothing";

    // Codes are spread over the whole range, leading zeros kept.
    SettingsEnvironment env;
    QSet<QString> seen;
    for (int i = 0; i < 40; ++i) {
        env.defaults->removeObject("remotePairingCode");
        SettingsOverlay panel(*env.defaults, nullptr);
        EXPECT_EQ(panel.pairingCode().size(), 6);
        seen.insert(panel.pairingCode());
    }
    EXPECT_GT(seen.size(), 35);
}

TEST(SettingsPanel, LaunchAtLoginWritesTheEntryBeforeTheReport) {
    Panel p;
    p.build();
    bool entryAtReport = false;
    p.panel->onChanged = [&](const QString& key, const QVariant& value) {
        p.reports.append({key, value});
        entryAtReport = QFile::exists(autostart::entryPath());
    };
    SettingsToggle* launch = toggleOf(rowNamed(*p.panel, "toggle:autoStartEnabled"));
    click(launch);
    EXPECT_TRUE(entryAtReport);
    EXPECT_TRUE(autostart::entryPath().startsWith(p.env.config + "/autostart/"));
    EXPECT_TRUE(p.env.defaults->boolean("autoStartEnabled"));
    click(launch);
    EXPECT_FALSE(QFile::exists(autostart::entryPath()));
    EXPECT_FALSE(p.env.defaults->boolean("autoStartEnabled"));
    ASSERT_EQ(p.reports.size(), 2);
    EXPECT_EQ(p.reports.at(1).value, QVariant(false));
    EXPECT_TRUE(p.host.messages.isEmpty());
}

TEST(SettingsPanel, LaunchAtLoginThatCannotBeWrittenTurnsBackOffAndSaysSo) {
    Panel p;
    // A file where the autostart folder should be: the entry cannot be created.
    QFile blocker(p.env.config + "/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    p.build();
    SettingsToggle* launch = toggleOf(rowNamed(*p.panel, "toggle:autoStartEnabled"));
    click(launch);
    EXPECT_FALSE(launch->isOn());
    EXPECT_FALSE(p.env.defaults->boolean("autoStartEnabled"));
    ASSERT_EQ(p.host.messages.size(), 1);
    EXPECT_TRUE(p.host.messages.first().contains("Launch at Login could not be turned on"));
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).value, QVariant(false)) << "the controller hears the state that stands";
}

TEST(SettingsPanel, OpenAndCloseAnimationsTravelFromBehindTheFooter) {
    EXPECT_EQ(SettingsOverlay::panelHeight(480), 284);
    const QSize content(860, 480);
    EXPECT_EQ(SettingsOverlay::openFrame(content), QRect(0, 480 - 44 - 284, 860, 284));
    EXPECT_EQ(SettingsOverlay::hiddenFrame(content, 284), QRect(0, 480 - 44, 860, 284));

    SettingsEnvironment env;
    QWidget window;
    window.resize(content);
    auto* panel = new SettingsOverlay(*env.defaults, nullptr, &window);
    window.show();
    panel->animateOpen(content);
    EXPECT_EQ(panel->geometry(), SettingsOverlay::hiddenFrame(content, 284));
    EXPECT_EQ(chrome::widgetAlpha(panel), 0.0);
    finishAnimations(panel);
    EXPECT_EQ(panel->geometry(), SettingsOverlay::openFrame(content));
    EXPECT_EQ(chrome::widgetAlpha(panel), 1.0);

    int done = 0;
    panel->animateClose([&done] { ++done; });
    finishAnimations(panel);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(panel->geometry(), QRect(0, 480 - 44, 860, 284));
    EXPECT_EQ(chrome::widgetAlpha(panel), 0.0);
}

TEST(SettingsPanel, LaunchAtLoginThatCannotBeRemovedStaysOnAndSaysSo) {
    Panel p;
    // A folder with content where the entry should be: it cannot be removed as a file.
    QDir().mkpath(autostart::entryPath() + "/inside");
    p.env.defaults->setValue("autoStartEnabled", true);
    p.build();
    SettingsToggle* launch = toggleOf(rowNamed(*p.panel, "toggle:autoStartEnabled"));
    ASSERT_TRUE(launch->isOn());
    click(launch);
    EXPECT_TRUE(launch->isOn());
    EXPECT_TRUE(p.env.defaults->boolean("autoStartEnabled"));
    ASSERT_EQ(p.host.messages.size(), 1);
    EXPECT_TRUE(p.host.messages.first().contains("could not be turned off"));
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).value, QVariant(true));
}
