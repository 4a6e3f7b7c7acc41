// Writing the open tabs: the entries of terminal and editor tabs and the other stored keys.
#include "app/session/SessionFormat.h"

#include "app/session/SessionRestore.h"
#include "app/tabs/TabList.h"
#include "platform/Defaults.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace session;

namespace {

TerminalSnapshot panes(const QString& cwd, std::optional<SplitSnapshot> split = std::nullopt) {
    return TerminalSnapshot{PaneSnapshot{"/bin/bash", cwd, "id-" + cwd.section('/', -1)}, split};
}

} // namespace

TEST(SessionFormat, TerminalEntry) {
    SavedTab tab;
    tab.primary = {"/bin/bash", "/srv", "A1"};
    tab.colorHue = 0.25;
    tab.gitPosition = GitPanelPosition::bottom;
    tab.gitRatio = 0.4;
    const QVariantMap plain = encodeTab(tab);
    EXPECT_EQ(plain, (QVariantMap{{"shell", "/bin/bash"},
                                  {"cwd", "/srv"},
                                  {"tabId", "A1"},
                                  {"colorHue", 0.25},
                                  {"gitPosition", "bottom"},
                                  {"gitRatio", 0.4},
                                  {"gitRatioV", 0.35},
                                  {"gitRatioH", 0.3}}));
    EXPECT_FALSE(plain.contains("type")) << "a terminal entry has no type key";

    tab.customName = "api";
    tab.split = SplitSnapshot{false, 0.7, {"/bin/sh", "/tmp", "B2"}};
    tab.gitPosition = GitPanelPosition::none;
    const QVariantMap split = encodeTab(tab);
    EXPECT_EQ(split.value("customName"), "api");
    EXPECT_EQ(split.value("splitVertical"), false);
    EXPECT_EQ(split.value("splitRatio"), 0.7);
    EXPECT_EQ(split.value("splitShell"), "/bin/sh");
    EXPECT_EQ(split.value("splitCwd"), "/tmp");
    EXPECT_EQ(split.value("splitTabId"), "B2");
    EXPECT_EQ(split.value("gitPosition"), "none") << "written for every terminal tab, none included";
}

TEST(SessionFormat, EditorEntry) {
    SavedTab tab;
    tab.type = TabType::editor;
    tab.primary = {"/bin/bash", "/srv", "A1"};
    tab.colorHue = 0.25;
    tab.editorMode = EditorInputMode::vim;
    EXPECT_EQ(encodeTab(tab), (QVariantMap{{"type", "editor"}, {"editorMode", "vim"}}))
        << "no split, colour, tab identifier or git keys";
    tab.editorPath = "/home/ada/notes.md";
    tab.customName = "Notes";
    tab.editorMode = EditorInputMode::nano;
    EXPECT_EQ(encodeTab(tab), (QVariantMap{{"type", "editor"},
                                           {"editorURL", "/home/ada/notes.md"},
                                           {"editorMode", "nano"},
                                           {"customName", "Notes"}}));
}

TEST(SessionFormat, SavedTabsFollowTheTabList) {
    QTemporaryDir home;
    Defaults store(home.filePath("defaults.json"));
    auto* view = new TerminalView(nullptr, QRect(0, 0, 300, 200), "/bin/sh", {}, {}, {home.path(), {}});
    SplitContainer container(QRect(0, 0, 300, 200), view, &store);
    TabList tabs;
    TabState terminal = TabState::terminal(view, &container, tabColorForHue(0.5));
    terminal.gitPosition = GitPanelPosition::right;
    terminal.gitRatioV = 0.42;
    tabs.append(terminal);
    TabState editor = TabState::editor(nullptr);
    editor.editorURL = QUrl::fromLocalFile("/home/ada/a b.txt");
    editor.editorMode = EditorInputMode::nano;
    tabs.append(editor);
    tabs.append(TabState::terminal(nullptr, &container, tabColorForHue(0.1))); // no view: not saved
    TabState unreadable = TabState::editor(nullptr);
    unreadable.keptEditorPath = "/media/usb/todo.txt";
    tabs.append(unreadable);

    const std::vector<SavedTab> saved =
        savedTabs(tabs, [&](const TabState& t) -> std::optional<TerminalSnapshot> {
            EXPECT_EQ(t.termView, view);
            return panes("/srv/www", SplitSnapshot{true, 0.6, {"/bin/zsh", "/srv", "S"}});
        });
    ASSERT_EQ(saved.size(), 3u);
    const QVariantList list = encodeTabs(saved);
    const QVariantMap first = list[0].toMap();
    EXPECT_EQ(first.value("cwd"), "/srv/www");
    EXPECT_EQ(first.value("tabId"), "id-www");
    EXPECT_NEAR(first.value("colorHue").toDouble(), 0.5, 1e-4);
    EXPECT_EQ(first.value("gitPosition"), "right");
    EXPECT_EQ(first.value("gitRatioV"), 0.42);
    EXPECT_EQ(first.value("splitVertical"), true);
    EXPECT_EQ(first.value("splitTabId"), "S");
    EXPECT_EQ(list[1].toMap().value("editorURL"), "/home/ada/a b.txt") << "the file's path, not its URL text";
    EXPECT_EQ(list[1].toMap().value("editorMode"), "nano");
    EXPECT_EQ(list[2].toMap().value("editorURL"), "/media/usb/todo.txt") << "a kept path is saved again";

    // A pane that cannot be read leaves its tab out rather than writing a broken entry.
    EXPECT_EQ(savedTabs(tabs, [](const TabState&) { return std::optional<TerminalSnapshot>(); }).size(), 2u);
}

