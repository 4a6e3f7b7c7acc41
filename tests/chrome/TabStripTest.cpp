#include "ChromeTestSupport.h"
#include "chrome/HeaderBarView.h"
#include "chrome/TabCloseButton.h"
#include "chrome/TabItemView.h"
#include "chrome/TabSlots.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>

using namespace chrometest;

namespace {

struct Strip {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    HeaderBarView* header = new HeaderBarView(window.get());
    QList<std::pair<int, int>> reorders;
    QList<std::pair<int, std::optional<QString>>> renames;
    QList<int> clicked, closed;

    Strip() {
        window->resize(1200, 300);
        header->setGeometry(0, 0, 1200, HeaderBarView::barHeight);
        window->show();
        header->onReorderTab = [this](int from, int to) { reorders << std::make_pair(from, to); };
        header->onTabRenamed = [this](int i, std::optional<QString> n) { renames << std::make_pair(i, n); };
        header->onTabClicked = [this](int i) { clicked << i; };
        header->onCloseTab = [this](int i) { closed << i; };
    }
    void push(int count, int active, QList<bool> bells = {}) {
        QStringList titles;
        QList<QColor> colors;
        for (int i = 0; i < count; ++i) {
            titles << QStringLiteral("tab %1").arg(i);
            colors << QColor::fromHsvF(i / 6.0, 0.6, 1.0);
        }
        header->updateTabs(count, active, titles, colors, bells);
    }
    QList<TabItemView*> tabs() const {
        QList<TabItemView*> out;
        for (const auto& t : header->tabItems()) out << t.data();
        return out;
    }
    void key(int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(header->editField(), &e);
    }
};

} // namespace

TEST(TabStrip, UnchangedValuesDoNotRebuildButABellFlagDoes) {
    Strip s;
    s.push(3, 1, {false, false, false});
    const QList<TabItemView*> first = s.tabs();
    ASSERT_EQ(first.size(), 3);
    s.push(3, 1, {false, false, false});
    EXPECT_EQ(s.tabs(), first);
    s.push(3, 1, {false, true, false});
    const QList<TabItemView*> second = s.tabs();
    EXPECT_NE(second, first);
    EXPECT_TRUE(second[1]->hasBell());
    EXPECT_FALSE(second[0]->hasBell());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(second[i]->geometry(), QRect(163 * i, 0, 160, 24));
}

TEST(TabStrip, MissingValuesFallBackAndCloseButtonsNeedTwoTabs) {
    Strip s;
    s.header->updateTabs(1, 0, {}, {}, {});
    ASSERT_EQ(s.tabs().size(), 1);
    EXPECT_EQ(s.tabs()[0]->title(), QStringLiteral("~"));
    EXPECT_EQ(s.tabs()[0]->tabColor(), chrome::white(0.5));
    EXPECT_EQ(s.tabs()[0]->closeButton(), nullptr);
    s.header->updateTabs(2, 0, {QStringLiteral("one")}, {}, {});
    for (TabItemView* t : s.tabs()) EXPECT_NE(t->closeButton(), nullptr);
    EXPECT_EQ(s.tabs()[1]->title(), QStringLiteral("~"));
    EXPECT_EQ(s.header->tabContainer()->size(), QSize(2 * 163, 24));
}

TEST(TabStrip, OnlyANewActiveTabFadesIn) {
    Strip s;
    s.push(2, 0);
    s.push(3, 2);
    EXPECT_LT(chrome::widgetAlpha(s.tabs()[2]), 1.0);
    EXPECT_DOUBLE_EQ(chrome::widgetAlpha(s.tabs()[0]), 1.0);
    finishAnimations(s.header);
    EXPECT_DOUBLE_EQ(chrome::widgetAlpha(s.tabs()[2]), 1.0);
    s.push(3, 0); // selecting another existing tab
    EXPECT_DOUBLE_EQ(chrome::widgetAlpha(s.tabs()[0]), 1.0);
}

TEST(TabStrip, ClickSelectsAndCloseButtonCloses) {
    Strip s;
    s.push(3, 0);
    click(s.tabs()[2], {40, 12});
    EXPECT_EQ(s.clicked, QList<int>{2});
    TabCloseButton* close = s.tabs()[1]->closeButton();
    // A press and release over the close button is not the tab's click.
    click(s.tabs()[1], QPointF(close->geometry().center()));
    EXPECT_EQ(s.clicked, QList<int>{2});
    click(close);
    EXPECT_EQ(s.closed, QList<int>{1});
    EXPECT_EQ(s.clicked, QList<int>{2});
}

