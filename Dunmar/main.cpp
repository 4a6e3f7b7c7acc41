// The entry point: the application object, the settings store and the main window.
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Dunmar");
    QApplication::setApplicationVersion("1.0.0");

    Defaults& defaults = Defaults::standard();
    bindLocToDefaults(defaults);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&defaults] { defaults.synchronize(); });

    QWidget window;
    window.setWindowTitle("Dunmar");
    window.resize(860, 480);
    window.show();
    return app.exec();
}
