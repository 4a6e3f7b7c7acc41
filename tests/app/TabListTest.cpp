// The per-tab state moves as one: after any sequence of opens, closes and moves every per-tab
// list has one entry per tab and entry i of each belongs to the tab at position i.
#include "app/tabs/TabList.h"

#include "platform/Defaults.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace {

// The widgets a tab points at. Terminal panes are left out (each would start a shell); the tab list
// moves all of its pointers the same way, so the editor and git widgets stand for them.
struct TabWidgets {
    std::unique_ptr<EditorView> editor = std::make_unique<EditorView>();
    std::unique_ptr<GitPanelView> gitPanel = std::make_unique<GitPanelView>();
    std::unique_ptr<GitPanelDividerView> gitDivider = std::make_unique<GitPanelDividerView>();
};

// A tab whose every value carries its serial number, so a value that drifted to another tab's
// position shows at once.
TabState numberedTab(int serial, TabWidgets& widgets) {
    TabState tab = serial % 3 == 2
                       ? TabState::editor(widgets.editor.get(), tabColorForHue((serial % 10) / 10.0))
                       : TabState::terminal(nullptr, nullptr, tabColorForHue((serial % 10) / 10.0));
    tab.editorMode = static_cast<EditorInputMode>(serial % 3);
    tab.editorURL = QUrl::fromLocalFile(QStringLiteral("/f/%1").arg(serial));
    tab.editorDirty = serial % 2;
    tab.hasBell = serial % 4 == 1;
    tab.previewActive = serial % 5 == 1;
    tab.customName = QString::number(serial);
    // Only some tabs have a git panel: the lists of the git values must not drift either.
    tab.gitPosition = serial % 2 ? GitPanelPosition::right : GitPanelPosition::none;
    if (serial % 2) {
        tab.gitPanel = widgets.gitPanel.get();
        tab.gitDivider = widgets.gitDivider.get();
    }
    tab.gitRatio = serial + 0.1;
    tab.gitRatioV = serial + 0.2;
    tab.gitRatioH = serial + 0.3;
    return tab;
}

// The tabs as the design keeps them: seventeen separate lists, each edited on its own. Used as the
// reference the single list of tab values must agree with.
struct ParallelLists {
    std::vector<QObject*> termViews, editorViews, splitContainers, gitPanels, gitDividers;
    std::vector<TabType> types;
    std::vector<EditorInputMode> modes;
    std::vector<QUrl> urls;
    std::vector<bool> dirty, bell, preview;
    std::vector<QColor> colors;
    std::vector<std::optional<QString>> names;
    std::vector<GitPanelPosition> gitPositions;
    std::vector<double> ratios, ratiosV, ratiosH;
    int active = 0;

    template <class F> void each(F f) {
        f(termViews), f(editorViews), f(splitContainers), f(gitPanels), f(gitDividers), f(types), f(modes),
            f(urls), f(dirty), f(bell), f(preview), f(colors), f(names), f(gitPositions), f(ratios),
            f(ratiosV), f(ratiosH);
    }
    void append(const TabState& t) {
        termViews.push_back(t.termView), editorViews.push_back(t.editorView),
            splitContainers.push_back(t.splitContainer), gitPanels.push_back(t.gitPanel),
            gitDividers.push_back(t.gitDivider), types.push_back(t.type), modes.push_back(t.editorMode),
            urls.push_back(t.editorURL), dirty.push_back(t.editorDirty), bell.push_back(t.hasBell),
            preview.push_back(t.previewActive), colors.push_back(t.color), names.push_back(t.customName),
            gitPositions.push_back(t.gitPosition), ratios.push_back(t.gitRatio),
            ratiosV.push_back(t.gitRatioV), ratiosH.push_back(t.gitRatioH);
        active = static_cast<int>(types.size()) - 1;
    }
    void remove(int i) {
        each([i](auto& list) { list.erase(list.begin() + i); });
        const int n = static_cast<int>(types.size());
        if (active >= n)
            active = std::max(n - 1, 0);
        else if (i < active)
            --active;
        else if (i == active)
            active = std::min(i, n - 1);
    }
    void move(int from, int to) {
        each([from, to](auto& list) {
            typename std::decay_t<decltype(list)>::value_type value = list[static_cast<size_t>(from)];
            list.erase(list.begin() + from);
            list.insert(list.begin() + to, value);
        });
        if (active == from)
            active = to;
        else if (from < active && active <= to)
            --active;
        else if (to <= active && active < from)
            ++active;
    }
};

