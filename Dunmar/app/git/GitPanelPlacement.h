#pragma once

#include "chrome/SidebarContextMenu.h"
#include "git/GitPanelService.h"

#include <QObject>
#include <QRect>
#include <functional>

class SidePanelColumn;
class Workspace;
struct TabState;

// Where each tab's git panel sits: the cycle of the header's git button (none, bottom, right,
// none), the panel and divider it creates and fades in and out, the divider's drag that sizes the
// panel, and the side panels' menu of a right click on the panel. Only the active tab is placed;
// the layout itself is the side-panel column's.
class GitPanelPlacement : public QObject, public GitPanelHost, public SidebarMenuHost {
public:
    static constexpr int kFadeInMs = 200;
    static constexpr int kFadeOutMs = 150;

    GitPanelPlacement(Workspace& workspace, SidePanelColumn& column, std::function<QRect()> termFrame,
                      QObject* parent = nullptr);

    void toggleGitPanel() override;
    void handleGitDividerDrag(double delta);
    // Gives `tab` its panel and divider, not yet placed or refreshing.
    void attachPanel(TabState& tab);

    bool isSidebarPanelShown(const QString& id) const override;
    void toggleSidebarPanel(const QString& id) override;

private:
    Workspace& workspace_;
    SidePanelColumn& column_;
    std::function<QRect()> termFrame_;
};
