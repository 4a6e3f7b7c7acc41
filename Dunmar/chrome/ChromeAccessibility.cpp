#include "chrome/ChromeAccessibility.h"

#include "chrome/BaseHoverButton.h"
#include "chrome/ShellButton.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// A painted button: its accessible name is the widget's, and pressing it runs its click.
class PaintedButtonAccessible : public QAccessibleWidget {
public:
    explicit PaintedButtonAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {
        addControllingSignal(QStringLiteral("destroyed(QObject*)"));
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& name) override {
        if (name != pressAction()) return;
        if (auto* b = qobject_cast<BaseHoverButton*>(widget())) {
            if (b->onClick) b->onClick();
        } else if (auto* s = qobject_cast<ShellButton*>(widget())) {
            if (s->onClick) s->onClick();
        }
    }
};

QAccessibleInterface* paintedButtonFactory(const QString&, QObject* object) {
    if (qobject_cast<BaseHoverButton*>(object) || qobject_cast<ShellButton*>(object))
        return new PaintedButtonAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

namespace chrome {

void installButtonAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(paintedButtonFactory);
        return true;
    }();
    (void)installed;
}

} // namespace chrome
