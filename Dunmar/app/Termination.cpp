#include "app/Termination.h"

#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

TerminationController::TerminationController(QObject* parent) : QObject(parent) {
    quitApplication = [](int status) { QCoreApplication::exit(status); };
}

TerminationController::~TerminationController() {
    if (confirmation_) confirmation_->deleteLater();
}

void TerminationController::setWindow(QWidget* window) {
    window_ = window;
}

void TerminationController::requestQuit() {
    if (terminated_) return;
    if (onShowWindow) {
        onShowWindow();
    } else if (window_) {
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
    if (confirmation_) {
        confirmation_->raise();
        confirmation_->activateWindow();
        return;
    }

    auto* box = new QMessageBox(QMessageBox::Warning, qs(Loc::quitApp()), qs(Loc::quitApp()),
                                QMessageBox::NoButton, window_);
    box->setInformativeText(qs(Loc::sure()));
    QPushButton* quit = box->addButton(qs(Loc::quitYes()), QMessageBox::AcceptRole);
    box->addButton(qs(Loc::cancel()), QMessageBox::RejectRole);
    box->setDefaultButton(quit);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // A sheet on the window: the rest of the program keeps running while the question is open.
    box->setWindowModality(window_ ? Qt::WindowModal : Qt::ApplicationModal);
    confirmation_ = box;
    connect(box, &QMessageBox::finished, this,
            [this, box, quit] { confirmationFinished(box->clickedButton() == quit); });
    box->open();
}

void TerminationController::confirmationFinished(bool quit) {
    confirmation_ = nullptr;
    if (quit) terminate();
}

void TerminationController::terminateWithoutConfirmation() {
    if (confirmation_) {
        QMessageBox* box = confirmation_;
        confirmation_ = nullptr;
        box->disconnect(this);
        box->close();
    }
    terminate();
}

void TerminationController::terminate() {
    if (terminated_) return;
    terminated_ = true;
    if (onWillTerminate) onWillTerminate();
    if (quitApplication) quitApplication(0);
}

void writeWindowGeometryOnQuit(Defaults& defaults, const QRect& frame, bool detached) {
    defaults.setValue(QStringLiteral("windowWidth"), static_cast<double>(frame.width()));
    defaults.setValue(QStringLiteral("windowHeight"), static_cast<double>(frame.height()));
    if (detached) {
        defaults.setValue(QStringLiteral("windowX"), static_cast<double>(frame.x()));
        defaults.setValue(QStringLiteral("windowY"), static_cast<double>(frame.y()));
    } else {
        defaults.setValue(QStringLiteral("dockedWindowX"), static_cast<double>(frame.x()));
        defaults.removeObject(QStringLiteral("dockedWindowY"));
    }
}

void WillTerminateSteps::run() const {
    for (const std::function<void()>* step :
         {&cancelDictation, &saveWindowGeometry, &saveSession, &removeClickMonitor, &unregisterHotKey,
          &stopFooterTimer, &cancelWindowMoveSave, &stopDiagnosticsOverlays, &releaseTerminalViews})
        if (*step) (*step)();
}

DeactivationResponse respondToDeactivation(const DeactivationInput& input) {
    DeactivationResponse response;
    response.dismissPalette = input.paletteShown;
    if (input.dragSessionActive || !input.hideOnDeactivate || !input.windowVisible) return response;
    for (const ScreenArea& screen : input.screens) {
        if (!screen.frame.contains(input.pointer)) continue;
        response.hideWindow = screen.available.contains(input.pointer);
        return response;
    }
    response.hideWindow = true;
    return response;
}
