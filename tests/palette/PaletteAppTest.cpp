// The palette in the running controller: opened by its action and the version button, its
// commands reaching the controller's own operations, the search drawn by the terminals.
#include "app/AppTestSupport.h"
#include "app/palette/PaletteServiceHost.h"
#include "app/window/WindowController.h"
#include "chrome/HoverButton.h"
#include "palette/HelpViewer.h"
#include "palette/PaletteSubsystem.h"
#include "support/Artifacts.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

class PaletteApp : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        palette = &installPaletteService(*app, *defaults);
        launch();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return app->window()->isVisible() && !app->windowController().isAnimating(); }, 5000));
        ASSERT_TRUE(apptest::waitForShell(view(0)));
    }

    CommandPaletteView* open() {
        app->perform(Action::toggleCommandPalette);
        CommandPaletteView* shown = palette->commandPalette();
        EXPECT_NE(shown, nullptr);
        return shown;
    }
    // Opens the palette and runs the first command whose title starts with `query`.
    void run(const QString& query) {
        CommandPaletteView* shown = open();
        ASSERT_NE(shown, nullptr);
        QTest::keyClicks(shown->searchField(), query);
        ASSERT_FALSE(shown->filtered().empty()) << query.toStdString();
        QTest::keyClick(shown->searchField(), Qt::Key_Return);
    }
    void answer(const QString& text) {
        ASSERT_NE(palette->commandPalette(), nullptr);
        QTest::keyClicks(palette->commandPalette()->searchField(), text);
        QTest::keyClick(palette->commandPalette()->searchField(), Qt::Key_Return);
    }
    bool waitClosed() {
        return QTest::qWaitFor([&] { return palette->commandPalette() == nullptr; }, 5000);
    }
    static QString toastText(QWidget* toast) {
        QString text;
        if (toast)
            for (const QLabel* label : toast->findChildren<QLabel*>())
                text += label->text() + QLatin1Char('|');
        return text;
    }

    PaletteSubsystem* palette = nullptr;
};

} // namespace

TEST_F(PaletteApp, CommandsReachTheController) {
    run(QStringLiteral("New Tab"));
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(app->workspace().tabs().count(), 2);

    run(QStringLiteral("Cursor Beam"));
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(defaults->integer(QStringLiteral("cursorStyle")), 1);

    run(QStringLiteral("Fontsize"));
    answer(QStringLiteral("14"));
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(defaults->doubleValue(QStringLiteral("terminalFontSize")), 14.0);
    EXPECT_EQ(view(1)->paneSettings().fontSize, 14.0) << "applied to the running panes";

    const GitPanelPosition gitBefore = tab(app->workspace().tabs().activeTab()).gitPosition;
    run(QStringLiteral("Git"));
    ASSERT_TRUE(waitClosed());
    EXPECT_NE(tab(app->workspace().tabs().activeTab()).gitPosition, gitBefore) << "the git panel moved";

    // A press in a terminal closes the palette, and so does hiding the window.
    open();
    EXPECT_TRUE(app->isCommandPaletteShown());
    app->dismissCommandPalette();
    EXPECT_TRUE(waitClosed());
    open();
    app->windowController().hideWindowAnimated();
    EXPECT_FALSE(app->isCommandPaletteShown());
    EXPECT_TRUE(waitClosed());
}

TEST_F(PaletteApp, TheFieldTakesTheKeysOverAnEditorTabInVimMode) {
    app->workspace().createEditorTab();
    TabState& editor = tab(app->workspace().activeTab());
    ASSERT_TRUE(editor.editorView);
    editor.editorMode = EditorInputMode::vim;
    editor.editorView->setInputMode(EditorInputMode::vim);
    CommandPaletteView* shown = open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown->searchField()->hasFocus(); }, 5000));
    // Typed as the window receives keys, through its native window.
    for (const char c : {'n', 'e', 'w'}) QTest::keyClick(app->window()->windowHandle(), c);
    EXPECT_EQ(shown->searchField()->text(), QStringLiteral("new"));
    QTest::keyClick(app->window()->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(waitClosed());
}

TEST_F(PaletteApp, TheSearchIsDrawnByTheSearchedTerminalAndATabSwitchClearsIt) {
    view(0)->terminal().process("\r\nFoo foo FOO\r\n");
    run(QStringLiteral("Search"));
    answer(QStringLiteral("foo"));
    ASSERT_TRUE(waitClosed());
    EXPECT_GE(app->searchHighlights(view(0)).size(), 3u);
    EXPECT_EQ(app->searchCurrentIndex(view(0)), int(app->searchHighlights(view(0)).size()) - 1);
    const QString shown = toastText(app->toasts().toast(QStringLiteral("searchToast")));
    EXPECT_TRUE(shown.contains(QStringLiteral("\"foo\""))) << shown.toStdString();

    app->workspace().addTab();
    app->workspace().switchToTab(0);
    EXPECT_TRUE(app->searchHighlights(view(0)).empty());
}

TEST_F(PaletteApp, TheVersionButtonTogglesTheChangelog) {
    HoverButton* button = internals(*app).versionButton();
    ASSERT_NE(button, nullptr);
    button->onClick();
    ASSERT_NE(palette->helpViewer(), nullptr);
    ASSERT_NE(palette->helpViewer()->window(), nullptr);
    EXPECT_TRUE(palette->helpViewer()->window()->isVisible());
    button->onClick();
    EXPECT_EQ(palette->helpViewer()->window(), nullptr) << "a second click closes it";
}

TEST_F(PaletteApp, Artifacts) {
    const QString dir = testsupport::artifactsDir();
    QWidget* content = app->contentView();
    view(0)->terminal().process("\r\nsearch me: needle, Needle and NEEDLE\r\n");

    CommandPaletteView* shown = open();
    QTest::keyClicks(shown->searchField(), QStringLiteral("c"));
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd());
    testsupport::snapshot(content).save(dir + "/palette-badges.png");
    QTest::keyClick(shown->searchField(), Qt::Key_Escape);
    ASSERT_TRUE(waitClosed());

    run(QStringLiteral("Opacity"));
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd());
    testsupport::snapshot(content).save(dir + "/palette-prompt.png");
    QTest::keyClick(palette->commandPalette()->searchField(), Qt::Key_Escape);
    ASSERT_TRUE(waitClosed());

    run(QStringLiteral("Search"));
    answer(QStringLiteral("needle"));
    ASSERT_TRUE(waitClosed());
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd());
    testsupport::snapshot(content).save(dir + "/palette-search.png");

    palette->togglePerfOverlay();
    palette->toggleParserOverlay();
    testsupport::snapshot(content).save(dir + "/palette-diagnostics.png");

    internals(*app).versionButton()->onClick();
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd());
    testsupport::snapshot(palette->helpViewer()->window()).save(dir + "/palette-changelog.png");
}
