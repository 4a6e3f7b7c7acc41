#include "chrome/SidebarContextMenu.h"

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

void popUpMenu(std::unique_ptr<QMenu> menu, const QPoint& globalPos) {
    if (!menu) return;
    QMenu* shown = menu.release();
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->popup(globalPos);
}

void showSidebarContextMenu(QWidget* in, const QPoint& globalPos, SidebarMenuHost* host) {
    std::unique_ptr<QMenu> menu = sidebarContextMenu(host);
    if (!menu) return;
    if (in) QObject::connect(in, &QObject::destroyed, menu.get(), &QMenu::close);
    popUpMenu(std::move(menu), globalPos);
}