TEST(TabSlots, SlotArithmetic) {
    struct Case {
        double origin, dx;
        int count;
        double x;
        int slot;
    };
    const double p = 163;
    for (const Case& c :
         {Case{0, 82, 4, 82, 0}, Case{0, 83, 4, 83, 1}, Case{0, 5000, 4, 489, 3}, Case{0, -50, 4, 0, 0},
          Case{326, -80, 4, 246, 2}, Case{326, -81, 4, 245, 1}, Case{163, 0, 1, 0, 0}}) {
        const double x = tabslots::clampedX(c.origin, c.dx, p, c.count);
        EXPECT_DOUBLE_EQ(x, c.x) << c.origin << "+" << c.dx;
        EXPECT_EQ(tabslots::slotFor(x, 160, p, c.count), c.slot) << c.origin << "+" << c.dx;
    }
    EXPECT_EQ(tabslots::moved({0, 1, 2, 3}, 0, 2, 0), (QList<int>{1, 2, 0, 3}));
    EXPECT_EQ(tabslots::moved({1, 2, 0, 3}, 2, 3, 0), (QList<int>{1, 2, 3, 0}));
}

TEST(TabStrip, DraggingReordersWithSlidingNeighbours) {
    Strip s;
    s.push(4, 0);
    TabItemView* first = s.tabs()[0];
    TabItemView* second = s.tabs()[1];
    // The press starts a drag only once the pointer has moved more than 5 pixels.
    const QPointF at(40, 12);
    const QPointF global = first->mapToGlobal(at);
    press(first, at);
    mouse(first, QEvent::MouseMove, at + QPointF(5, 0), Qt::LeftButton, global + QPointF(5, 0));
    EXPECT_FALSE(s.header->isDraggingTab());
    mouse(first, QEvent::MouseMove, at + QPointF(82, 0), Qt::LeftButton, global + QPointF(82, 0));
    EXPECT_TRUE(s.header->isDraggingTab());
    EXPECT_EQ(first->x(), 82);
    EXPECT_EQ(s.header->dragCurrentSlot(), 0);
    mouse(first, QEvent::MouseMove, at + QPointF(83, 0), Qt::LeftButton, global + QPointF(83, 0));
    EXPECT_EQ(s.header->dragCurrentSlot(), 1);
    EXPECT_EQ(s.header->dragSlotOrder(), (QList<int>{1, 0, 2, 3}));
    finishAnimations(second);
    EXPECT_EQ(second->x(), 0); // slid into the freed slot

    // Updates pushed during the drag are dropped.
    s.push(5, 4);
    EXPECT_EQ(s.tabs().size(), 4);

    mouse(first, QEvent::MouseMove, at + QPointF(9000, 0), Qt::LeftButton, global + QPointF(9000, 0));
    EXPECT_EQ(first->x(), 163 * 3);
    release(first, at + QPointF(9000, 0));
    EXPECT_EQ(s.reorders, (QList<std::pair<int, int>>{{0, 3}}));
    finishAnimations(s.header);
    // The settled drag rebuilds the strip from the cache.
    EXPECT_FALSE(s.tabs().contains(first));
    EXPECT_EQ(s.tabs().size(), 4);
    EXPECT_TRUE(s.clicked.isEmpty());
}

TEST(TabStrip, DropBackInItsOwnSlotReportsNothing) {
    Strip s;
    s.push(3, 0);
    s.header->handleDragMoved(1, 40);
    s.header->handleDragMoved(1, -40);
    s.header->handleDragEnded(1);
    finishAnimations(s.header);
    EXPECT_TRUE(s.reorders.isEmpty());
    EXPECT_EQ(s.tabs()[1]->x(), 163);
    // A drag for a tab that is not there changes nothing.
    s.header->handleDragMoved(7, 100);
    EXPECT_FALSE(s.header->isDraggingTab());
    s.header->handleDragEnded(7);
    EXPECT_TRUE(s.reorders.isEmpty());
}

