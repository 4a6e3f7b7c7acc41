// The menu of a right click: clipboard commands, tab and split commands, the side panels, and the
// version. Built afresh for every click, so its titles follow the interface language and its states
// are those of the moment.
#include "DunmarVersion.h"
#include "localisation/Loc.h"
#include "terminalview/TerminalView.h"
#include "terminalview/TerminalViewHost.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>

namespace {

QString text(const std::string& localised) {
    return QString::fromStdString(localised);
}

} // namespace

QString TerminalView::versionLine() const {
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty()) version = QString::fromLatin1(kAppVersion);
    return QStringLiteral("Dunmar v") + version;
}

namespace {

QAction* addItem(QMenu* menu, const QString& title, TerminalView* view, void (TerminalView::*slot)()) {
    QAction* item = menu->addAction(title);
    QObject::connect(item, &QAction::triggered, view, slot);
    return item;
}

} // namespace

std::unique_ptr<QMenu> TerminalView::contextMenu() {
    // While the program takes the mouse the right button is reported to it instead.
    if (terminal_->mouseMode >= 1000) return nullptr;
    const TerminalViewHost* host = TerminalViewHost::installed();
    auto menu = std::make_unique<QMenu>();

    QAction* copy = addItem(menu.get(), text(Loc::copy()), this, &TerminalView::copyText);
    copy->setEnabled(selStart_.has_value() && selEnd_.has_value());
    addItem(menu.get(), text(Loc::paste()), this, &TerminalView::paste);
    menu->addSeparator();
    addItem(menu.get(), text(Loc::selectAll()), this, &TerminalView::selectAll);
    addItem(menu.get(), text(Loc::clear()), this, &TerminalView::clearScrollback);
    menu->addSeparator();
    addItem(menu.get(), text(Loc::newTab()), this, &TerminalView::contextMenuNewTab);
    menu->addSeparator();
    addItem(menu.get(), text(Loc::splitVertical()), this, &TerminalView::contextMenuSplitV);
    addItem(menu.get(), text(Loc::splitHorizontal()), this, &TerminalView::contextMenuSplitH);
    menu->addSeparator();

    QMenu* panels = menu->addMenu(text(Loc::panels()));
    const auto addPanel = [&](const QString& title, void (TerminalView::*slot)(), bool shown) {
        QAction* item = addItem(panels, title, this, slot);
        item->setCheckable(true);
        item->setChecked(shown);
    };
    // Product names, the same in every language.
    addPanel(QStringLiteral("Git"), &TerminalView::contextMenuToggleGit, host && host->isGitPanelShown());
    addPanel(QStringLiteral("WebPicker"), &TerminalView::contextMenuTogglePicker,
             host && host->isWebPickerShown());
    addPanel(QStringLiteral("SSH"), &TerminalView::contextMenuToggleSSH, host && host->isSSHManagerShown());
    menu->addSeparator();

    QAction* info = menu->addAction(versionLine());
    info->setEnabled(false);
    QFont small = info->font();
    small.setPointSizeF(10);
    small.setWeight(QFont::Light);
    info->setFont(small);
    return menu;
}

void TerminalView::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu = contextMenu();
    if (!menu) {
        event->ignore();
        return;
    }
    event->accept();
    // Shown without a nested event loop: the pane may close while the menu is open, and its items
    // then simply do nothing.
    QMenu* shown = menu.release();
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->popup(event->globalPos());
}

void TerminalView::contextMenuNewTab() {
    if (TerminalViewHost* host = TerminalViewHost::installed()) host->addTab();
}
void TerminalView::contextMenuSplitV() {
    if (TerminalViewHost* host = TerminalViewHost::installed()) host->toggleSplit(true);
}
void TerminalView::contextMenuSplitH() {
    if (TerminalViewHost* host = TerminalViewHost::installed()) host->toggleSplit(false);
}
void TerminalView::contextMenuToggleGit() {
    if (TerminalViewHost* host = TerminalViewHost::installed()) host->toggleGitPanel();
}
void TerminalView::contextMenuTogglePicker() {
    if (TerminalViewHost* host = TerminalViewHost::installed()) host->toggleWebPicker();
}
void TerminalView::contextMenuToggleSSH() {
    if (TerminalViewHost* host = TerminalViewHost::installed()) host->toggleSSHManager();
}
