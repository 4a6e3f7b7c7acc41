#include "app/MainMenu.h"

#include "DunmarVersion.h"
#include "actions/KeyBindings.h"
#include "chrome/AlertSheetView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace {

constexpr char kAboutPanelName[] = "aboutPanel";

// The edit commands of the standard text widgets (a settings field, the header's rename field, an
// editor), which know nothing of actions.
bool performOnTextWidget(QObject* widget, Action action) {
    const auto run = [action](auto* text) {
        switch (action) {
        case Action::copy:
            text->copy();
            return true;
        case Action::paste:
            text->paste();
            return true;
        case Action::selectAll:
            text->selectAll();
            return true;
        default:
            return false;
        }
    };
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return run(line);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) return run(plain);
    if (auto* rich = qobject_cast<QTextEdit*>(widget)) return run(rich);
    return false;
}

MainMenu::Item separator() {
    return {};
}

} // namespace

MainMenu::MainMenu(ActionHandler* controller, QObject* parent) : QObject(parent), controller_(controller) {
    appMenu_ = build(QString(), applicationItems());
    editMenu_ = build(QStringLiteral("Edit"), editItems());
    tabMenu_ = build(QStringLiteral("Tab"), tabItems());
}

MainMenu::~MainMenu() = default;

QList<MainMenu::Item> MainMenu::applicationItems() {
    return {
        {QStringLiteral("About Dunmar"), Action::about},
        separator(),
        {QStringLiteral("Command Palette"), Action::toggleCommandPalette},
        separator(),
        {QStringLiteral("Quit Dunmar"), Action::quit},
    };
}

QList<MainMenu::Item> MainMenu::editItems() {
    return {
        {QStringLiteral("Copy"), Action::copy},
        {QStringLiteral("Paste"), Action::paste},
        {QStringLiteral("Select All"), Action::selectAll},
    };
}

QList<MainMenu::Item> MainMenu::tabItems() {
    return {
        {QStringLiteral("New Terminal Tab"), Action::newTab}, {qs(Loc::newEditorTab()), Action::newEditorTab},
        {QStringLiteral("Close Tab"), Action::closeTab},      separator(),
        {QStringLiteral("Tab 1"), Action::switchToTab1},      {QStringLiteral("Tab 2"), Action::switchToTab2},
        {QStringLiteral("Tab 3"), Action::switchToTab3},      separator(),
        {QStringLiteral("Clear"), Action::clearScrollback},
    };
}

std::unique_ptr<QMenu> MainMenu::build(const QString& title, const QList<Item>& items) {
    auto menu = std::make_unique<QMenu>(title);
    for (const Item& item : items) {
        if (!item.action) {
            menu->addSeparator();
            continue;
        }
        QAction* entry = menu->addAction(item.title);
        entry->setObjectName(QString::fromLatin1(actions::name(*item.action)));
        entry->setData(int(*item.action));
        QList<QKeySequence> shortcuts;
        for (const QKeyCombination chord : bindings::chordsOf(*item.action)) shortcuts << QKeySequence(chord);
        entry->setShortcuts(shortcuts);
        entry->setShortcutContext(Qt::ApplicationShortcut);
        const Action action = *item.action;
        connect(entry, &QAction::triggered, this, [this, action] { sendAction(action); });
    }
    return menu;
}

QAction* MainMenu::action(Action action) const {
    for (QMenu* menu : {appMenu_.get(), editMenu_.get(), tabMenu_.get()})
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->data().toInt() == int(action)) return a;
    return nullptr;
}

void MainMenu::attachTo(QWidget* window) {
    if (!window) return;
    for (QMenu* menu : {appMenu_.get(), editMenu_.get(), tabMenu_.get()})
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) window->addAction(a);
}

bool MainMenu::sendAction(Action action) {
    for (QObject* responder = QApplication::focusWidget(); responder; responder = responder->parent()) {
        if (auto* handler = dynamic_cast<ActionHandler*>(responder); handler && handler->perform(action))
            return true;
        if (performOnTextWidget(responder, action)) return true;
    }
    if (controller_ && controller_->perform(action)) return true;
    if (action == Action::about) {
        orderFrontStandardAboutPanel();
        return true;
    }
    return false;
}

void MainMenu::setAlertHost(QWidget* host) {
    alertHost_ = host;
}

void MainMenu::orderFrontStandardAboutPanel() {
    QWidget* host = alertHost_ ? alertHost_.data() : QApplication::activeWindow();
    if (!host) return;
    // One panel at a time: asking again while it is open only brings it forward.
    for (AlertSheetView* open : host->findChildren<AlertSheetView*>(Qt::FindDirectChildrenOnly)) {
        if (open->objectName() == QLatin1String(kAboutPanelName) && !open->isDismissing()) {
            open->bringForward();
            return;
        }
    }
    const AlertSheetView::Answer ok{
        .label = QStringLiteral("OK"), .accent = true, .isDefault = true, .isCancel = true};
    AlertSheetView* panel = AlertSheetView::show(host, QStringLiteral("Dunmar"),
                                                 QStringLiteral("Version %1").arg(QLatin1String(kAppVersion)),
                                                 {ok}, AlertSheetView::Icon::none);
    if (panel) panel->setObjectName(QLatin1String(kAboutPanelName));
}
