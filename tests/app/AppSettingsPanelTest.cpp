// The settings panel over the running controller's window: opened from the footer's gear, closed by
// its button, the gear, a press in a terminal or the end of a reset; the reset to defaults end to
// end; a launch-at-login entry that cannot be written; and a picture of the open panel.
#include "AppSettingsTestSupport.h"
#include "theme/ThemeColors.h"
#include "app/window/WindowBackdrop.h"
#include "chrome/ChromeTestSupport.h"
#include "chrome/FooterBarView.h"
#include "chrome/GearButton.h"
#include "chrome/HoverButton.h"
#include "chrome/UnsavedAlertView.h"
#include "settings/ResetRowView.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsReset.h"
#include "settings/SettingsToggle.h"
#include "support/Waits.h"
#include "terminalview/ShellList.h"
#include "terminalview/TerminalFonts.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <csignal>

using namespace apptest;

namespace {

class AppSettingsPanel : public AppSettingsTest {
protected:
    SettingsOverlay* panel() const { return app->settingsPanel().panel(); }
    QWidget* content() const { return app->contentView(); }

    bool waitForPanelGone(int timeoutMs = 5000) {
        return QTest::qWaitFor([this] { return panel() == nullptr; }, timeoutMs);
    }

    // The child of the panel's row named `name` of type T.
    template <class T> T* rowChild(const QString& name) const {
        for (QWidget* row : panel()->rows())
            if (row->objectName() == name) return row->findChild<T*>();
        return nullptr;
    }

    // The stacking position of a child of the content view: higher is in front.
    int stackIndex(QWidget* child) const { return int(content()->children().indexOf(child)); }
};

} // namespace

TEST_F(AppSettingsPanel, TheGearOpensThePanelAboveTheFooterAndClosesIt) {
    launch();
    app->window()->resize(860, 480);
    app->windowController().showWindowAnimated(); // a shown window hears of its size changes at once
    GearButton* gear = internals(*app).footerView()->gearButton();
    chrometest::enter(gear);
    chrometest::click(gear);
    QPointer<SettingsOverlay> opened = panel();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->parentWidget(), content());
    EXPECT_EQ(gear->gearColorTarget(), GearButton::normalGearColor()) << "the gear drops its hover look";
    EXPECT_GT(stackIndex(internals(*app).footerView()), stackIndex(opened)) << "the footer stays in front";
    // It starts hidden behind the footer and rests on it once open: 284 high in a 480-high window.
    EXPECT_EQ(opened->geometry(), SettingsOverlay::hiddenFrame(content()->size(), 284));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return opened->geometry() == SettingsOverlay::openFrame(content()->size()); }, 5000));
    EXPECT_EQ(opened->height(), 284);
    EXPECT_EQ(opened->geometry().bottom() + 1, content()->height() - FooterBarView::barHeight);

    app->settingsPanel().show(); // already open: the same panel
    EXPECT_EQ(panel(), opened.data());

    // A wider window widens the panel; its height stays.
    app->window()->resize(1000, 480);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened->width() == 1000; }, 5000));
    EXPECT_EQ(opened->height(), 284);
    EXPECT_EQ(opened->geometry().bottom() + 1, content()->height() - FooterBarView::barHeight);

    chrometest::click(gear);
    EXPECT_EQ(panel(), opened.data()) << "set until the end of the closing";
    app->settingsPanel().show(); // while closing: nothing
    EXPECT_EQ(panel(), opened.data());
    ASSERT_TRUE(waitForPanelGone());
    chrometest::flushDeletes();
    EXPECT_TRUE(opened.isNull()) << "the closed panel is gone";

    // The close button closes a fresh panel, built again from the settings.
    app->settingsPanel().toggle();
    ASSERT_TRUE(panel());
    EXPECT_NE(panel(), opened.data());
    chrometest::finishAnimations(panel());
    chrometest::click(panel()->closeButton());
    ASSERT_TRUE(waitForPanelGone());
}