template <class A> std::vector<QObject*> widgets(const std::vector<QPointer<A>>& list) {
    std::vector<QObject*> out;
    for (const auto& p : list) out.push_back(p.data());
    return out;
}

void expectSameTabs(const TabList& tabs, const ParallelLists& lists) {
    const size_t n = static_cast<size_t>(tabs.count());
    // Every per-tab list has exactly one entry per tab.
    for (size_t length :
         {tabs.termViews().size(), tabs.tabTypes().size(), tabs.tabEditorViews().size(),
          tabs.tabEditorModes().size(), tabs.tabEditorURLs().size(), tabs.tabEditorDirty().size(),
          tabs.tabHasBell().size(), tabs.tabPreviewActive().size(), tabs.splitContainers().size(),
          tabs.tabColors().size(), tabs.tabCustomNames().size(), tabs.tabGitPositions().size(),
          tabs.tabGitPanels().size(), tabs.tabGitDividers().size(), tabs.tabGitRatios().size(),
          tabs.tabGitRatiosV().size(), tabs.tabGitRatiosH().size()})
        ASSERT_EQ(length, n);
    ASSERT_EQ(lists.types.size(), n);
    EXPECT_EQ(tabs.activeTab(), lists.active);
    EXPECT_EQ(widgets(tabs.termViews()), lists.termViews);
    EXPECT_EQ(widgets(tabs.tabEditorViews()), lists.editorViews);
    EXPECT_EQ(widgets(tabs.splitContainers()), lists.splitContainers);
    EXPECT_EQ(widgets(tabs.tabGitPanels()), lists.gitPanels);
    EXPECT_EQ(widgets(tabs.tabGitDividers()), lists.gitDividers);
    EXPECT_EQ(tabs.tabTypes(), lists.types);
    EXPECT_EQ(tabs.tabEditorModes(), lists.modes);
    EXPECT_EQ(tabs.tabEditorURLs(), lists.urls);
    EXPECT_EQ(tabs.tabEditorDirty(), lists.dirty);
    EXPECT_EQ(tabs.tabHasBell(), lists.bell);
    EXPECT_EQ(tabs.tabPreviewActive(), lists.preview);
    EXPECT_EQ(tabs.tabColors(), lists.colors);
    EXPECT_EQ(tabs.tabCustomNames(), lists.names);
    EXPECT_EQ(tabs.tabGitPositions(), lists.gitPositions);
    EXPECT_EQ(tabs.tabGitRatios(), lists.ratios);
    EXPECT_EQ(tabs.tabGitRatiosV(), lists.ratiosV);
    EXPECT_EQ(tabs.tabGitRatiosH(), lists.ratiosH);
    // And entry i of each belongs to one and the same tab.
    for (int i = 0; i < tabs.count(); ++i) {
        const TabState& t = tabs.at(i);
        const double serial = t.customName->toDouble();
        EXPECT_DOUBLE_EQ(t.gitRatio, serial + 0.1);
        EXPECT_DOUBLE_EQ(t.gitRatioH, serial + 0.3);
        EXPECT_EQ(t.editorURL.toLocalFile(), QStringLiteral("/f/%1").arg(*t.customName));
    }
}

} // namespace

TEST(TabList, AFreshListHasNoTabsAndShowsIndexZero) {
    TabList tabs;
    EXPECT_TRUE(tabs.isEmpty());
    EXPECT_EQ(tabs.activeTab(), 0);
    EXPECT_EQ(tabs.active(), nullptr);
    EXPECT_TRUE(tabs.tabGitRatiosH().empty());
    EXPECT_FALSE(tabs.setActiveTab(0));
    EXPECT_FALSE(tabs.remove(0).has_value());
}

