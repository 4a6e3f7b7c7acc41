#pragma once

#include "palette/PaletteHost.h"

class AppDelegate;
class Defaults;
class PaletteSubsystem;

// The controller as the palette, the search, the changelog viewer and the diagnostics panels see
// it: its window, its tabs, its settings store and applier, its commands, the updater and the
// toasts.
class PaletteServiceHost final : public PaletteHost {
public:
    PaletteServiceHost(AppDelegate& app, Defaults& defaults);

    QWidget* mainWindow() const override;
    QWidget* contentView() const override;
    bool isWindowVisible() const override;
    void activateAfterSnap() override;
    void perform(Action action) override;
    void toggleHorizont() override;
    void toggleVertical() override;
    int tabCount() const override;
    TerminalView* activeTerminalView() const override;
    Defaults& defaults() override { return defaults_; }
    void applySetting(const QString& key, const QVariant& value) override;
    void setCursorStyle(int style) override;
    void manualCheckForUpdate() override;
    void installPendingUpdate() override;
    std::optional<QString> pendingReleaseTag() const override;
    void showToast(const QString& badge, const QString& text, const QColor& badgeColor, double dismissAfter,
                   const QString& identifier) override;

private:
    AppDelegate& app_;
    Defaults& defaults_;
};

// Puts the palette subsystem in the controller's place for it and returns it.
PaletteSubsystem& installPaletteService(AppDelegate& app, Defaults& defaults);