TEST_F(AppSettingsPanel, ALeftPressInATerminalClosesThePanel) {
    launch();
    app->settingsPanel().show();
    ASSERT_TRUE(panel());
    chrometest::finishAnimations(panel());
    // A press in the panel itself, or a right press in a terminal, leaves it open.
    chrometest::click(panel()->headerView(), {5, 5});
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(20, 20), view(0)->mapToGlobal(QPointF(20, 20)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(view(0), &right);
    testsupport::drainEvents();
    ASSERT_TRUE(panel());
    EXPECT_FALSE(testsupport::isAnimating(panel())) << "the panel began to close";

    chrometest::press(view(0), {20, 20});
    EXPECT_TRUE(waitForPanelGone());
}

TEST_F(AppSettingsPanel, ResetReturnsTheProgramToItsFirstStartAndKeepsUnsavedEditors) {
    launch();
    app->workspace().toggleSplit(true);
    app->workspace().createEditorTabInternal(std::nullopt); // unsaved work
    EditorView* unsaved = tab(1).editorView;
    unsaved->textView()->insertPlainText("keep me");
    ASSERT_TRUE(tab(1).editorDirty);
    app->workspace().createEditorTabInternal(std::nullopt); // an empty editor
    app->workspace().addTab();
    app->workspace().toggleSplit(false);
    ASSERT_EQ(app->workspace().tabs().count(), 4);
    ASSERT_TRUE(waitForShell(view(0)));
    // The reset meets the window shown, as the user's is: its slide back to the first-start frame
    // must not be remembered as a place the user chose.
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->window()->isVisible() && !app->windowController().isAnimating(); }, 5000));
    const pid_t firstShell = view(0)->childPid();
    const pid_t secondPane = tab(0).splitContainer->secondaryView()->childPid();

    for (const auto& [key, value] : QList<std::pair<QString, QVariant>>{{"terminalFontSize", 15.0},
                                                                        {"cursorStyle", 2},
                                                                        {"windowOpacity", 0.6},
                                                                        {"blurIntensity", 0.3},
                                                                        {"alwaysOnTop", false},
                                                                        {"hideOnClickOutside", true},
                                                                        {"promptTheme", 5},
                                                                        {"colorTheme", 1}}) {
        defaults->setValue(key, value);
        internals(*app).settingsApplier().apply(key, value);
    }
    defaults->setValue("cursorStyle", QStringLiteral("2")); // a value of the wrong type is undone too
    app->window()->resize(1100, 640);
    const QString config = settings::configDirectory();
    QDir().mkpath(config + "/history");
    QFile old(config + "/history/old");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    ASSERT_FALSE(settings::isAtDefaults(*defaults));

    // Through the panel: the reset row asks, and the yes button confirms.
    app->settingsPanel().show();
    QPointer<SettingsOverlay> opened = panel();
    ASSERT_TRUE(opened);
    chrometest::finishAnimations(opened);
    chrometest::click(opened->resetRow());
    ASSERT_TRUE(opened->confirmView());
    auto* yes = opened->confirmView()->findChild<HoverButton*>("yes");
    ASSERT_TRUE(yes);
    chrometest::click(yes);
    // The reset leaves the first pane without scrollback. Checked at once: the fresh shell it starts
    // soon writes its own start-up (a prompt, a cleared screen) that may scroll into the history.
    EXPECT_TRUE(view(0)->terminal().scrollback().empty());

    // The tabs: the first, unsplit, with a fresh default shell, and the unsaved editor, unasked.
    EXPECT_EQ(app->workspace().tabs().count(), 2);
    expectTabsInStep();
    EXPECT_EQ(app->workspace().activeTab(), 0);
    EXPECT_FALSE(tab(0).splitContainer->isSplit());
    EXPECT_EQ(tab(1).editorView.data(), unsaved);
    EXPECT_TRUE(tab(1).editorDirty);
    EXPECT_EQ(unsaved->text(), "keep me");
    EXPECT_EQ(content()->findChild<UnsavedAlertView*>(), nullptr);
    EXPECT_EQ(view(0)->currentShell(), chooseShell("/bin/zsh"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return view(0)->childPid() > 0 && view(0)->childPid() != firstShell; }, 20000));
    EXPECT_TRUE(waitForProcessEnd(firstShell));
    EXPECT_TRUE(waitForProcessEnd(secondPane));

    // The settings, the window and the panes are back at their first start.
    EXPECT_TRUE(settings::isAtDefaults(*defaults));
    EXPECT_EQ(defaults->integer("defaultShellIndex"), 0);
    EXPECT_NEAR(app->window()->windowOpacity(), 0.99, 0.01);
    EXPECT_DOUBLE_EQ(internals(*app).visualEffect()->intensity(), 0.96);
    EXPECT_EQ(activeTheme.id, "dark") << "the theme on screen is the one the reset stored";
    EXPECT_TRUE(app->windowController().isWindowKeptAbove());
    EXPECT_FALSE(app->windowController().hidesOnClickOutside()) << "no click-outside hiding left behind";
    // The first-start size, kept within the screen (offscreen it is narrower than the window).
    const QRect screen = app->window()->screen()->availableGeometry();
    const QSize firstStart(std::min(860, screen.width()), std::min(480, screen.height()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->window()->size() == firstStart; }, 5000))
        << app->window()->width() << "x" << app->window()->height();
    EXPECT_TRUE(screen.contains(app->window()->geometry())) << "nothing of it off the screen";
    EXPECT_EQ(view(0)->userCursorStyle(), 0);
    EXPECT_DOUBLE_EQ(view(0)->fonts().font.pointSizeF(), makeTerminalFonts(10.0, 0).font.pointSizeF());

    // The configuration folder is there again, emptied, for the histories and the crash log.
    EXPECT_TRUE(QFileInfo(config).isDir());
    EXPECT_FALSE(QFileInfo::exists(config + "/history/old"));

    // The panel closes; the next one shows nothing to reset.
    ASSERT_TRUE(waitForPanelGone());
    app->settingsPanel().show();
    auto* row = qobject_cast<ResetRowView*>(panel()->resetRow());
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->isDisabled());
}

