#pragma once

#include "theme/ThemeColors.h"

#include <QList>
#include <QString>

class EditorView;
class TerminalView;
class UsageService;

// What applying a setting needs from the parts of the program outside the settings: the panes, the
// window, the bell, the usage badge and the update check. The application controller implements
// it; the applier never includes the controller's headers. Main thread only.
class SettingsApplierHost {
public:
    virtual ~SettingsApplierHost() = default;

    // Every terminal pane and every editor, in tab order.
    virtual QList<TerminalView*> settingsTerminalViews() const = 0;
    virtual QList<EditorView*> settingsEditorViews() const = 0;

    // The window: its opacity, the material behind the content and its strength, the level
    // ("alwaysOnTop"), the desktops it shows on, dimming and the click-outside monitor.
    virtual void setWindowOpacityFromSettings(double opacity) = 0;
    virtual void setBackdropIntensity(double intensity) = 0;
    virtual void setBackdropMaterial(VisualMaterial material, bool lightAppearance) = 0;
    virtual void refreshWindowLevel() = 0;
    virtual void refreshFollowAllSpaces() = 0;
    // Turning dimming off brings a dimmed window back to its opacity.
    virtual void setAutoDimEnabled(bool dim) = 0;
    virtual void setHideOnClickOutside(bool hide) = 0;

    // Loads the sound named by the stored "bellSoundName".
    virtual void reloadBellSound() = 0;
    // Stops the update check's timer and starts it again while the setting is on.
    virtual void restartUpdateCheck() = 0;
    // Shows or hides the footer's usage badge.
    virtual void setUsageBadgeVisible(bool visible) = 0;
    // The usage monitor, which polls as the badge's switch and interval ask (it keeps the record of
    // what it was asked).
    virtual UsageService& usageService() = 0;
    // Names the stored push-to-talk key where the program shows it (the microphone's tooltip).
    virtual void refreshPushToTalkKey() = 0;
    // Tells the user of a failure that left a setting other than they asked.
    virtual void showSettingsMessage(const QString& text) = 0;
};
