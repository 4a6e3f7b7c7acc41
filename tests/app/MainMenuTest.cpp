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

// The controller's end of the chain, counting what reached it.
class Delegate : public QObject {
    Q_OBJECT
public:
    QStringList received;
public slots:
    void addTab() { received << "addTab"; }
    void handleQuitRequest() { received << "handleQuitRequest"; }
    void copy() { received << "copy"; }
};

// A pane with an action of its own, as the terminal view has.
class Pane : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    QStringList received;
public slots:
    void clearScrollback() { received << "clearScrollback"; }
};

QStringList titles(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QString shortcut(const MainMenu& menu, const char* action) {
    QAction* a = menu.action(action);
    return a ? a->shortcut().toString(QKeySequence::PortableText) : QStringLiteral("(no item)");
}

} // namespace

TEST(MainMenu, ItemsInOrder) {
    Delegate delegate;
    MainMenu menu(&delegate);
    EXPECT_EQ(titles(menu.applicationMenu()), QStringList({"About Dunmar", "-", "Quit Dunmar"}));
    EXPECT_EQ(menu.editMenu()->title(), "Edit");
    EXPECT_EQ(titles(menu.editMenu()), QStringList({"Copy", "Paste", "Select All"})) << "no Cut, no Undo";
    EXPECT_EQ(menu.tabMenu()->title(), "Tab");
    EXPECT_EQ(titles(menu.tabMenu()), QStringList({"New Terminal Tab", "New Editor Tab", "Close Tab", "-",
                                                   "Tab 1", "Tab 2", "Tab 3", "-", "Clear"}));
}

TEST(MainMenu, CommandIsTheSuperKey) {
    Delegate delegate;
    MainMenu menu(&delegate);
    const std::pair<const char*, const char*> keys[] = {
        {"handleQuitRequest", "Meta+Q"},
        {"copy", "Meta+C"},
        {"paste", "Meta+V"},
        {"selectAll", "Meta+A"},
        {"addTab", "Meta+T"},
        {"createEditorTab", "Meta+E"},
        {"closeCurrentTab", "Meta+W"},
        {"clearScrollback", "Meta+K"},
        {"switchToTab1", ""},
        {"orderFrontStandardAboutPanel", ""},
    };
    for (const auto& [action, key] : keys) EXPECT_EQ(shortcut(menu, action), key) << action;
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
    menu.action("selectAll")->trigger();
    EXPECT_EQ(field->selectedText(), "some text");
    menu.action("copy")->trigger();
    EXPECT_TRUE(delegate.received.isEmpty()) << "the field answered Copy, not the controller";
    // Its parent pane answers Clear; the controller answers the tab commands.
    menu.action("clearScrollback")->trigger();
    EXPECT_EQ(window.received, QStringList({"clearScrollback"}));
    menu.action("addTab")->trigger();
    EXPECT_EQ(delegate.received, QStringList({"addTab"}));
    // Nobody has this one: nothing happens.
    EXPECT_FALSE(menu.sendAction("closeCurrentTab"));

    field->clearFocus();
    window.setFocus();
    menu.action("copy")->trigger();
    EXPECT_EQ(delegate.received, QStringList({"addTab", "copy"}));
}

TEST(MainMenu, ShortcutsWorkInTheWindowTheyAreAttachedTo) {
    Delegate delegate;
    MainMenu menu(&delegate);
    QWidget window;
    menu.attachTo(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_T, Qt::MetaModifier);
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier); // Control is not Command
    QTest::keyClick(&window, Qt::Key_Q, Qt::MetaModifier);
    EXPECT_EQ(delegate.received, QStringList({"addTab", "handleQuitRequest"}));
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

    menu.action("orderFrontStandardAboutPanel")->trigger();
    menu.action("orderFrontStandardAboutPanel")->trigger(); // once open, only brought forward
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
