#include "app/window/SystemObservers.h"

#include <QDBusConnection>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

SystemObservers::SystemObservers(QObject* parent) : QObject(parent) {}

void SystemObservers::install() {
    auto watchScreen = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, [this] { screenChanged(); });
        connect(screen, &QScreen::availableGeometryChanged, this, [this] { screenChanged(); });
    };
    for (QScreen* screen : QGuiApplication::screens()) watchScreen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, watchScreen](QScreen* screen) {
        watchScreen(screen);
        screenChanged();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, [this] { screenChanged(); });
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, [this] { screenChanged(); });
    // logind announces sleep and wake on the system bus; without one there is nothing to follow.
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(prepareForSleep(bool)));
}

void SystemObservers::watchAppearance() {
    qApp->installEventFilter(this);
}

void SystemObservers::screenChanged() {
    if (onScreenChange) onScreenChange();
}

void SystemObservers::prepareForSleep(bool goingToSleep) {
    if (!goingToSleep && onWake) onWake();
}

bool SystemObservers::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange && watched == qApp && onAppearanceChange)
        onAppearanceChange();
    return QObject::eventFilter(watched, event);
}
