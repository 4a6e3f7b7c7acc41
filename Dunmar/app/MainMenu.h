#pragma once

#include "actions/ActionHandler.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QWidget;

// The program's main menu: the application, Edit and Tab menus, their shortcuts taken from the
// bindings table. An item names an action, not a receiver: a triggered item is offered to the
// focused widget and then its parents (a pane, or a text field for the edit commands), then to the
// controller, then to the menu itself, which answers the about panel; so Copy reaches whatever
// view has the focus.
class MainMenu : public QObject {
    Q_OBJECT
public:
    // One entry; a separator has no action.
    struct Item {
        QString title;
        std::optional<Action> action;
    };

    // `controller` is the end of the chain; it must outlive the menu.
    explicit MainMenu(ActionHandler* controller, QObject* parent = nullptr);
    ~MainMenu() override;

    // The entries of each menu, in order. The editor-tab title is read from the localisation
    // tables once, when the menu is built.
    static QList<Item> applicationItems();
    static QList<Item> editItems();
    static QList<Item> tabItems();

    QMenu* applicationMenu() const { return appMenu_.get(); }
    QMenu* editMenu() const { return editMenu_.get(); }
    QMenu* tabMenu() const { return tabMenu_.get(); }
    // The item that sends `action`, or nullptr.
    QAction* action(Action action) const;

    // Makes the shortcuts work while any window of the program is active. The window's own
    // shortcuts are live only while it is shown, so the window that is shown first is the one to pass.
    void attachTo(QWidget* window);

    // Offers `action` along the chain; false when nobody has it.
    bool sendAction(Action action);

    // The view the about panel covers (the window's content); the active window when unset.
    void setAlertHost(QWidget* host);

    // The program's name and version as an in-window panel with one answer.
    void orderFrontStandardAboutPanel();

private:
    std::unique_ptr<QMenu> build(const QString& title, const QList<Item>& items);

    ActionHandler* controller_ = nullptr;
    QPointer<QWidget> alertHost_;
    std::unique_ptr<QMenu> appMenu_;
    std::unique_ptr<QMenu> editMenu_;
    std::unique_ptr<QMenu> tabMenu_;
};
