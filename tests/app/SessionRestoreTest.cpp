// Reading the saved tabs back: what counts, what falls back, and what is kept when something is
// broken.
#include "app/session/SessionRestore.h"

#include "app/session/SessionFormat.h"
#include "app/tabs/TabList.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace session;

namespace {

// Folders that exist for the restore; everything else is gone.
bool existing(const QString& path) {
    return path == "/home/ada" || path == "/srv" || path == "/";
}

std::optional<RestorePlan> plan(const QVariant& tabs, const QVariant& active = {}, const QVariant& frame = {},
                                const QVariant& order = {}, const QVariant& heights = {}) {
    return planRestore(tabs, active, frame, order, heights, {}, {}, existing);
}

RestoreTab onlyTab(const QVariantMap& entry) {
    const std::optional<RestorePlan> p = plan(QVariantList{entry});
    EXPECT_TRUE(p.has_value());
    EXPECT_EQ(p ? p->tabs.size() : 0u, 1u);
    return p && !p->tabs.empty() ? p->tabs[0] : RestoreTab{};
}

} // namespace

TEST(SessionRestore, NothingStoredRestoresNothing) {
    EXPECT_EQ(plan(QVariant()), std::nullopt);
    EXPECT_EQ(plan(QVariantList()), std::nullopt);
    EXPECT_EQ(plan(QString("not a list")), std::nullopt);
    EXPECT_EQ(plan(QVariantList{42}), std::nullopt) << "a list without any entry";
}

TEST(SessionRestore, AMalformedElementIsSkippedAndTheOthersAreRestored) {
    const QVariantList stored{QVariantMap{{"shell", "/bin/bash"}, {"customName", "first"}},
                              QString("garbage"), QVariantMap{{"type", "editor"}, {"customName", "third"}},
                              17};
    const std::optional<RestorePlan> p = plan(stored);
    ASSERT_TRUE(p.has_value()) << "one bad element must not discard every saved tab";
    ASSERT_EQ(p->tabs.size(), 2u);
    EXPECT_EQ(p->tabs[0].customName, "first");
    EXPECT_EQ(p->tabs[1].customName, "third");
    EXPECT_EQ(p->skippedEntries, 2);
}

TEST(SessionRestore, TheActiveIndexFollowsTheRestoredTabs) {
    const QVariantMap tab{{"shell", "/bin/sh"}};
    const QVariantList clean{tab, tab, tab};
    const QVariantList broken{tab, 1, tab, tab}; // saved positions 0, 2, 3 survive
    struct Case {
        QVariantList list;
        QVariant stored;
        std::optional<int> expected;
        const char* what;
    };
    const Case cases[] = {
        {clean, 1, 1, "as stored"},
        {clean, QVariant(), 0, "absent: the first"},
        {clean, "2", 0, "not a number: the first"},
        {clean, 9, 2, "beyond the list: the last"},
        {clean, -1, std::nullopt, "negative: the last created stays on show"},
        {broken, 2, 1, "saved position 2 is now the second tab"},
        {broken, 3, 2, "saved position 3 is now the third tab"},
        {broken, 1, 1, "a skipped active entry hands over to the next tab"},
        {broken, 0, 0, ""},
    };
    for (const Case& c : cases) {
        const std::optional<RestorePlan> p = plan(c.list, c.stored);
        ASSERT_TRUE(p.has_value());
        EXPECT_EQ(p->activeTab, c.expected) << c.what;
    }
}

TEST(SessionRestore, TerminalEntryFallbacks) {
    const RestoreTab empty = onlyTab({});
    EXPECT_EQ(empty.type, TabType::terminal);
    EXPECT_EQ(empty.shell, "/bin/zsh");
    EXPECT_EQ(empty.cwd, std::nullopt);
    EXPECT_EQ(empty.colorHue, std::nullopt);
    EXPECT_EQ(empty.tabId, std::nullopt);
    EXPECT_EQ(empty.git, std::nullopt);
    EXPECT_EQ(empty.split, std::nullopt);

    EXPECT_EQ(onlyTab({{"type", "Editor"}}).type, TabType::terminal) << "the type is matched exactly";
    EXPECT_EQ(onlyTab({{"type", 1}}).type, TabType::terminal);

    struct CwdCase {
        QVariant stored;
        std::optional<QString> expected;
    };
    const CwdCase cwds[] = {
        {"/home/ada", QString("/home/ada")}, {"/", std::nullopt}, {"", std::nullopt},
        {"/gone/away", std::nullopt},        {42, std::nullopt},
    };
    for (const CwdCase& c : cwds)
        EXPECT_EQ(onlyTab({{"cwd", c.stored}}).cwd, c.expected) << c.stored.toString().toStdString();

    // Values of the wrong type count as absent.
    const RestoreTab wrong = onlyTab({{"shell", 5}, {"colorHue", "0.5"}, {"tabId", 7}, {"customName", true}});
    EXPECT_EQ(wrong.shell, "/bin/zsh");
    EXPECT_EQ(wrong.colorHue, std::nullopt);
    EXPECT_EQ(wrong.tabId, std::nullopt);
    EXPECT_EQ(wrong.customName, std::nullopt);
    EXPECT_EQ(onlyTab({{"colorHue", 0}}).colorHue, 0.0) << "a whole number is a hue too";
}

