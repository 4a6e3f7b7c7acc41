// The main menu's items, their Command (Super) shortcuts, and where an item's action goes.
#include "app/MainMenu.h"

#include "DunmarVersion.h"
#include "chrome/AlertSheetView.h"
#include "chrome/ChromeTestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The controller's end of the chain, counting what reached it. It has the tab commands and Copy.
class Delegate : public ActionHandler {
public:
    QStringList received;
    bool perform(Action action) override {
        switch (action) {
        case Action::newTab:
        case Action::quit:
        case Action::copy:
            received << actions::name(action);
            return true;
        default:
            return false;
        }
    }
};

// A pane with an action of its own, as the terminal view has.
class Pane : public QWidget, public ActionHandler {
    Q_OBJECT
public:
    using QWidget::QWidget;
    QStringList received;
    bool perform(Action action) override {
        if (action != Action::clearScrollback) return false;
        received << actions::name(action);
        return true;
    }
};

QStringList titles(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QString shortcuts(const MainMenu& menu, Action action) {
    QAction* a = menu.action(action);
    if (!a) return QStringLiteral("(no item)");
    QStringList keys;
    for (const QKeySequence& key : a->shortcuts()) keys << key.toString(QKeySequence::PortableText);
    return keys.join(QStringLiteral(", "));
}

} // namespace

TEST(MainMenu, ItemsInOrder) {
    Delegate delegate;
    MainMenu menu(&delegate);
    EXPECT_EQ(titles(menu.applicationMenu()),
              QStringList({"About Dunmar", "-", "Command Palette", "-", "Quit Dunmar"}));
    EXPECT_NE(menu.action(Action::toggleCommandPalette), nullptr);
    EXPECT_EQ(menu.editMenu()->title(), "Edit");
    EXPECT_EQ(titles(menu.editMenu()), QStringList({"Copy", "Paste", "Select All"})) << "no Cut, no Undo";
    EXPECT_EQ(menu.tabMenu()->title(), "Tab");
    EXPECT_EQ(titles(menu.tabMenu()), QStringList({"New Terminal Tab", "New Editor Tab", "Close Tab", "-",
                                                   "Tab 1", "Tab 2", "Tab 3", "-", "Clear"}));
}

// The shortcuts come from the bindings table: Control+Shift first, the Super key as a second chord.
TEST(MainMenu, ShortcutsAreControlShiftWithSuperAsSecondChord) {
    Delegate delegate;
    MainMenu menu(&delegate);
    const std::pair<Action, const char*> keys[] = {
        {Action::quit, "Ctrl+Shift+Q, Meta+Q"},     {Action::copy, "Ctrl+Shift+C, Meta+C"},
        {Action::paste, "Ctrl+Shift+V, Meta+V"},    {Action::selectAll, "Ctrl+Shift+A, Meta+A"},
        {Action::newTab, "Ctrl+Shift+T, Meta+T"},   {Action::newEditorTab, "Ctrl+Shift+E, Meta+E"},
        {Action::closeTab, "Ctrl+Shift+W, Meta+W"}, {Action::clearScrollback, "Ctrl+Shift+K, Meta+K"},
        {Action::switchToTab1, "Ctrl+1"},           {Action::about, ""},
    };
    for (const auto& [action, key] : keys) EXPECT_EQ(shortcuts(menu, action), key) << actions::name(action);
}

TEST(MainMenu, AnActionGoesToTheFocusedViewItsParentsThenTheController) {
    Delegate delegate;
    MainMenu menu(&delegate);
    Pane window;
    auto* field = new QLineEdit(&window);
    field->setText("some text");
    window.show();
    window.activateWindow();
    field->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), field);

    // The focused field has Select All and Copy of its own.
    menu.action(Action::selectAll)->trigger();
    EXPECT_EQ(field->selectedText(), "some text");
    menu.action(Action::copy)->trigger();
    EXPECT_TRUE(delegate.received.isEmpty()) << "the field answered Copy, not the controller";
    // Its parent pane answers Clear; the controller answers the tab commands.
    menu.action(Action::clearScrollback)->trigger();
    EXPECT_EQ(window.received, QStringList({"clearScrollback"}));
    menu.action(Action::newTab)->trigger();
    EXPECT_EQ(delegate.received, QStringList({"newTab"}));
    // Nobody has this one: nothing happens.
    EXPECT_FALSE(menu.sendAction(Action::closeTab));

    field->clearFocus();
    window.setFocus();
    menu.action(Action::copy)->trigger();
    EXPECT_EQ(delegate.received, QStringList({"newTab", "copy"}));
}

TEST(MainMenu, ShortcutsWorkInTheWindowTheyAreAttachedTo) {
    Delegate delegate;
    MainMenu menu(&delegate);
    QWidget window;
    menu.attachTo(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&window, Qt::Key_T, Qt::MetaModifier);
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier); // plain Control+T is the shell's
    QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);     // and Alt is its Meta key
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(delegate.received, QStringList({"newTab", "newTab", "quit"}));
}

#include "MainMenuTest.moc"

TEST(MainMenu, AboutIsAPanelInTheWindowWithOneAnswer) {
    Delegate delegate;
    MainMenu menu(&delegate);
    QWidget window;
    auto* content = new QWidget(&window);
    window.resize(700, 400);
    content->setGeometry(window.rect());
    menu.setAlertHost(content);
    window.show();

    menu.action(Action::about)->trigger();
    menu.action(Action::about)->trigger(); // once open, only brought forward
    const QList<AlertSheetView*> panels = content->findChildren<AlertSheetView*>();
    ASSERT_EQ(panels.size(), 1);
    AlertSheetView* about = panels.first();
    EXPECT_EQ(about->title(), "Dunmar");
    EXPECT_EQ(about->message(), QStringLiteral("Version %1").arg(QLatin1String(kAppVersion)));
    EXPECT_EQ(about->icon(), AlertSheetView::Icon::none) << "no warning for the about panel";
    ASSERT_EQ(about->answerButtons().size(), 1);
    EXPECT_EQ(about->answerButtons().first()->accessibleName(), "OK");

    QTest::keyClick(content, Qt::Key_Escape);
    chrometest::finishAnimations(content);
    EXPECT_TRUE(content->findChildren<AlertSheetView*>().isEmpty());
    EXPECT_TRUE(delegate.received.isEmpty());
}
