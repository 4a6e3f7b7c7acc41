#include "chrome/ChromeController.h"
#include "chrome/DictationControl.h"

namespace {
ChromeController* installedController = nullptr;
DictationControl* installedDictation = nullptr;
} // namespace

ChromeController* ChromeController::installed() {
    return installedController;
}
void ChromeController::install(ChromeController* controller) {
    installedController = controller;
}

DictationControl* DictationControl::shared() {
    return installedDictation;
}
void DictationControl::install(DictationControl* control) {
    installedDictation = control;
}