TEST(SessionRestore, SplitPane) {
    struct Case {
        QVariant ratio;
        std::optional<double> expected;
    };
    const Case ratios[] = {{0.5, 0.5},   {0.1, std::nullopt}, {0.9, std::nullopt},
                           {0.11, 0.11}, {1.5, std::nullopt}, {"0.5", std::nullopt}};
    for (const Case& c : ratios) {
        const RestoreTab t = onlyTab({{"splitVertical", true}, {"splitRatio", c.ratio}});
        ASSERT_TRUE(t.split.has_value());
        EXPECT_EQ(t.split->ratio, c.expected) << c.ratio.toString().toStdString();
    }

    const RestoreTab inherited = onlyTab({{"shell", "/bin/bash"}, {"cwd", "/srv"}, {"splitVertical", false}});
    ASSERT_TRUE(inherited.split.has_value());
    EXPECT_FALSE(inherited.split->vertical);
    EXPECT_EQ(inherited.split->shell, "/bin/bash");
    EXPECT_EQ(inherited.split->cwd, "/srv");
    EXPECT_EQ(inherited.split->tabId, std::nullopt);

    const RestoreTab own = onlyTab({{"cwd", "/gone"},
                                    {"splitVertical", true},
                                    {"splitShell", "/bin/sh"},
                                    {"splitCwd", "/also/gone"},
                                    {"splitTabId", "X"}});
    EXPECT_EQ(own.split->shell, "/bin/sh");
    EXPECT_EQ(own.split->cwd, "/also/gone") << "a stored second folder is used unchecked";
    EXPECT_EQ(own.split->tabId, "X");
    EXPECT_EQ(onlyTab({{"cwd", "/gone"}, {"splitVertical", true}}).split->cwd, std::nullopt);

    EXPECT_EQ(onlyTab({{"splitVertical", "yes"}, {"splitShell", "/bin/sh"}}).split, std::nullopt);
}

TEST(SessionRestore, GitPanel) {
    struct Case {
        QVariant position;
        std::optional<GitPanelPosition> expected;
    };
    const Case cases[] = {{"bottom", GitPanelPosition::bottom}, {"right", GitPanelPosition::right},
                          {"left", GitPanelPosition::right},    {"none", std::nullopt},
                          {QVariant(), std::nullopt},           {3, std::nullopt}};
    for (const Case& c : cases) {
        const RestoreTab t = onlyTab({{"gitPosition", c.position}, {"cwd", "/gone"}, {"gitRatioH", 0.2}});
        EXPECT_EQ(t.git.has_value(), c.expected.has_value()) << c.position.toString().toStdString();
        if (!t.git || !c.expected) continue;
        EXPECT_EQ(t.git->position, *c.expected);
        EXPECT_EQ(t.git->ratioH, 0.2);
        EXPECT_EQ(t.git->ratio, std::nullopt);
        EXPECT_EQ(t.git->refreshDirectory, "/gone")
            << "the panel follows the stored text, even when it is gone";
    }
    EXPECT_EQ(onlyTab({{"gitPosition", "right"}}).git->refreshDirectory, "");
}

TEST(SessionRestore, EditorEntry) {
    const RestoreTab e = onlyTab({{"type", "editor"}, {"editorURL", "/a.txt"}, {"editorMode", "vim"}});
    EXPECT_EQ(e.type, TabType::editor);
    EXPECT_EQ(e.editorPath, "/a.txt");
    EXPECT_EQ(e.editorMode, EditorInputMode::vim);
    EXPECT_EQ(onlyTab({{"type", "editor"}, {"editorMode", "nano"}}).editorMode, EditorInputMode::nano);
    EXPECT_EQ(onlyTab({{"type", "editor"}, {"editorMode", "emacs"}}).editorMode, EditorInputMode::normal);
    EXPECT_EQ(onlyTab({{"type", "editor"}}).editorMode, std::nullopt);
    EXPECT_EQ(onlyTab({{"type", "editor"}, {"editorURL", ""}}).editorPath, std::nullopt);
}

