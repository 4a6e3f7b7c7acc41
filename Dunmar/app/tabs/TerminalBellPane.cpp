#include "app/tabs/TerminalBellPane.h"

#include "bell/BellPreviewItem.h"
#include "terminalview/TerminalView.h"

TerminalBellPane* TerminalBellPane::of(TerminalView* view) {
    if (!view) return nullptr;
    if (auto* pane = view->findChild<TerminalBellPane*>(QString(), Qt::FindDirectChildrenOnly)) return pane;
    return new TerminalBellPane(view);
}

TerminalBellPane::TerminalBellPane(TerminalView* view) : QObject(view), view_(view) {}

QObject* TerminalBellPane::bellPaneObject() {
    return view_;
}

QString TerminalBellPane::bellPaneId() const {
    return view_->tabId();
}

QStringList TerminalBellPane::lastScreenLines(int count) const {
    return extractLastLines(view_->terminal(), count);
}

bool TerminalBellPane::applicationCursorMode() const {
    return view_->terminal().mode(Mode::appCursor);
}

void TerminalBellPane::writeToShell(const QByteArray& bytes) {
    view_->writePTY(QByteArrayView(bytes));
}
