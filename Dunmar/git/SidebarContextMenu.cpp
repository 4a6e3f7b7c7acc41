#include "git/SidebarContextMenu.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

std::unique_ptr<QMenu> sidebarContextMenu(SidebarMenuHost* host) {
    if (!host) return nullptr;
    auto menu = std::make_unique<QMenu>();
    // Product names, the same in every language.
    const std::pair<const char*, const char*> items[] = {
        {"Git", "git"}, {"WebPicker", "picker"}, {"SSH", "ssh"}};
    for (const auto& [title, id] : items) {
        QAction* item = menu->addAction(QString::fromLatin1(title));
        item->setCheckable(true);
        item->setChecked(host->isSidebarPanelShown(QString::fromLatin1(id)));
        QObject::connect(item, &QAction::triggered, menu.get(),
                         [host, panel = QString::fromLatin1(id)] { host->toggleSidebarPanel(panel); });
    }
    return menu;
}

void showSidebarContextMenu(QWidget* in, const QPoint& globalPos, SidebarMenuHost* host) {
    std::unique_ptr<QMenu> menu = sidebarContextMenu(host);
    if (!menu) return;
    // Shown without a nested event loop: the panel may go while the menu is open.
    QMenu* shown = menu.release();
    shown->setAttribute(Qt::WA_DeleteOnClose);
    if (in) QObject::connect(in, &QObject::destroyed, shown, &QMenu::close);
    shown->popup(globalPos);
}
