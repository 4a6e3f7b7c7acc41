#pragma once

// The controller's insides that tests look at and the program itself never asks for: the bars, the
// timers and the parts the launch builds. Only tests include this header.

#include "app/AppDelegate.h"

class AppDelegateTestAccess {
public:
    explicit AppDelegateTestAccess(AppDelegate& app) : app_(app) {}

    HeaderBarView* headerView() const { return app_.headerView_; }
    FooterBarView* footerView() const { return app_.footerView_; }
    HoverButton* versionButton() const { return app_.versionBtn_; }
    TerminationController& termination() const { return app_.termination_; }
    const QTimer& footerTimer() const { return app_.footerTimer_; }
    int bellPreviewPanelHeight() const { return app_.bellPreviewInset_.height(); }
    WindowBackdrop* visualEffect() const { return app_.visualEffect_; }
    SettingsApplier& settingsApplier() const { return *app_.settingsApplier_; }
    GitPanelPlacement& gitPlacement() const { return *app_.gitPlacement_; }

private:
    AppDelegate& app_;
};

// `internals(*app).headerView()`
inline AppDelegateTestAccess internals(AppDelegate& app) {
    return AppDelegateTestAccess(app);
}