TEST(TabList, OpenThreeMoveTheThirdToTheFrontCloseTheSecond) {
    std::vector<std::unique_ptr<TabWidgets>> views;
    TabList tabs;
    ParallelLists lists;
    for (int serial = 0; serial < 3; ++serial) {
        views.push_back(std::make_unique<TabWidgets>());
        const TabState tab = numberedTab(serial, *views.back());
        EXPECT_EQ(tabs.append(tab), serial);
        lists.append(tab);
    }
    EXPECT_EQ(tabs.activeTab(), 2) << "a new tab is put on show";
    ASSERT_TRUE(tabs.move(2, 0));
    lists.move(2, 0);
    EXPECT_EQ(tabs.activeTab(), 0);
    const std::optional<TabState> removed = tabs.remove(1);
    lists.remove(1);
    ASSERT_TRUE(removed.has_value());
    EXPECT_EQ(removed->customName, QString("0"));
    expectSameTabs(tabs, lists);
    EXPECT_EQ(tabs.tabCustomNames(), (std::vector<std::optional<QString>>{QString("2"), QString("1")}));
}

TEST(TabList, ClosingATabWithoutAGitPanelRemovesItsGitValuesToo) {
    TabWidgets view;
    TabList tabs;
    TabState withPanel = numberedTab(1, view);
    TabState withoutPanel = numberedTab(0, view);
    ASSERT_EQ(withoutPanel.gitPanel, nullptr);
    tabs.append(withPanel);
    tabs.append(withoutPanel);
    tabs.append(withPanel);
    tabs.remove(1);
    EXPECT_EQ(tabs.tabGitPositions().size(), 2u);
    EXPECT_EQ(tabs.tabGitRatios().size(), 2u);
    EXPECT_EQ(tabs.tabGitRatiosV().size(), 2u);
    EXPECT_EQ(tabs.tabGitRatiosH().size(), 2u);
    EXPECT_EQ(tabs.tabGitPanels().size(), 2u);
    EXPECT_EQ(tabs.tabGitDividers().size(), 2u);
    for (GitPanelPosition p : tabs.tabGitPositions()) EXPECT_EQ(p, GitPanelPosition::right);
}

TEST(TabList, RandomOpensClosesAndMovesKeepEveryValueWithItsTab) {
    std::mt19937 random(20240611);
    std::vector<std::unique_ptr<TabWidgets>> views;
    TabList tabs;
    ParallelLists lists;
    int serial = 0;
    for (int step = 0; step < 3000; ++step) {
        const int n = tabs.count();
        const int op = static_cast<int>(random() % 10);
        if (n == 0 || op < 3) {
            views.push_back(std::make_unique<TabWidgets>());
            const TabState tab = numberedTab(serial++, *views.back());
            tabs.append(tab);
            lists.append(tab);
        } else if (op < 6) {
            const int i = static_cast<int>(random() % static_cast<unsigned>(n));
            ASSERT_TRUE(tabs.remove(i).has_value());
            lists.remove(i);
        } else if (op < 9) {
            const int from = static_cast<int>(random() % static_cast<unsigned>(n));
            const int to = static_cast<int>(random() % static_cast<unsigned>(n));
            EXPECT_EQ(tabs.move(from, to), from != to);
            if (from != to) lists.move(from, to);
        } else {
            const int i = static_cast<int>(random() % static_cast<unsigned>(n + 2)) - 1;
            EXPECT_EQ(tabs.setActiveTab(i), i >= 0 && i < n);
            if (i >= 0 && i < n) lists.active = i;
        }
        // Out-of-range requests change nothing.
        EXPECT_FALSE(tabs.move(0, tabs.count()));
        EXPECT_FALSE(tabs.remove(tabs.count()).has_value());
        EXPECT_EQ(tabs.find(-1), nullptr);
        ASSERT_NO_FATAL_FAILURE(expectSameTabs(tabs, lists)) << "after step " << step;
        if (!tabs.isEmpty()) {
            ASSERT_TRUE(tabs.contains(tabs.activeTab()));
        }
    }
}

