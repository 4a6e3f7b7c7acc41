#include "app/process/Termination.h"

#include <utility>

#include "chrome/AlertSheetView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QWidget>
#include <utility>

TerminationController::TerminationController(QObject* parent) : QObject(parent) {
    quitApplication = [](int status) { QCoreApplication::exit(status); };
}

TerminationController::~TerminationController() {
    if (confirmation_) confirmation_->withdraw();
}

void TerminationController::setWindow(QWidget* window) {
    window_ = window;
}

AlertSheetView* TerminationController::confirmation() const {
    return confirmation_;
}

void TerminationController::setSheetHost(QWidget* host) {
    sheetHost_ = host;
}

void TerminationController::requestQuit(std::function<void()> onCancelled) {
    if (terminated_) return;
    if (onCancelled) onCancelled_.append(std::move(onCancelled));
    if (onShowWindow) {
        onShowWindow();
    } else if (window_) {
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
    if (confirmation_ && !confirmation_->isDismissing()) {
        confirmation_->bringForward();
        return;
    }
    QWidget* host = sheetHost_ ? sheetHost_.data() : window_.data();
    if (!host) {
        confirmationFinished(questionsAsked_, false);
        return;
    }

    // Quit is the accented default on the right, as the question's main answer; the rest of the
    // program keeps running while it is open. Each answer knows which question it belongs to, so a
    // late answer of a question already gone cannot close a newer one.
    const int question = ++questionsAsked_;
    const QPointer<TerminationController> self(this);
    auto answer = [self, question](bool quit) {
        return [self, question, quit] {
            if (self) self->confirmationFinished(question, quit);
        };
    };
    // Quitting ends every editor without saving it: with unsaved text at stake the question says
    // which tabs hold it, and the safe answer is the one Return gives.
    const QStringList unsaved = unsavedEditors ? unsavedEditors() : QStringList();
    const bool atStake = !unsaved.isEmpty();
    const QString message = atStake ? qs(Loc::unsavedTitle()) + QStringLiteral(": ") + unsaved.join(QStringLiteral(", "))
                                    : qs(Loc::sure());
    const AlertSheetView::Answer cancel{.label = qs(Loc::cancel()),
                                        .accent = atStake,
                                        .onChoose = answer(false),
                                        .isDefault = atStake,
                                        .isCancel = true};
    const AlertSheetView::Answer quit{
        .label = qs(Loc::quitYes()), .accent = !atStake, .onChoose = answer(true), .isDefault = !atStake};
    confirmation_ = AlertSheetView::show(host, qs(Loc::quitApp()), message, {cancel, quit});
}

void TerminationController::confirmationFinished(int question, bool quit) {
    const bool current = question == questionsAsked_;
    if (current) confirmation_ = nullptr;
    if (!current && !quit) return;
    const QList<std::function<void()>> cancelled = std::exchange(onCancelled_, {});
    if (quit) {
        terminate();
        return;
    }
    for (const std::function<void()>& run : cancelled) run();
}

void TerminationController::terminateWithoutConfirmation() {
    if (confirmation_) {
        AlertSheetView* sheet = confirmation_;
        confirmation_ = nullptr;
        sheet->withdraw();
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
    defaults.setValue(settings::kWindowWidth, static_cast<double>(frame.width()));
    defaults.setValue(settings::kWindowHeight, static_cast<double>(frame.height()));
    if (detached) {
        defaults.setValue(settings::kWindowX, static_cast<double>(frame.x()));
        defaults.setValue(settings::kWindowY, static_cast<double>(frame.y()));
    } else {
        defaults.setValue(settings::kDockedWindowX, static_cast<double>(frame.x()));
        defaults.removeObject(settings::kDockedWindowY);
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
