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

// An item that asks the pane for `action`: the pane performs its own, the host the others.
QAction* addItem(QMenu* menu, const QString& title, TerminalView* view, Action action) {
    QAction* item = menu->addAction(title);
    QObject::connect(item, &QAction::triggered, view, [view, action] { view->trigger(action); });
    return item;
}

} // namespace

std::unique_ptr<QMenu> TerminalView::contextMenu() {
    // While the program takes the mouse the right button is reported to it instead.
    if (terminal_->modes().tracksMouse()) return nullptr;
    const TerminalViewHost* host = host_;
    auto menu = std::make_unique<QMenu>();

    QAction* copy = addItem(menu.get(), text(Loc::copy()), this, Action::copy);
    copy->setEnabled(selStart_.has_value() && selEnd_.has_value());
    addItem(menu.get(), text(Loc::paste()), this, Action::paste);
    menu->addSeparator();
    addItem(menu.get(), text(Loc::selectAll()), this, Action::selectAll);
    addItem(menu.get(), text(Loc::clear()), this, Action::clearScrollback);
    menu->addSeparator();
    addItem(menu.get(), text(Loc::newTab()), this, Action::newTab);
    menu->addSeparator();
    addItem(menu.get(), text(Loc::splitVertical()), this, Action::splitSideBySide);
    addItem(menu.get(), text(Loc::splitHorizontal()), this, Action::splitStacked);
    menu->addSeparator();

    QMenu* panels = menu->addMenu(text(Loc::panels()));
    const auto addPanel = [&](const QString& title, Action toggle) {
        QAction* item = addItem(panels, title, this, toggle);
        item->setCheckable(true);
        item->setChecked(host && host->isShown(toggle));
    };
    // Product names, the same in every language.
    addPanel(QStringLiteral("Git"), Action::toggleGitPanel);
    addPanel(QStringLiteral("WebPicker"), Action::toggleWebPicker);
    addPanel(QStringLiteral("SSH"), Action::toggleSSHManager);
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
