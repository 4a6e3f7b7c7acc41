// The preview panel and its queue: what a panel shows, what its keys write to the ringing shell,
// the order of panels, and previews that stay with their pane when tabs close or move.
#include "BellTestSupport.h"
#include "bell/BellPreviewPanel.h"
#include "chrome/ChromeTestSupport.h"
#include "localisation/Loc.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace belltest;
using namespace std::chrono_literals;

namespace {

const QByteArray kUp = "\x1b[A";
const QByteArray kDown = "\x1b[B";
const QByteArray kAppUp = "\x1bOA";
const QByteArray kAppDown = "\x1bOB";

class BellPreviewTest : public BellTest {
protected:
    void SetUp() override {
        BellTest::SetUp();
        window.resize(860, 480);
        window.show();
        host.content = &window;
        // Tab 1 is on show; the others ring in the background.
        host.tabs.push_back({&onShow, nullptr, {}, false});
        host.activeTab = 0;
    }

    ScreenPane& addTab(const QString& id, std::string_view screen, const QString& name = {}) {
        panes.push_back(std::make_unique<ScreenPane>(id));
        ScreenPane& pane = *panes.back();
        pane.show(screen);
        host.tabs.push_back({&pane, nullptr, name, false});
        return pane;
    }
    void ring(BellPane& pane) {
        advance(1s);
        bell->ring(&pane);
    }
    BellPreviewPanel* panel() const { return bell->previews().panel(); }
    void settle() {
        chrometest::finishAnimations(&window);
        chrometest::flushDeletes();
    }
    void key(int key) { QTest::keyClick(panel()->inputField(), Qt::Key(key)); }
    QStringList queuedNames() const {
        QStringList names;
        for (const BellPreviewItem& item : bell->previews().items()) names << item.tabName;
        return names;
    }
    int panelsInWindow() const { return int(window.findChildren<BellPreviewPanel*>().size()); }

    QWidget window;
    ScreenPane onShow{"on-show"};
    std::vector<std::unique_ptr<ScreenPane>> panes;
};

} // namespace

TEST_F(BellPreviewTest, AMenuShowsItsChoicesWithTheMarkedOneHighlighted) {
    ScreenPane& pane = addTab("menu", "Choose:\r\n\xe2\x9d\xaf 1. Yes\r\n  2. No\r\n", "deploy");
    ring(pane);
    ASSERT_NE(panel(), nullptr);
    settle();

    BellPreviewPanel& p = *panel();
    EXPECT_EQ(p.geometry(), QRect(0, host.previewTop, 860, 106));
    EXPECT_EQ(host.previewHeights, (QList<int>{106}));
    EXPECT_EQ(p.titleText(), "● deploy");
    EXPECT_EQ(p.options(), (std::vector<BellOption>{{1, "Yes"}, {2, "No"}}));
    EXPECT_EQ(p.selectedIndex(), 0);
    EXPECT_TRUE(p.isRowHighlighted(0) && p.isCursorShown(0));
    EXPECT_FALSE(p.isRowHighlighted(1) || p.isCursorShown(1));
    EXPECT_TRUE(p.linesText().isEmpty());
    EXPECT_EQ(p.inputField()->placeholderText(), QString::fromStdString(Loc::bellInputOptions()));
    EXPECT_EQ(window.focusWidget(), p.inputField()) << "the reply field takes the keyboard at once";

    // Rows fill the space between the separators; the field sits 8 above the lower edge.
    const QList<QWidget*> rows = p.optionRows();
    ASSERT_EQ(rows.size(), 2);
    const QPoint firstRow = rows[0]->mapTo(&p, QPoint(0, 0));
    EXPECT_EQ(firstRow.y(), 29);
    EXPECT_EQ(rows[0]->size(), QSize(860, 22));
    EXPECT_EQ(rows[1]->mapTo(&p, QPoint(0, 0)).y(), 29 + 22);
    EXPECT_EQ(QRect(p.inputField()->mapTo(&p, QPoint(0, 0)), p.inputField()->size()),
              QRect(10, 106 - 28, 840, 20));
}

TEST_F(BellPreviewTest, WithoutAChoiceThePanelShowsTheLastLines) {
    ScreenPane& one = addTab("one", "Pick a number\r\n1. only one\r\nanswer: ");
    ScreenPane& blank = addTab("blank", "");
    ring(one);
    settle();
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->height(), 110);
    EXPECT_TRUE(panel()->options().empty());
    EXPECT_EQ(panel()->linesText(), "Pick a number\n1. only one\nanswer:");
    EXPECT_EQ(panel()->inputField()->placeholderText(), QString::fromStdString(Loc::bellInputEmpty()));

    ring(blank);
    key(Qt::Key_Escape);
    settle();
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->linesText(), "(keine Ausgabe)");
}

