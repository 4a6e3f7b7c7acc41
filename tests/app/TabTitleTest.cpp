// The titles of the tab strip.
#include "app/tabs/TabTitle.h"

#include "app/tabs/TabList.h"

#include <QWidget>
#include <gtest/gtest.h>

TEST(TabTitle, NameThenShellFolderThenHome) {
    const QString home = "/home/ada";
    struct Case {
        std::optional<QString> name;
        std::optional<QString> folder; // none: no running shell
        bool dirty;
        QString expected;
    };
    const Case cases[] = {
        {std::nullopt, "/home/ada", false, "~"},
        {std::nullopt, "/home/ada/", false, "~"},
        {std::nullopt, "/usr/local", false, "local"},
        {std::nullopt, "/usr/local/", false, "local"},
        {std::nullopt, "/", false, "/"},
        {std::nullopt, "/home/adam", false, "adam"},
        {std::nullopt, std::nullopt, false, "~"},
        {"build", "/usr/local", false, "build"},             // the user's name whatever the folder
        {"notes.md", std::nullopt, true, "\u2022 notes.md"}, // a modified editor tab
        {"notes.md", std::nullopt, false, "notes.md"},       // after saving
        {std::nullopt, std::nullopt, true, "\u2022 ~"},
        {QString(), "/usr", false, ""}, // an empty name is still a name
    };
    for (const Case& c : cases)
        EXPECT_EQ(tabTitle(c.name, c.folder, home, c.dirty), c.expected)
            << c.name.value_or("(none)").toStdString() << " in " << c.folder.value_or("(none)").toStdString();
}

TEST(TabTitle, TitlesOfAllTabsAskForTheFolderOnlyWhereItIsShown) {
    TabList tabs;
    tabs.append(TabState::terminal(nullptr, nullptr, tabColorForHue(0.1)));
    TabState named = TabState::terminal(nullptr, nullptr, tabColorForHue(0.2));
    named.customName = QString("server");
    tabs.append(named);
    TabState editor = TabState::editor(nullptr);
    editor.customName = QString("main.cpp");
    editor.editorDirty = true;
    tabs.append(editor);

    QList<int> asked;
    const QStringList titles = tabTitles(
        tabs,
        [&](int i) -> std::optional<QString> {
            asked << i;
            return i == 0 ? std::optional<QString>("/srv/www") : std::nullopt;
        },
        "/home/ada");
    EXPECT_EQ(titles, QStringList({"www", "server", "\u2022 main.cpp"}));
    EXPECT_EQ(asked, QList<int>({0}));
}