TEST(TabList, FindsATabByItsViews) {
    QTemporaryDir home;
    Defaults defaults(home.filePath("defaults.json"));
    PtySessionSettings settings{home.path(), {}};
    auto* a = new TerminalView(nullptr, QRect(0, 0, 300, 200), "/bin/sh", {}, {}, settings);
    auto* b = new TerminalView(nullptr, QRect(0, 0, 300, 200), "/bin/sh", {}, {}, settings);
    SplitContainer first(QRect(0, 0, 300, 200), a, &defaults);
    SplitContainer second(QRect(0, 0, 300, 200), b, &defaults);
    EditorView editor;
    TabList tabs;
    tabs.append(TabState::terminal(a, &first, tabColorForHue(0.5)));
    tabs.append(TabState::terminal(b, &second, tabColorForHue(0.5)));
    tabs.append(TabState::editor(&editor));
    EXPECT_EQ(tabs.indexOfTerminalView(b), 1);
    EXPECT_EQ(tabs.indexOfTerminalView(&first), -1);
    EXPECT_EQ(tabs.indexOfTerminalView(nullptr), -1);
    EXPECT_EQ(tabs.indexOfSplitContainer(&first), 0);
    EXPECT_EQ(tabs.indexOfEditorView(&editor), 2);
    EXPECT_EQ(tabs.indexOfEditorView(a), -1);
    EXPECT_EQ(tabs.at(0).page(), &first);
    EXPECT_EQ(tabs.at(2).page(), &editor) << "an editor tab's page is its editor";
    tabs.move(0, 1);
    EXPECT_EQ(tabs.indexOfTerminalView(b), 0);
}

TEST(TabList, NewTabsStartWithTheDefaultValues) {
    EditorView view;
    const TabState terminal = TabState::terminal(nullptr, nullptr, tabColorForHue(0.5));
    EXPECT_EQ(terminal.type, TabType::terminal);
    EXPECT_EQ(terminal.editorView, nullptr);
    EXPECT_EQ(terminal.editorMode, EditorInputMode::normal);
    EXPECT_TRUE(terminal.editorURL.isEmpty());
    EXPECT_FALSE(terminal.editorDirty || terminal.hasBell || terminal.previewActive);
    EXPECT_EQ(terminal.customName, std::nullopt);
    EXPECT_EQ(terminal.gitPosition, GitPanelPosition::none);
    EXPECT_DOUBLE_EQ(terminal.gitRatio, 0.3);
    EXPECT_DOUBLE_EQ(terminal.gitRatioV, 0.35);
    EXPECT_DOUBLE_EQ(terminal.gitRatioH, 0.3);
    const TabState editor = TabState::editor(&view);
    EXPECT_EQ(editor.type, TabType::editor);
    EXPECT_EQ(editor.termView, nullptr);
    EXPECT_EQ(editor.splitContainer, nullptr);
    EXPECT_EQ(editor.editorView, &view);
}

TEST(TabColor, HueSaturationBrightnessAndBack) {
    const QColor c = tabColorForHue(0.5);
    EXPECT_NEAR(c.hsvHueF(), 0.5, 1e-4);
    EXPECT_NEAR(c.hsvSaturationF(), 0.65, 1e-3);
    EXPECT_NEAR(c.valueF(), 0.85, 1e-3);
    EXPECT_DOUBLE_EQ(c.alphaF(), 1.0);
    // A hue saved from a colour gives the same colour again on every start.
    const double saved = *tabColorHue(tabColorForHue(0.123456789));
    EXPECT_EQ(tabColorForHue(saved), tabColorForHue(0.123456789));
    EXPECT_EQ(*tabColorHue(tabColorForHue(saved)), saved);
    EXPECT_EQ(tabColorHue(QColor()), std::nullopt);
    EXPECT_EQ(tabColorHue(QColor(128, 128, 128)), std::nullopt);
    for (int i = 0; i < 1000; ++i) {
        const double h = randomTabHue();
        ASSERT_GE(h, 0.0);
        ASSERT_LT(h, 1.0);
    }
    EXPECT_NE(randomTabHue(), randomTabHue());
}