TEST_F(BellPreviewTest, ArrowsReturnAndTypedRepliesAreWrittenToTheRingingShell) {
    ScreenPane& menu = addTab("menu", "Choose:\r\n> 1) Yes\r\n  2) No\r\n  3) Skip\r\n");
    ring(menu);
    settle();
    ASSERT_NE(panel(), nullptr);

    struct Step {
        int key;
        int selected;
        QByteArray written;
    };
    // Up at the first choice still writes the arrow; so does Down at the last.
    const Step steps[] = {{Qt::Key_Up, 0, kUp},
                          {Qt::Key_Down, 1, kDown},
                          {Qt::Key_Down, 2, kDown},
                          {Qt::Key_Down, 2, kDown},
                          {Qt::Key_Up, 1, kUp}};
    for (const Step& step : steps) {
        menu.written.clear();
        key(step.key);
        EXPECT_EQ(panel()->selectedIndex(), step.selected);
        EXPECT_TRUE(panel()->isRowHighlighted(step.selected));
        EXPECT_EQ(menu.written, step.written);
    }
    EXPECT_TRUE(onShow.written.isEmpty()) << "nothing reaches the tab on show";

    // A click on a row highlights it and writes nothing.
    menu.written.clear();
    chrometest::press(panel()->optionRows()[2], QPointF(30, 10));
    EXPECT_EQ(panel()->selectedIndex(), 2);
    EXPECT_TRUE(menu.written.isEmpty());

    // Return with an empty field sends the carriage return alone and closes the panel.
    key(Qt::Key_Return);
    EXPECT_EQ(menu.written, "\r");
    EXPECT_EQ(panel(), nullptr);
    EXPECT_EQ(host.previewHeights.last(), 0);
    settle();
    EXPECT_EQ(panelsInWindow(), 0);
    EXPECT_EQ(host.focusTerminalCount, 1);

    // Typed text goes with it; application cursor mode changes the arrows, also without choices.
    menu.terminal.process("\x1b[?1h\x1b[2J\x1b[HName? ");
    ring(menu);
    settle();
    ASSERT_TRUE(panel()->options().empty());
    menu.written.clear();
    key(Qt::Key_Up);
    key(Qt::Key_Down);
    EXPECT_EQ(menu.written, kAppUp + kAppDown);
    menu.written.clear();
    QTest::keyClicks(panel()->inputField(), "2");
    key(Qt::Key_Enter);
    EXPECT_EQ(menu.written, "2\r");
}

TEST_F(BellPreviewTest, EscapeAndTheCloseButtonWriteNothingAndTheNextPreviewFollows) {
    ScreenPane& first = addTab("first", "1. a\r\n2. b\r\n");
    ScreenPane& second = addTab("second", "question?");
    ScreenPane& third = addTab("third", "1) x\r\n2) y\r\n3) z\r\n", "named");
    ring(first);
    ring(second);
    ring(third);
    EXPECT_EQ(queuedNames(), (QStringList{"Tab 2", "Tab 3", "named"}));
    settle();

    key(Qt::Key_Escape);
    EXPECT_EQ(panel(), nullptr) << "the next panel waits for the slide-out";
    settle();
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->titleText(), "● Tab 3");

    chrometest::click(panel()->closeButton());
    settle();
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->titleText(), "● named");
    QTest::keyClicks(panel()->inputField(), "yes");
    key(Qt::Key_Return);
    settle();

    EXPECT_EQ(panel(), nullptr);
    EXPECT_TRUE(bell->previews().items().empty());
    EXPECT_TRUE(first.written.isEmpty());
    EXPECT_TRUE(second.written.isEmpty());
    EXPECT_EQ(third.written, "yes\r");
    EXPECT_EQ(host.previewHeights, (QList<int>{106, 0, 110, 0, 128, 0}));
    EXPECT_EQ(host.focusTerminalCount, 3);
    EXPECT_EQ(panelsInWindow(), 0);
}

TEST_F(BellPreviewTest, ABellDuringTheSlideOutLeadsToOnePanelForTheFirstItem) {
    ScreenPane& first = addTab("first", "1. a\r\n2. b\r\n");
    ScreenPane& second = addTab("second", "next?");
    ring(first);
    settle();
    key(Qt::Key_Escape);
    ASSERT_NE(bell->previews().closingPanel(), nullptr);

    ring(second); // during the 0.15 s slide-out
    EXPECT_EQ(panel(), nullptr);
    settle();
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panelsInWindow(), 1);
    EXPECT_EQ(panel()->titleText(), "● Tab 3");
    EXPECT_EQ(window.focusWidget(), panel()->inputField());
    EXPECT_EQ(bell->previews().items().size(), 1u);
}

TEST_F(BellPreviewTest, APreviewWaitsWhileTheWindowHasNoContentAndIsShownWhileItIsHidden) {
    ScreenPane& pane = addTab("pane", "1. a\r\n2. b\r\n");
    host.content = nullptr;
    ring(pane);
    EXPECT_EQ(panel(), nullptr);
    EXPECT_EQ(bell->previews().items().size(), 1u);

    // Hidden: the panel is put in place anyway, ready when the window comes out.
    host.content = &window;
    host.hide();
    ring(pane);
    EXPECT_NE(panel(), nullptr);
    EXPECT_EQ(bell->previews().items().size(), 1u);
}

