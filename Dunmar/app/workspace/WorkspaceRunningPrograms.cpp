// Nothing a user runs in a pane is ended behind their back: closing a tab or a split and switching
// a pane's shell ask first while a program other than the shell has the terminal.
#include "app/window/ContentView.h"
#include "app/workspace/RunningProgram.h"
#include "app/workspace/Workspace.h"
#include "chrome/AlertSheetView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "terminalview/SplitContainer.h"
#include "terminalview/TerminalView.h"

std::optional<QString> Workspace::runningProgram(const QList<TerminalView*>& panes) {
    for (const TerminalView* pane : panes)
        if (pane)
            if (std::optional<QString> name = foregroundProgramName(pane->masterFd(), pane->childPid())) return name;
    return std::nullopt;
}

void Workspace::askBeforeEndingPrograms(const QList<TerminalView*>& panes, std::function<void()> proceed) {
    const std::optional<QString> program = runningProgram(panes);
    if (!program || !contentView_) {
        proceed();
        return;
    }
    // Cancel is the default: a Return typed in haste keeps the program.
    const AlertSheetView::Answer end{.label = qs(Loc::programRunningEnd()), .onChoose = std::move(proceed)};
    const AlertSheetView::Answer cancel{
        .label = qs(Loc::cancel()), .accent = true, .isDefault = true, .isCancel = true};
    AlertSheetView::show(contentView_, qs(Loc::programRunningTitle()),
                         QString::fromStdString(Loc::programRunningMessage(program->toStdString())),
                         {end, cancel});
}

QList<TerminalView*> Workspace::panesOf(const TabState& tab) {
    QList<TerminalView*> panes;
    if (tab.termView) panes << tab.termView.data();
    if (tab.splitContainer && tab.splitContainer->secondaryView()) panes << tab.splitContainer->secondaryView();
    return panes;
}