TEST_F(AppSettingsPanel, ALaunchAtLoginEntryThatCannotBeWrittenLeavesTheSwitchOffAndSaysSo) {
    // A file where the autostart folder should be: the entry cannot be written.
    QFile blocker(home + "/.config/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    launch();
    app->settingsPanel().show();
    ASSERT_TRUE(panel());
    chrometest::finishAnimations(panel());
    auto* toggle = rowChild<SettingsToggle>("toggle:autoStartEnabled");
    ASSERT_TRUE(toggle);

    chrometest::click(toggle);
    EXPECT_FALSE(toggle->isOn());
    EXPECT_FALSE(defaults->boolean("autoStartEnabled"));
    QWidget* toast = app->toasts().toast("settingsMessage");
    ASSERT_TRUE(toast) << "the user is told";
    EXPECT_EQ(toast->parentWidget(), content());
    EXPECT_FALSE(QFileInfo(home + "/.config/autostart").isDir());

    // The same switch from elsewhere (the palette) is undone and told the same way.
    toast->deleteLater();
    chrometest::flushDeletes();
    defaults->setValue("autoStartEnabled", true);
    internals(*app).settingsApplier().apply("autoStartEnabled", true);
    EXPECT_FALSE(defaults->boolean("autoStartEnabled"));
    EXPECT_FALSE(toggle->isOn());
    EXPECT_TRUE(app->toasts().toast("settingsMessage"));

    // Where it can be written, the switch writes the entry and removes it again.
    ASSERT_TRUE(QFile::remove(home + "/.config/autostart"));
    chrometest::click(toggle);
    EXPECT_TRUE(toggle->isOn());
    EXPECT_TRUE(QFileInfo::exists(home + "/.config/autostart/com.glimmerdock.autostart.desktop"));
    chrometest::click(toggle);
    EXPECT_FALSE(QFileInfo::exists(home + "/.config/autostart/com.glimmerdock.autostart.desktop"));
}

TEST_F(AppSettingsPanel, APictureOfTheOpenPanelInTheWindow) {
    launch();
    app->window()->resize(860, 480);
    app->windowController().showWindowAnimated();
    ASSERT_TRUE(waitForShell(view(0)));
    view(0)->writePTY(QStringLiteral("printf '\\033[32mready\\033[0m\\n'\r"));
    waitForScreen(view(0), "ready");
    app->settingsPanel().show();
    ASSERT_TRUE(panel());
    chrometest::finishAnimations(panel());
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd({app.get()}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view(0)->isDirty(); }, 5000));

    const QImage image = app->window()->grab().toImage();
    ASSERT_FALSE(image.isNull());
    const QString dir = qEnvironmentVariable("DUNMAR_BUILD_DIR") + "/artifacts";
    QDir().mkpath(dir);
    EXPECT_TRUE(image.save(dir + "/settings-in-window.png"));

    // The panel is drawn where it lies: its header strip is dark, and the terminal above it keeps
    // its own background.
    const QRect frame = panel()->geometry();
    const qreal scale = image.devicePixelRatio();
    auto pixel = [&](int x, int y) { return image.pixelColor(QPoint(int(x * scale), int(y * scale))); };
    EXPECT_LT(pixel(frame.left() + 40, frame.top() + 5).lightnessF(), 0.1);
    EXPECT_NE(pixel(frame.left() + 40, frame.top() + 5), pixel(frame.left() + 40, frame.top() - 5));
}