TEST(SessionRestore, AnUnreadableEditorFileKeepsItsEntry) {
    QTemporaryDir dir;
    const QString readable = dir.filePath("notes.md");
    {
        QFile f(readable);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("# Tâches\n");
    }
    const QString latin1 = dir.filePath("latin1.txt");
    {
        QFile f(latin1);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("caf\xe9\n");
    }

    RestoreTab tab;
    tab.type = TabType::editor;
    tab.editorPath = readable;
    EditorRestore ok = restoreEditor(tab, readUtf8File);
    EXPECT_EQ(ok.text, QString("# Tâches\n"));
    EXPECT_EQ(ok.url, QUrl::fromLocalFile(readable));
    EXPECT_EQ(ok.customName, "notes.md");
    EXPECT_EQ(ok.keptPath, std::nullopt);
    tab.customName = "Plan";
    EXPECT_EQ(restoreEditor(tab, readUtf8File).customName, "Plan") << "the user's name wins over the file's";

    for (const QString& path : {dir.filePath("deleted.md"), latin1}) {
        tab.editorPath = path;
        tab.customName.reset();
        const EditorRestore lost = restoreEditor(tab, readUtf8File);
        EXPECT_EQ(lost.text, std::nullopt);
        EXPECT_TRUE(lost.url.isEmpty());
        EXPECT_EQ(lost.keptPath, path);

        // Saved again, the entry still names the file.
        TabState state = TabState::editor(nullptr);
        applyEditorRestore(state, lost);
        TabList tabs;
        tabs.append(state);
        const QVariantList saved = encodeTabs(savedTabs(tabs, {}));
        ASSERT_EQ(saved.size(), 1);
        EXPECT_EQ(saved[0].toMap().value("editorURL"), path);

        // Once the tab has a file of its own, that one is saved.
        tabs.at(0).editorURL = QUrl::fromLocalFile("/home/ada/new.md");
        EXPECT_EQ(encodeTabs(savedTabs(tabs, {}))[0].toMap().value("editorURL"), "/home/ada/new.md");
    }
}

TEST(SessionRestore, WindowFrameAndSidePanels) {
    const QVariantList tabs{QVariantMap{}};
    EXPECT_EQ(plan(tabs, {}, "{{0, 0}, {320, 220}}")->windowFrame, QRectF(0, 0, 320, 220));
    EXPECT_EQ(plan(tabs, {}, "{{0, 0}, {319, 600}}")->windowFrame, std::nullopt);
    EXPECT_EQ(plan(tabs, {}, "{{0, 0}, {800, 219}}")->windowFrame, std::nullopt);
    EXPECT_EQ(plan(tabs, {}, "nonsense")->windowFrame, std::nullopt);

    EXPECT_EQ(plan(tabs, {}, {}, QVariantList{"ssh", "git"})->sidebarOrder, QStringList({"ssh", "git"}));
    EXPECT_EQ(plan(tabs, {}, {}, QVariantList{"ssh", 3})->sidebarOrder, std::nullopt);
    EXPECT_EQ(plan(tabs, {}, {}, {}, QVariantMap{{"git", 250}, {"ssh", 199.5}})->sidebarPanelHeights,
              (QMap<QString, double>{{"git", 250}, {"ssh", 199.5}}));
    EXPECT_TRUE(
        plan(tabs, {}, {}, {}, QVariantMap{{"git", 250}, {"ssh", "tall"}})->sidebarPanelHeights.isEmpty())
        << "a dictionary with one value that is not a number is ignored whole";

    const auto p = planRestore(tabs, {}, {}, {}, {}, true, "true", existing);
    EXPECT_TRUE(p->webPickerOpen);
    EXPECT_FALSE(p->sshManagerOpen);
}

TEST(SessionRestore, AFrameIsUsedOnlyWhereAScreenShowsEnoughOfIt) {
    const QList<QRectF> screens{QRectF(0, 0, 1440, 900), QRectF(1440, 0, 1920, 1080)};
    EXPECT_TRUE(frameFitsOnScreens(QRectF(100, 100, 860, 480), screens));
    EXPECT_TRUE(frameFitsOnScreens(QRectF(3260, 500, 860, 480), screens)); // 100 wide on the second
    EXPECT_FALSE(frameFitsOnScreens(QRectF(3261, 500, 860, 480), screens));
    EXPECT_FALSE(frameFitsOnScreens(QRectF(100, 857, 860, 480), {QRectF(0, 0, 1440, 900)})) << "100 x 43";
    EXPECT_TRUE(frameFitsOnScreens(QRectF(100, 856, 860, 480), {QRectF(0, 0, 1440, 900)}));
    EXPECT_FALSE(frameFitsOnScreens(QRectF(100, 100, 860, 480), {}));
}
