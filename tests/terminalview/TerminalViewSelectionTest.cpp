// Selecting with the mouse, the text a selection gives, copy on select, and the context menu.
#include "DunmarVersion.h"
#include "ViewTestSupport.h"
#include "localisation/Loc.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

namespace {

QPointF cellCenter(const TerminalView& view, std::int64_t row, std::int64_t col) {
    return QPointF(TerminalView::paddingX + (double(col) + 0.5) * view.cellW(),
                   TerminalView::paddingY + (double(row) + 0.5) * view.cellH());
}

void mouse(TerminalView& view, QEvent::Type type, QPointF pos, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, view.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// A press, a drag through `to` and a release there (no drag when from == to).
void dragSelect(TerminalView& view, QPointF from, QPointF to) {
    mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    if (from != to) mouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

void doubleClick(TerminalView& view, QPointF at) {
    mouse(view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    mouse(view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    mouse(view, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    mouse(view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

struct MenuItem {
    QString title;
    bool enabled = true;
    bool checked = false;
};

// The menu's items as (title, enabled, checked), separators as "-".
std::vector<MenuItem> itemsOf(const QMenu& menu) {
    std::vector<MenuItem> items;
    for (const QAction* action : menu.actions())
        items.push_back({action->isSeparator() ? QStringLiteral("-") : action->text(), action->isEnabled(),
                         action->isChecked()});
    return items;
}

QAction* actionTitled(const QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions())
        if (action->text() == title) return action;
    return nullptr;
}

} // namespace

TEST_F(ViewTest, WordBoundsStopAtBlanksAndTheLastColumn) {
    auto view = makeQuietView();
    const std::int64_t cols = view->terminal().cols();
    feed(*view, "foo-bar.baz_1 qux  Ünïcödé 漢字x\r\n");
    feed(*view, QByteArray(std::size_t(cols - 3), ' ') + "endword");
    const auto sb = std::int64_t(view->terminal().scrollback().size());
    struct Case {
        std::int64_t row;
        std::int64_t col;
        std::int64_t start;
        std::int64_t end;
    };
    const std::vector<Case> cases = {
        {0, 0, 0, 12},   // foo-bar.baz_1 from its first character
        {0, 7, 0, 12},   // from its middle
        {0, 14, 14, 16}, // qux
        {0, 13, 13, 13}, // a blank selects itself
        {0, 19, 19, 25}, // letters with marks
        {0, 28, 27, 31}, // wide characters and the letter after them, from the right half of one
        {1, cols - 2, cols - 3, cols - 1}, // ends at the last column though the line goes on below
        {1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto [start, end] = view->wordBounds(GridPos{sb + c.row, c.col});
        EXPECT_EQ(start, (GridPos{sb + c.row, c.start})) << c.row << "," << c.col;
        EXPECT_EQ(end, (GridPos{sb + c.row, c.end})) << c.row << "," << c.col;
    }
    EXPECT_EQ(view->wordBounds(GridPos{-1, 3}), std::make_pair(GridPos{-1, 3}, GridPos{-1, 3}));

    // A double click selects the word and copies it; dragging afterwards changes nothing; a third
    // click clears it.
    QGuiApplication::clipboard()->clear();
    doubleClick(*view, cellCenter(*view, 0, 2));
    EXPECT_EQ(view->selectedText(), "foo-bar.baz_1");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "foo-bar.baz_1");
    mouse(*view, QEvent::MouseButtonDblClick, cellCenter(*view, 0, 15), Qt::LeftButton, Qt::LeftButton);
    mouse(*view, QEvent::MouseMove, cellCenter(*view, 1, 5), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(view->selectedText(), "qux");
    mouse(*view, QEvent::MouseButtonRelease, cellCenter(*view, 1, 5), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(view->selectedText(), "qux");
    mouse(*view, QEvent::MouseButtonPress, cellCenter(*view, 0, 15), Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(view->selStart().has_value());
    mouse(*view, QEvent::MouseButtonRelease, cellCenter(*view, 0, 15), Qt::LeftButton, Qt::NoButton);

    // A double click on a blank selects one position: no text, nothing copied.
    QGuiApplication::clipboard()->clear();
    doubleClick(*view, cellCenter(*view, 0, 13));
    EXPECT_FALSE(view->selectedText().has_value());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
}

// Marks that stay with their base are part of the word, of the copied text and of what assistive
// technology reads.
TEST_F(ViewTest, SelectionsAndTheScreenTextKeepCombiningMarks) {
    auto view = makeQuietView();
    const QString marked = QString::fromUtf8("x\u0332y\u0332 1\ufe0f\u20e3");
    feed(*view, marked.toUtf8());
    const auto sb = std::int64_t(view->terminal().scrollback().size());
    EXPECT_EQ(view->wordBounds(GridPos{sb, 1}), std::make_pair(GridPos{sb, 0}, GridPos{sb, 1}));
    doubleClick(*view, cellCenter(*view, 0, 0));
    EXPECT_EQ(view->selectedText(), QString::fromUtf8("x\u0332y\u0332"));
    dragSelect(*view, cellCenter(*view, 0, 0), cellCenter(*view, 0, 3));
    EXPECT_EQ(view->selectedText(), marked);
    EXPECT_EQ(view->accessibilityValue(), marked);
}

TEST_F(ViewTest, DragSelectionsGiveTheTextOfTheRowsTheyCover) {
    auto view = makeQuietView();
    feed(*view, "abc   \r\ndef\r\n\r\nghi\r\n\r\n\r\n");
    QGuiApplication::clipboard()->clear();

    // Across a row boundary: trailing blanks go, each row ends in a line feed.
    dragSelect(*view, cellCenter(*view, 0, 0), cellCenter(*view, 1, 2));
    EXPECT_EQ(view->selectedText(), "abc\ndef");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "abc\ndef") << "copied on select";
    // Backwards gives the same text.
    dragSelect(*view, cellCenter(*view, 1, 2), cellCenter(*view, 0, 0));
    EXPECT_EQ(view->selectedText(), "abc\ndef");
    // Blank rows inside stay as empty lines, blank rows at the end are dropped, and nothing past a
    // row's last character counts.
    dragSelect(*view, cellCenter(*view, 1, 1), cellCenter(*view, 5, 30));
    EXPECT_EQ(view->selectedText(), "ef\n\nghi");
    // A plain click leaves no selection; a drag that ends where it began gives no text.
    dragSelect(*view, cellCenter(*view, 0, 1), cellCenter(*view, 0, 1));
    EXPECT_FALSE(view->selStart().has_value());
    QGuiApplication::clipboard()->setText("kept");
    mouse(*view, QEvent::MouseButtonPress, cellCenter(*view, 0, 1), Qt::LeftButton, Qt::LeftButton);
    mouse(*view, QEvent::MouseMove, cellCenter(*view, 0, 2), Qt::NoButton, Qt::LeftButton);
    mouse(*view, QEvent::MouseMove, cellCenter(*view, 0, 1), Qt::NoButton, Qt::LeftButton);
    mouse(*view, QEvent::MouseButtonRelease, cellCenter(*view, 0, 1), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(view->selStart().has_value());
    EXPECT_FALSE(view->selectedText().has_value());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");

    // Live-grid queries for drawing: selected up to the row's last character only.
    dragSelect(*view, cellCenter(*view, 0, 1), cellCenter(*view, 1, 10));
    EXPECT_TRUE(view->isSelected(0, 2));
    EXPECT_FALSE(view->isSelected(0, 4)) << "past the last character of its row";
    EXPECT_TRUE(view->isSelected(1, 0));
    EXPECT_FALSE(view->isSelected(0, 0));
}

TEST_F(ViewTest, CopyOnSelectFollowsTheSetting) {
    auto view = makeQuietView();
    feed(*view, "select me");
    PaneSettings settings = view->paneSettings();
    settings.copyOnSelect = false;
    view->applySettings(settings);
    QGuiApplication::clipboard()->setText("before");
    dragSelect(*view, cellCenter(*view, 0, 0), cellCenter(*view, 0, 5));
    EXPECT_EQ(view->selectedText(), "select");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    settings.copyOnSelect = true;
    view->applySettings(settings);
    dragSelect(*view, cellCenter(*view, 0, 0), cellCenter(*view, 0, 8));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "select me");
    // A pane given no settings copies: the setting is on unless the user turned it off.
    view->applySettings(PaneSettings{});
    dragSelect(*view, cellCenter(*view, 0, 7), cellCenter(*view, 0, 8));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "me");
}

TEST_F(ViewTest, TheContextMenuOffersTheCommandsWithTheirStates) {
    auto view = makeQuietView();
    feed(*view, "some text");
    std::unique_ptr<QMenu> menu = view->contextMenu();
    ASSERT_NE(menu, nullptr);
    const std::vector<MenuItem> items = itemsOf(*menu);
    const QString version = "Dunmar v" + (QCoreApplication::applicationVersion().isEmpty()
                                              ? QString::fromLatin1(kAppVersion)
                                              : QCoreApplication::applicationVersion());
    const std::vector<std::pair<QString, bool>> expected = {
        {"Copy", false}, {"Paste", true},   {"-", true}, {"Select All", true},     {"Clear", true},
        {"-", true},     {"New Tab", true}, {"-", true}, {"Split Vertical", true}, {"Split Horizontal", true},
        {"-", true},     {"Panels", true},  {"-", true}, {version, false},
    };
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].title, expected[i].first) << i;
        EXPECT_EQ(items[i].enabled, expected[i].second) << items[i].title.toStdString();
    }
    const QMenu* panels = actionTitled(*menu, "Panels")->menu();
    ASSERT_NE(panels, nullptr);
    for (const MenuItem& item : itemsOf(*panels)) EXPECT_FALSE(item.checked) << item.title.toStdString();

    // With a selection Copy is enabled; the panel check marks are the controller's.
    dragSelect(*view, cellCenter(*view, 0, 0), cellCenter(*view, 0, 3));
    host.gitShown = true;
    host.sshShown = true;
    menu = view->contextMenu();
    EXPECT_TRUE(actionTitled(*menu, "Copy")->isEnabled());
    const std::vector<MenuItem> panelItems = itemsOf(*actionTitled(*menu, "Panels")->menu());
    ASSERT_EQ(panelItems.size(), 3u);
    EXPECT_EQ(panelItems[0].title, "Git");
    EXPECT_TRUE(panelItems[0].checked);
    EXPECT_EQ(panelItems[1].title, "WebPicker");
    EXPECT_FALSE(panelItems[1].checked);
    EXPECT_EQ(panelItems[2].title, "SSH");
    EXPECT_TRUE(panelItems[2].checked);

    // The items reach the view and the controller.
    QGuiApplication::clipboard()->clear();
    actionTitled(*menu, "Copy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "some");
    actionTitled(*menu, "New Tab")->trigger();
    actionTitled(*menu, "Split Horizontal")->trigger();
    for (QAction* panel : actionTitled(*menu, "Panels")->menu()->actions()) panel->trigger();
    EXPECT_EQ(host.calls, QStringList({"newTab", "splitStacked", "toggleGitPanel", "toggleWebPicker",
                                       "toggleSSHManager"}));
    actionTitled(*menu, "Clear")->trigger();
    EXPECT_EQ(screenText(view->terminal()).trimmed(), "");

    // While the program takes the mouse there is no menu.
    for (const char* mode : {"\x1b[?1000h", "\x1b[?1002h", "\x1b[?1003h"}) {
        feed(*view, mode);
        EXPECT_EQ(view->contextMenu(), nullptr) << mode;
    }
}

TEST_F(ViewTest, TheContextMenuSpeaksTheInterfaceLanguage) {
    auto view = makeQuietView();
    std::string language = "de";
    Loc::setEnvironment(
        {[&] { return language; }, [](const std::string&) {}, [] { return std::vector<std::string>{"en"}; }});
    const std::unique_ptr<QMenu> german = view->contextMenu();
    EXPECT_EQ(german->actions().first()->text(), QString::fromStdString(Loc::copy()));
    EXPECT_NE(german->actions().first()->text(), "Copy");
    EXPECT_TRUE(actionTitled(*german->actions()[11]->menu(), "Git") != nullptr) << "panel names stay";
    language = "en";
    EXPECT_EQ(view->contextMenu()->actions().first()->text(), "Copy");
    Loc::setEnvironment({});
}
