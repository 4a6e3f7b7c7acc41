#include "app/MainMenu.h"

#include "DunmarVersion.h"
#include "chrome/AlertSheetView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/KeyMapping.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QWidget>

namespace {

constexpr char kAboutPanelName[] = "aboutPanel";

// Whether `receiver` has a slot or invokable method named `action` without arguments.
bool answers(QObject* receiver, const QByteArray& action) {
    if (!receiver) return false;
    const QByteArray signature = QMetaObject::normalizedSignature(action + "()");
    return receiver->metaObject()->indexOfMethod(signature.constData()) >= 0;
}

MainMenu::Item separator() {
    return {};
}

} // namespace

MainMenu::MainMenu(QObject* delegate, QObject* parent) : QObject(parent), delegate_(delegate) {
    appMenu_ = build(QString(), applicationItems());
    editMenu_ = build(QStringLiteral("Edit"), editItems());
    tabMenu_ = build(QStringLiteral("Tab"), tabItems());
}

MainMenu::~MainMenu() = default;

QList<MainMenu::Item> MainMenu::applicationItems() {
    return {
        {QStringLiteral("About Dunmar"), "orderFrontStandardAboutPanel", std::nullopt},
        separator(),
        {QStringLiteral("Quit Dunmar"), "handleQuitRequest", keymap::command(Qt::Key_Q)},
    };
}

QList<MainMenu::Item> MainMenu::editItems() {
    return {
        {QStringLiteral("Copy"), "copy", keymap::command(Qt::Key_C)},
        {QStringLiteral("Paste"), "paste", keymap::command(Qt::Key_V)},
        {QStringLiteral("Select All"), "selectAll", keymap::command(Qt::Key_A)},
    };
}

QList<MainMenu::Item> MainMenu::tabItems() {
    return {
        {QStringLiteral("New Terminal Tab"), "addTab", keymap::command(Qt::Key_T)},
        {qs(Loc::newEditorTab()), "createEditorTab", keymap::command(Qt::Key_E)},
        {QStringLiteral("Close Tab"), "closeCurrentTab", keymap::command(Qt::Key_W)},
        separator(),
        {QStringLiteral("Tab 1"), "switchToTab1", std::nullopt},
        {QStringLiteral("Tab 2"), "switchToTab2", std::nullopt},
        {QStringLiteral("Tab 3"), "switchToTab3", std::nullopt},
        separator(),
        {QStringLiteral("Clear"), "clearScrollback", keymap::command(Qt::Key_K)},
    };
}

std::unique_ptr<QMenu> MainMenu::build(const QString& title, const QList<Item>& items) {
    auto menu = std::make_unique<QMenu>(title);
    for (const Item& item : items) {
        if (item.action.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.title);
        action->setObjectName(QString::fromLatin1(item.action));
        if (item.key) action->setShortcut(QKeySequence(*item.key));
        action->setShortcutContext(Qt::ApplicationShortcut);
        const QByteArray name = item.action;
        connect(action, &QAction::triggered, this, [this, name] { sendAction(name); });
    }
    return menu;
}

QAction* MainMenu::action(const QByteArray& action) const {
    for (QMenu* menu : {appMenu_.get(), editMenu_.get(), tabMenu_.get()})
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String(action)) return a;
    return nullptr;
}

void MainMenu::attachTo(QWidget* window) {
    if (!window) return;
    for (QMenu* menu : {appMenu_.get(), editMenu_.get(), tabMenu_.get()})
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) window->addAction(a);
}

bool MainMenu::sendAction(const QByteArray& action) {
    for (QObject* responder = QApplication::focusWidget(); responder; responder = responder->parent())
        if (answers(responder, action))
            return QMetaObject::invokeMethod(responder, action.constData(), Qt::DirectConnection);
    for (QObject* responder : {static_cast<QObject*>(delegate_.data()), static_cast<QObject*>(this)})
        if (answers(responder, action))
            return QMetaObject::invokeMethod(responder, action.constData(), Qt::DirectConnection);
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
