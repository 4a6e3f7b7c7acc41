#pragma once

#include "app/tabs/TabState.h"
#include "app/sidepanel/GitPanelLayout.h"
#include "git/GitPanelDividerView.h"
#include "git/GitPanelView.h"
#include "ssh/SSHManagerView.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <optional>

class Defaults;
class SidePanelHost;
class SidebarMenuHost;

// The column of side panels at the right of the window: the web picker's sidebar and the SSH
// manager shown and hidden with a fade, the active tab's git panel when it sits on the right, their
// order and heights, the column's width, the dividers that resize them and the panels' move
// buttons. The ids of the panels are "git", "picker" and "ssh".
class SidePanelColumn : public QObject {
public:
    static constexpr int kFadeInMs = 200;
    static constexpr int kFadeOutMs = 150;
    static constexpr int kSSHCommandDelayMs = 350;

    // `defaults` holds the SSH manager's profiles.
    SidePanelColumn(SidePanelHost& host, Defaults& defaults, QObject* parent = nullptr);

    // What serves the menu of a right click on the SSH manager.
    void setSidebarMenuHost(SidebarMenuHost* host) { sidebarMenuHost_ = host; }

    // The header's buttons and the side-panel menu: each shows its panel when hidden, else hides it.
    void toggleWebPicker();
    void toggleSSHManager();
    // Nothing while no tab is open or the panel is shown already.
    void showWebPickerSidebar();
    void showSSHManager();
    // Fades the panel out and then forgets it; nothing when none is shown or it is going already.
    void hideWebPickerSidebar();
    void hideSSHManager();
    WebPickerSidebarView* webPickerSidebarView() const { return webPickerSidebarView_; }
    SSHManagerView* sshManagerView() const { return sshManagerView_; }
    bool isWebPickerShown() const { return !webPickerSidebarView_.isNull(); }
    bool isSSHManagerShown() const { return !sshManagerView_.isNull(); }

    // Opens a new tab and, once its shell has had a moment to start, types `connectCommand` and a
    // line feed into that tab's own terminal (not whichever tab is active by then).
    void openSSHConnection(const QString& connectCommand);

    // The order of the panels, top first, hidden ones included; and their preferred heights.
    const QStringList& sidebarOrder() const { return sidebarOrder_; }
    const QMap<QString, double>& sidebarPanelHeights() const { return sidebarPanelHeights_; }
    // A saved order replaces the current one; saved heights are merged into the current ones.
    void restoreOrderAndHeights(const std::optional<QStringList>& order,
                                const QMap<QString, double>& heights);
    // The side panels in the column, top first.
    QStringList visibleSidebarPanels() const;

    // Moves a shown panel one place up (-1) or down (1) among the shown ones.
    void moveSidebarPanel(const QString& id, int direction);
    // The column's left divider moved by `delta`: the column's share of the terminal area follows.
    void handleWebPickerDividerDrag(double delta);
    // The divider between two stacked panels moved by `delta`.
    void handleSidebarHDividerDrag(const QString& topId, const QString& botId, double delta);
    void updateSidebarMoveButtons();

    // Places the tab pages, the column with its panels and dividers, and sets the move buttons.
    void layout();
    // The tab pages' rectangle: the terminal frame less the column and its divider.
    QRect pageFrame() const;

private:
    QWidget* panelOf(const QString& id) const;
    // The frames of this moment for the active tab, in bottom-up coordinates of a content view of
    // that height.
    gitlayout::Output computeLayout(const TabState* tab, qreal parentHeight) const;
    void layoutColumn();

    SidePanelHost& host_;
    Defaults& defaults_;
    SidebarMenuHost* sidebarMenuHost_ = nullptr;
    QStringList sidebarOrder_{QStringLiteral("git"), QStringLiteral("picker"), QStringLiteral("ssh")};
    QMap<QString, double> sidebarPanelHeights_{
        {QStringLiteral("git"), 300}, {QStringLiteral("picker"), 320}, {QStringLiteral("ssh"), 260}};
    QPointer<WebPickerSidebarView> webPickerSidebarView_;
    QPointer<SSHManagerView> sshManagerView_;
    QPointer<GitPanelDividerView> webPickerRightDivider_;
    QMap<QString, QPointer<GitPanelDividerView>> sidebarHDividers_;
};
