// The side panels' menu of a right click on the git panel.
#include "chrome/SidebarContextMenu.h"

#include <QMenu>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// The controller's answers, as plain state.
struct PanelsShown : SidebarMenuHost {
    QSet<QString> shown;
    QStringList toggled;
    bool isSidebarPanelShown(const QString& id) const override { return shown.contains(id); }
    void toggleSidebarPanel(const QString& id) override { toggled << id; }
};

} // namespace

TEST(SidebarContextMenu, ListsTheThreePanelsCheckedWhileShownAndTogglesThem) {
    EXPECT_EQ(sidebarContextMenu(nullptr), nullptr) << "no controller, no menu";
    PanelsShown host;
    host.shown = {"picker"};
    std::unique_ptr<QMenu> menu = sidebarContextMenu(&host);
    ASSERT_TRUE(menu);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    QStringList titles;
    QList<bool> checked;
    for (QAction* item : items) {
        titles << item->text();
        checked << item->isChecked();
    }
    EXPECT_EQ(titles, QStringList({"Git", "WebPicker", "SSH"}));
    EXPECT_EQ(checked, QList<bool>({false, true, false}));
    items[0]->trigger();
    items[2]->trigger();
    EXPECT_EQ(host.toggled, QStringList({"git", "ssh"}));
}