TEST(SessionFormat, RectangleText) {
    EXPECT_EQ(rectToString(QRectF(10, 20, 860, 480)), "{{10, 20}, {860, 480}}");
    EXPECT_EQ(rectFromString("{{10, 20}, {860, 480}}"), QRectF(10, 20, 860, 480));
    EXPECT_EQ(rectFromString("{{-10.5, 2e2}, {860.25, 480}}"), QRectF(-10.5, 200, 860.25, 480));
    EXPECT_EQ(rectFromString(rectToString(QRectF(0.1, 1.0 / 3, 700, 300))), QRectF(0.1, 1.0 / 3, 700, 300));
    EXPECT_EQ(rectFromString("{{10, 20}, {860}}"), std::nullopt);
    EXPECT_EQ(rectFromString(""), std::nullopt);
}

TEST(SessionFormat, WrittenKeysReadBackAsTheSameTabs) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    SessionSnapshot snapshot;
    SavedTab terminal;
    terminal.primary = {"/bin/bash", dir.path(), "T1"};
    terminal.colorHue = 0.75;
    terminal.customName = "build";
    terminal.split = SplitSnapshot{false, 0.3, {"/bin/sh", "/var", "T2"}};
    terminal.gitPosition = GitPanelPosition::bottom;
    terminal.gitRatioH = 0.25;
    snapshot.tabs.push_back(terminal);
    SavedTab editor;
    editor.type = TabType::editor;
    editor.editorPath = "/etc/hosts";
    editor.editorMode = EditorInputMode::vim;
    snapshot.tabs.push_back(editor);
    snapshot.activeTab = 0;
    snapshot.windowFrame = QRectF(40, 50, 900, 500);
    snapshot.webPickerOpen = true;
    snapshot.sidebarOrder = {"ssh", "git", "picker"};
    snapshot.sidebarPanelHeights = {{"git", 280}, {"ssh", 200}};
    writeSession(defaults, snapshot);
    ASSERT_TRUE(defaults.synchronize());

    Defaults reread(dir.filePath("defaults.json"));
    const std::optional<RestorePlan> plan = planRestore(reread, isExistingDirectory);
    ASSERT_TRUE(plan.has_value());
    ASSERT_EQ(plan->tabs.size(), 2u);
    const RestoreTab& t = plan->tabs[0];
    EXPECT_EQ(t.type, TabType::terminal);
    EXPECT_EQ(t.shell, "/bin/bash");
    EXPECT_EQ(t.cwd, dir.path());
    EXPECT_EQ(t.tabId, "T1");
    EXPECT_EQ(t.colorHue, 0.75);
    EXPECT_EQ(t.customName, "build");
    ASSERT_TRUE(t.split.has_value());
    EXPECT_FALSE(t.split->vertical);
    EXPECT_EQ(t.split->ratio, 0.3);
    EXPECT_EQ(t.split->cwd, "/var");
    ASSERT_TRUE(t.git.has_value());
    EXPECT_EQ(t.git->position, GitPanelPosition::bottom);
    EXPECT_EQ(t.git->ratioH, 0.25);
    EXPECT_EQ(plan->tabs[1].type, TabType::editor);
    EXPECT_EQ(plan->tabs[1].editorPath, "/etc/hosts");
    EXPECT_EQ(plan->tabs[1].editorMode, EditorInputMode::vim);
    EXPECT_EQ(plan->activeTab, 0);
    EXPECT_EQ(plan->windowFrame, QRectF(40, 50, 900, 500));
    EXPECT_TRUE(plan->webPickerOpen);
    EXPECT_FALSE(plan->sshManagerOpen);
    EXPECT_EQ(plan->sidebarOrder, QStringList({"ssh", "git", "picker"}));
    EXPECT_EQ(plan->sidebarPanelHeights, (QMap<QString, double>{{"git", 280}, {"ssh", 200}}));
}
