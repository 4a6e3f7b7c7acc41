// The entry point: one running copy per user, the program's state folder, the crash handlers, the
// main menu and the controller, then the main loop.
#include "DunmarVersion.h"
#include "app/AppDelegate.h"
#include "app/window/ContentView.h"
#include "app/process/CrashReporter.h"
#include "app/process/InstanceServer.h"
#include "app/MainMenu.h"
#include "app/process/ProgramFolder.h"
#include "app/process/SingleInstanceLock.h"
#include "app/process/TermSignalHandler.h"
#include "app/palette/PaletteServiceHost.h"
#include "app/updater/UpdaterServiceHost.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "platform/GitPath.h"
#include "platform/StateFolder.h"
#include "theme/ThemeColors.h"
#include "updater/Updater.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    initColorGlobals();
    chooseGitExecutablePath();

    // Kept open, and the lock held, until the process ends. A second copy asks the first to show
    // its window and leaves before it shows anything.
    const std::string lockFolder = instancelock::defaultLockFolder();
    std::string lockProblem;
    if (!instancelock::ensurePrivateFolder(lockFolder, &lockProblem)) {
        std::fprintf(stderr, "Dunmar cannot start: %s\n", lockProblem.c_str());
        return 1;
    }
    // A copy started by the update it installed waits a moment for its predecessor to let go.
    const std::optional<QString> previousInstallBackup = postUpdateBackupArgument(argc, argv);
    const std::string lockPath = instancelock::lockFilePath(lockFolder);
    static const int lockFD = previousInstallBackup ? acquireLockAfterUpdate(lockPath, &lockProblem)
                                                    : instancelock::acquire(lockPath, &lockProblem);
    if (lockFD < 0) {
        if (!lockProblem.empty()) {
            std::fprintf(stderr, "Dunmar cannot start: %s\n", lockProblem.c_str());
            return 1;
        }
        instancelock::askToShow(instancelock::socketFilePath(lockFolder));
        return 0;
    }

    const QString stateFolder = statefolder::path();
    programfolder::moveEarlierFolder(QDir::homePath(), stateFolder);
    QString folderProblem;
    if (!programfolder::ensurePrivate(stateFolder, &folderProblem))
        std::fprintf(stderr, "Dunmar: %s\n", QFile::encodeName(folderProblem).constData());
    crash::setupCrashReporting(QFile::encodeName(stateFolder + QStringLiteral("/crash.log")).toStdString());
    TermSignalHandler::installEarly();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dunmar"));
    QApplication::setApplicationVersion(QString::fromLatin1(kAppVersion));
    // Closing the window never ends the program; quitting is the controller's decision.
    QApplication::setQuitOnLastWindowClosed(false);

    Defaults& defaults = Defaults::standard();
    bindLocToDefaults(defaults);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&defaults] { defaults.synchronize(); });

    AppDelegate delegate(defaults);
    InstanceServer instanceServer(QString::fromStdString(instancelock::socketFilePath(lockFolder)));
    instanceServer.onShowRequested = [&delegate] { delegate.windowController().showWindowAnimated(); };
    Updater& updater =
        installUpdaterService(delegate, defaults, lockFD, instanceServer, previousInstallBackup);
    installPaletteService(delegate, defaults);
    MainMenu menu(&delegate);
    TermSignalHandler termSignal;
    termSignal.onTerminate = [&delegate] { delegate.terminateWithoutConfirmation(); };

    QTimer::singleShot(0, &delegate, [&delegate, &menu, &updater] {
        delegate.applicationDidFinishLaunching();
        updater.applicationDidFinishLaunching();
        menu.attachTo(delegate.window());
        menu.setAlertHost(delegate.contentView());
    });
    return app.exec();
}
