#pragma once

#include <QPoint>
#include <QString>
#include <memory>

class QMenu;
class QWidget;

// What the side panels' menu needs of the controller: which of the three panels are on show, and
// showing or hiding one. The ids are "git", "picker" and "ssh".
class SidebarMenuHost {
public:
    virtual ~SidebarMenuHost() = default;
    virtual bool isSidebarPanelShown(const QString& id) const = 0;
    virtual void toggleSidebarPanel(const QString& id) = 0;
};

// The menu of a right click on a side panel: "Git", "WebPicker" and "SSH", each checked while its
// panel is on show and toggling it. None without a host.
std::unique_ptr<QMenu> sidebarContextMenu(SidebarMenuHost* host);
// Shows a menu made for one click at `globalPos` and lets it go when it closes. No nested event
// loop runs: the view it belongs to may go while it is open, and its items then do nothing.
void popUpMenu(std::unique_ptr<QMenu> menu, const QPoint& globalPos);

// Pops that menu up at `globalPos` over `in`; nothing without a host.
void showSidebarContextMenu(QWidget* in, const QPoint& globalPos, SidebarMenuHost* host);