TEST(TabStrip, RenameCommitsOnReturnClearsOnBlankAndEscapeLeavesIt) {
    Strip s;
    s.push(3, 0);
    struct Case {
        const char* typed;
        int key;
        std::optional<QString> reported; // nullopt inside: the index with no name
        bool reports;
    };
    for (const Case& c : {Case{"  build  ", Qt::Key_Return, QStringLiteral("build"), true},
                          Case{" \t ", Qt::Key_Return, std::nullopt, true},
                          Case{"ignored", Qt::Key_Escape, std::nullopt, false}}) {
        s.renames.clear();
        s.header->startEditingTab(2, QStringLiteral("tab 2"));
        ASSERT_NE(s.header->editField(), nullptr);
        EXPECT_EQ(s.header->editField()->text(), QStringLiteral("tab 2"));
        EXPECT_EQ(s.header->editField()->geometry(), QRect(163 * 2 + 2, 0, 156, 24));
        s.header->editField()->setText(QString::fromUtf8(c.typed));
        s.key(c.key);
        EXPECT_EQ(s.header->editField(), nullptr);
        EXPECT_FALSE(s.header->editingTabIndex().has_value());
        if (c.reports) {
            ASSERT_EQ(s.renames.size(), 1);
            EXPECT_EQ(s.renames[0].first, 2);
            EXPECT_EQ(s.renames[0].second, c.reported);
        } else {
            EXPECT_TRUE(s.renames.isEmpty());
        }
    }
}

TEST(TabStrip, UpdatesDuringARenameWaitForItsEnd) {
    Strip s;
    s.push(3, 0);
    s.header->startEditingTab(1, QStringLiteral("tab 1"));
    const QList<TabItemView*> before = s.tabs();
    s.push(4, 3); // dropped while the field is open
    EXPECT_EQ(s.tabs(), before);
    s.key(Qt::Key_Escape);
    // Rebuilt from the values cached before the rename began.
    EXPECT_EQ(s.tabs().size(), 3);
    EXPECT_NE(s.tabs(), before);
    EXPECT_TRUE(s.tabs()[0]->isActive());
}

TEST(TabStrip, RenamingAMissingTabDoesNotFreezeTheStrip) {
    Strip s;
    s.push(2, 0);
    s.header->startEditingTab(5, QStringLiteral("nowhere"));
    EXPECT_FALSE(s.header->editingTabIndex().has_value());
    EXPECT_EQ(s.header->editField(), nullptr);
    s.push(3, 2);
    EXPECT_EQ(s.tabs().size(), 3);
}

TEST(TabStrip, DoubleClickOpensTheRenameField) {
    Strip s;
    s.push(2, 0);
    mouse(s.tabs()[1], QEvent::MouseButtonDblClick, {40, 12});
    ASSERT_NE(s.header->editField(), nullptr);
    EXPECT_EQ(s.header->editingTabIndex(), 1);
    s.header->finishEditingTab();
    ASSERT_EQ(s.renames.size(), 1);
    EXPECT_EQ(s.renames[0].second, QStringLiteral("tab 1"));
}

TEST(TabStrip, HoverShowsCloseAndScrollsALongTitle) {
    Strip s;
    s.header->updateTabs(
        2, 0, {QStringLiteral("short"), QStringLiteral("a very long title that cannot fit in one tab")},
        {Qt::cyan, Qt::magenta}, {false, true});
    TabItemView* longTab = s.tabs()[1];
    TabItemView* shortTab = s.tabs()[0];
    enter(shortTab);
    EXPECT_FALSE(shortTab->isMarqueeRunning());
    enter(longTab);
    finishAnimations(longTab->closeButton());
    EXPECT_DOUBLE_EQ(longTab->closeButton()->alpha(), 1.0);
    EXPECT_TRUE(longTab->isMarqueeRunning());
    EXPECT_EQ(longTab->titleColor(), chrome::white(0.78));
    EXPECT_LT(longTab->bellDotOpacity(), 1.01);
    leave(longTab);
    EXPECT_FALSE(longTab->isMarqueeRunning());
    EXPECT_DOUBLE_EQ(longTab->marqueeOffset(), 0.0);
    EXPECT_EQ(longTab->titleColor(), chrome::white(0.48));
    // The clip leaves room for the bell dot and the close button.
    EXPECT_EQ(longTab->titleClipRect(), QRectF(17, 1, 160 - 17 - 26, 22));
}
