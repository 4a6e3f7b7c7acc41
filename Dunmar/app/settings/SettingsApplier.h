#pragma once

#include "settings/SettingsKeys.h"
#include "terminalview/PaneSettings.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>

class Defaults;
class EditorView;
class SettingsApplierHost;

// The usage monitor's polling interval in seconds for "aiUsageRefreshIndex": 5, 10 or 30 minutes.
double usagePollInterval(qint64 index);
class SettingsHost;
class SettingsOverlay;

// Carries a changed setting into the running program: the window, every terminal pane, the bell,
// the shells, the usage polling and the update check. It is the one path a setting takes after the
// panel (or anything else) has stored it: the caller stores, then calls `apply`. The store's own
// change signal is not a second trigger: the panel stores every step of a slider drag but reports
// at most once a frame, and the reset writes every key before it puts the window and panes back
// as a whole.
class SettingsApplier : public QObject {
    Q_OBJECT
public:
    // `store` holds the settings, `host` reaches the rest of the program, `settingsHost` runs the
    // reset's program-wide steps. All three must outlive the applier.
    SettingsApplier(Defaults& store, SettingsApplierHost& host, SettingsHost& settingsHost,
                    QObject* parent = nullptr);

    // The open settings panel, whose switches follow a setting the applier changes itself.
    void setOpenPanel(std::function<SettingsOverlay*()> openPanel) { openPanel_ = std::move(openPanel); }

    // At launch: follows the desktop's light or dark palette, keeps editors in the active theme's
    // colours and shows a stored colour theme other than the default.
    void applyAtLaunch();

    // Applies a changed setting. The caller has stored the value already; only the prompt theme's
    // name, the exclusive pair "alwaysOnTop"/"hideOnDeactivate", a launch-at-login switch that
    // could not be carried out (set back, and the user told) and the reset ("resetDefaults") write
    // settings here. An unknown key, or a value of another type than the key takes, changes
    // nothing, except "colorTheme" (dark), "showAIUsage" (hidden) and "aiUsageRefreshIndex"
    // (600 s).
    void apply(const QString& key, const QVariant& value);

    // The panes' share of the stored settings: what a new pane starts with.
    PaneSettings paneSettings() const;
    // Hands every pane its share of the stored settings (after the reset has rewritten them).
    void applyStoredToPanes();

    // Stores a cursor style and shows it in every pane.
    void setCursorStyle(int style);

    // Shows colour theme `index` on every terminal without storing it.
    void previewTheme(int index);

    // Gives an editor the active theme's colours.
    static void applyEditorTheme(EditorView* editor);

private:
    void apply(const settings::SettingKey& key, const QVariant& value);
    // Changes every pane's settings by `change` and hands them back to the pane.
    void updatePanes(const std::function<void(PaneSettings&)>& change);
    void applyColorTheme(qint64 index);
    void typePromptTheme(const QString& name);
    void setAutoStart(bool enabled);
    void updatePanelToggle(const settings::SettingKey& key, bool value);

    Defaults& store_;
    SettingsApplierHost& host_;
    SettingsHost& settingsHost_;
    std::function<SettingsOverlay*()> openPanel_;
};