// Previews used to remember a tab position: after a tab closed or moved, the panel named the wrong
// tab and its reply went to whichever tab had taken the position.
TEST_F(BellPreviewTest, PreviewsStayWithTheirPaneWhenTabsCloseOrMove) {
    ScreenPane& a = addTab("a", "1. a\r\n2. b\r\n");
    ScreenPane& b = addTab("b", "b?");
    ScreenPane& c = addTab("c", "c?");
    ring(a);
    ring(b);
    ring(c);
    settle();
    EXPECT_EQ(queuedNames(), (QStringList{"Tab 2", "Tab 3", "Tab 4"}));

    // Tab 3 (b) closes: its waiting preview goes, the others keep their panes.
    host.tabs.erase(host.tabs.begin() + 2);
    bell->paneClosed(&b);
    bell->tabsReordered();
    EXPECT_EQ(queuedNames(), (QStringList{"Tab 2", "Tab 3"}));
    EXPECT_EQ(bell->previews().items()[1].pane.get(), &c);

    // The tabs move: c to the front, a to the end. The names follow; the panel on show renames.
    host.tabs = {{&c, nullptr, {}, false}, {&onShow, nullptr, {}, false}, {&a, nullptr, {}, false}};
    host.activeTab = 1;
    bell->tabsReordered();
    EXPECT_EQ(queuedNames(), (QStringList{"Tab 3", "Tab 1"}));
    EXPECT_EQ(panel()->titleText(), "● Tab 3");

    // The reply reaches a, whatever position it now has.
    QTest::keyClicks(panel()->inputField(), "ok");
    key(Qt::Key_Return);
    EXPECT_EQ(a.written, "ok\r");
    EXPECT_TRUE(c.written.isEmpty() && onShow.written.isEmpty());
    settle();

    // The tab on show in the panel closes: the panel goes without writing anything.
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->titleText(), "● Tab 1");
    host.tabs.erase(host.tabs.begin());
    bell->paneClosed(&c);
    EXPECT_EQ(panel(), nullptr);
    EXPECT_TRUE(bell->previews().items().empty());
    EXPECT_TRUE(c.written.isEmpty());
    settle();
    EXPECT_EQ(panelsInWindow(), 0);
}

TEST_F(BellPreviewTest, AFreedPaneTakesItsPreviewsWithItEvenUnannounced) {
    ScreenPane& first = addTab("first", "1. a\r\n2. b\r\n");
    auto doomed = std::make_unique<ScreenPane>("doomed");
    doomed->show("1. x\r\n2. y\r\n");
    host.tabs.push_back({doomed.get(), nullptr, {}, false});
    ring(*doomed);
    ring(first);
    settle();
    ASSERT_EQ(panel()->titleText(), "● Tab 3");

    // The controller forgot to say so; the pane is simply gone.
    host.tabs.pop_back();
    doomed.reset();
    EXPECT_EQ(panel(), nullptr);
    settle();
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->titleText(), "● Tab 2");
    EXPECT_EQ(bell->previews().items().size(), 1u);
    key(Qt::Key_Down);
    EXPECT_EQ(first.written, kDown);
}

// The queue used to grow by one item at every accepted bell: a program ringing twice a second in a
// background tab filled it without end.
TEST_F(BellPreviewTest, TheQueueKeepsOneWaitingPreviewPerPaneAndABoundInAll) {
    ScreenPane& noisy = addTab("noisy", "tick 0");
    ScreenPane& other = addTab("other", "other?");
    ring(noisy);
    settle();
    for (int i = 1; i <= 40; ++i) {
        noisy.show("\r\ntick " + std::to_string(i));
        ring(noisy);
        if (i == 20) ring(other);
    }
    // The one on show, other's, and noisy's newest waiting behind them.
    ASSERT_EQ(bell->previews().items().size(), 3u);
    EXPECT_EQ(bell->previews().items()[0].lines.last(), "tick 0") << "the panel on show is left alone";
    EXPECT_EQ(bell->previews().items()[1].pane.get(), &noisy);
    EXPECT_EQ(bell->previews().items()[1].lines.last(), "tick 40");
    EXPECT_EQ(bell->previews().items()[2].pane.get(), &other);

    // Many panes: the oldest waiting ones give way; the one on show stays.
    for (int i = 0; i < 30; ++i) ring(addTab(QString("many-%1").arg(i), "?"));
    const auto& items = bell->previews().items();
    ASSERT_EQ(items.size(), std::size_t(BellPreviewQueue::kMaxItems));
    EXPECT_EQ(items.front().lines.last(), "tick 0");
    EXPECT_EQ(items.back().tabName, QString("Tab %1").arg(host.tabs.size()));
}
