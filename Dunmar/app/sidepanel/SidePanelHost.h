#pragma once

#include <QRect>
#include <QString>
#include <optional>

class QWidget;
struct TabState;
class TerminalView;
class WebPickerService;

// What the side-panel column needs of its owner: where its panels and dividers go, the terminal
// area it shares with the tab pages, the active tab's git panel and column width, and the few
// commands a panel sets off (a new tab for an SSH connection, the window on the right half).
class SidePanelHost {
public:
    virtual ~SidePanelHost() = default;

    // The widget that holds the active tab's page, where the panels go; none without a tab.
    virtual QWidget* sidePanelParent() const = 0;
    // The widget the column's dividers go into; none before the window is built.
    virtual QWidget* sidePanelDividerParent() const = 0;
    // The rectangle the tab pages and the column share.
    virtual QRect terminalFrame() const = 0;
    // Places every tab's page in `frame`.
    virtual void placeTabPages(const QRect& frame) = 0;

    // The active tab, whose git panel the layout places; none without a tab.
    virtual TabState* activeTabState() const = 0;
    // The active tab's git panel while it stands in the column (on the right); none otherwise.
    virtual QWidget* activeGitPanelInColumn() const = 0;
    // The active tab's share of the terminal frame's width for the column; none without a tab.
    virtual std::optional<double> activeColumnShare() const = 0;
    virtual void setActiveColumnShare(double share) = 0;
    // The panels' heights changed: the active tab's panes lay themselves out again.
    virtual void relayoutActiveTab() = 0;

    // The picker ("picker") or the SSH manager ("ssh") came or went: the header's button follows.
    virtual void sidePanelShown(const QString& id, bool shown) = 0;
    // The picker's browser is connected: the window takes the right half of its screen.
    virtual void snapWindowRightHalf() = 0;
    // Opens a terminal tab and shows it; its primary pane, or none when no tab was made.
    virtual TerminalView* openTerminalTab() = 0;
    // The picker's service, told when its sidebar comes and goes.
    virtual WebPickerService& webPicker() = 0;
};
