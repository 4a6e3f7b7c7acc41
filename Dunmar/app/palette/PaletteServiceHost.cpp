#include "app/palette/PaletteServiceHost.h"

#include "app/AppDelegate.h"
#include "app/window/ContentView.h"
#include "app/settings/SettingsApplier.h"
#include "palette/PaletteSubsystem.h"

PaletteServiceHost::PaletteServiceHost(AppDelegate& app, Defaults& defaults)
    : app_(app), defaults_(defaults) {}

QWidget* PaletteServiceHost::mainWindow() const {
    return app_.window();
}

QWidget* PaletteServiceHost::contentView() const {
    return app_.contentView();
}

bool PaletteServiceHost::isWindowVisible() const {
    return app_.isWindowVisible();
}

void PaletteServiceHost::activateAfterSnap() {
    QWidget* window = app_.window();
    if (!window) return;
    window->raise();
    window->activateWindow();
    app_.workspace().focusTerminalOfActiveTab();
}

void PaletteServiceHost::perform(Action action) {
    app_.perform(action);
}

void PaletteServiceHost::toggleHorizont() {
    app_.windowController().snapping().toggleHorizont();
}

void PaletteServiceHost::toggleVertical() {
    app_.windowController().snapping().toggleVertical();
}

int PaletteServiceHost::tabCount() const {
    return app_.workspace().tabs().count();
}

TerminalView* PaletteServiceHost::activeTerminalView() const {
    const TabState* tab = app_.workspace().tabs().active();
    return tab ? tab->termView.data() : nullptr;
}

void PaletteServiceHost::applySetting(const QString& key, const QVariant& value) {
    app_.settingsApplier().apply(key, value);
}

void PaletteServiceHost::setCursorStyle(int style) {
    app_.settingsApplier().setCursorStyle(style);
}

void PaletteServiceHost::manualCheckForUpdate() {
    app_.services().updater->manualCheckForUpdate();
}

void PaletteServiceHost::installPendingUpdate() {
    app_.services().updater->installPendingUpdate();
}

std::optional<QString> PaletteServiceHost::pendingReleaseTag() const {
    return app_.services().updater->pendingReleaseTag();
}

void PaletteServiceHost::showToast(const QString& badge, const QString& text, const QColor& badgeColor,
                                   double dismissAfter, const QString& identifier) {
    app_.showGenericToast(badge, text, badgeColor, dismissAfter, identifier);
}

PaletteSubsystem& installPaletteService(AppDelegate& app, Defaults& defaults) {
    auto palette = std::make_unique<PaletteSubsystem>(std::make_unique<PaletteServiceHost>(app, defaults));
    PaletteSubsystem& result = *palette;
    app.services().palette = std::move(palette);
    return result;
}
