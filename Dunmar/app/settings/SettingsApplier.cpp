#include "app/settings/SettingsApplier.h"

#include "aiusage/UsageService.h"
#include "editor/EditorView.h"
#include "app/EventHook.h"
#include "app/process/ShellForeground.h"
#include "app/settings/PaneSettingsFromStore.h"
#include "app/settings/SettingsApplierHost.h"
#include "theme/ThemeColors.h"
#include "platform/Defaults.h"
#include "settings/Autostart.h"
#include "settings/PromptThemes.h"
#include "settings/SettingsHost.h"
#include "settings/SettingsOverlay.h"
#include "settings/SettingsReset.h"
#include "terminalview/ShellList.h"
#include "terminalview/TerminalView.h"

#include <QApplication>
#include <QFileInfo>
#include <QPalette>
#include <QPointer>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

using settings::SettingId;
using settings::SettingKey;

namespace {

// How often the usage monitor polls, by "aiUsageRefreshIndex": 5, 10 or 30 minutes.
constexpr double kUsageIntervals[] = {300, 600, 1800};

// A value as the number a slider reports; integers count, Booleans, texts and non-numbers do not.
std::optional<double> numberOf(const QVariant& value) {
    if (!Defaults::isNumber(value)) return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number)) return std::nullopt;
    return number;
}

// A value as the index a choice reports; only integers count.
std::optional<qint64> integerOf(const QVariant& value) {
    if (!Defaults::isInteger(value)) return std::nullopt;
    return value.toLongLong();
}

std::optional<bool> booleanOf(const QVariant& value) {
    if (value.typeId() != QMetaType::Bool) return std::nullopt;
    return value.toBool();
}


// Whether the desktop is light, judged by the lightness of the application palette's window
// colour: the palette follows the desktop's theme on X11.
bool desktopPaletteIsLight() {
    return QGuiApplication::palette().color(QPalette::Window).lightnessF() > 0.5;
}

// Whether the material of a colour-theme choice takes the light appearance: the light theme does,
// the desktop's theme when the desktop is light, the others never.
bool lightAppearanceFor(qint64 index) {
    if (index == 1) return true;
    if (index == 3) return systemAppearanceIsLight();
    return false;
}

QColor toQColor(const ColorRGBA& c) {
    return QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(c.a));
}

} // namespace

double usagePollInterval(qint64 index) {
    // The panel and the palette never give a negative index; one counts as the shortest interval.
    return kUsageIntervals[std::clamp<qint64>(index, 0, 2)];
}

SettingsApplier::SettingsApplier(Defaults& store, SettingsApplierHost& host, SettingsHost& settingsHost,
                                 QObject* parent)
    : QObject(parent), store_(store), host_(host), settingsHost_(settingsHost) {}

// ---- Launch ----------------------------------------------------------------------------------------

void SettingsApplier::applyAtLaunch() {
    setSystemAppearanceIsLight(desktopPaletteIsLight);
    const QPointer<SettingsApplier> self(this);
    setApplyThemeHook([self](const TerminalTheme&, const ThemeEditorColors&) {
        if (!self) return;
        for (EditorView* editor : self->host_.settingsEditorViews()) applyEditorTheme(editor);
    });
    // A desktop switching between light and dark changes the application's palette; a colour theme
    // that follows the desktop follows it.
    new EventHook(
        qApp,
        [self](QObject* watched, QEvent* event) {
            if (!self || watched != qApp || event->type() != QEvent::ApplicationPaletteChange) return;
            if (self->store_.integer(settings::kColorTheme) == 3) self->apply(settings::kColorTheme, 3);
        },
        this);

    const qint64 colorTheme = store_.integer(settings::kColorTheme);
    if (colorTheme != 0) apply(settings::kColorTheme, colorTheme);
}

// ---- Applying a setting ------------------------------------------------------------------------------

void SettingsApplier::apply(const QString& key, const QVariant& value) {
    if (key == settings::kResetDefaults) {
        settings::resetToDefaults(store_, settingsHost_);
        // Every value the reset wrote takes effect now, not where it is next read: a light theme
        // on screen under a panel that says dark is no reset.
        for (const SettingKey* setting : settings::allSettings()) apply(*setting, store_.object(setting->name));
        return;
    }
    if (const SettingKey* setting = settings::findSetting(key)) apply(*setting, value);
}

void SettingsApplier::apply(const SettingKey& key, const QVariant& value) {
    switch (key.id) {
    case SettingId::windowOpacity:
        if (const auto opacity = numberOf(value)) host_.setWindowOpacityFromSettings(*opacity);
        break;
    case SettingId::blurIntensity:
        if (const auto intensity = numberOf(value)) host_.setBackdropIntensity(*intensity);
        break;
    case SettingId::terminalFontSize:
        // The value as given: a slider's last report is the size the user let go at.
        if (const auto size = numberOf(value)) updatePanes([&](PaneSettings& pane) { pane.fontSize = *size; });
        break;
    case SettingId::cursorBlink: {
        const bool blink = store_.boolean(settings::kCursorBlink);
        updatePanes([&](PaneSettings& pane) { pane.cursorBlink = blink; });
        break;
    }
    case SettingId::cursorStyle:
        if (const auto style = integerOf(value)) {
            const int clamped = int(std::clamp<qint64>(*style, INT_MIN, INT_MAX));
            updatePanes([&](PaneSettings& pane) { pane.cursorStyle = clamped; });
        }
        break;
    case SettingId::alwaysOnTop: {
        const auto onTop = booleanOf(value);
        if (!onTop) break;
        host_.refreshWindowLevel();
        // Hiding when the program loses the keyboard and floating above every window exclude
        // each other.
        if (*onTop) {
            store_.setValue(settings::kHideOnDeactivate, false);
            updatePanelToggle(settings::kHideOnDeactivate, false);
        }
        break;
    }
    case SettingId::followAllSpaces:
        if (booleanOf(value)) host_.refreshFollowAllSpaces();
        break;
    case SettingId::autoDim:
        if (const auto dim = booleanOf(value)) host_.setAutoDimEnabled(*dim);
        break;
    case SettingId::hideOnClickOutside:
        if (const auto hide = booleanOf(value)) host_.setHideOnClickOutside(*hide);
        break;
    case SettingId::hideOnDeactivate:
        if (booleanOf(value).value_or(false)) {
            store_.setValue(settings::kAlwaysOnTop, false);
            host_.refreshWindowLevel();
            updatePanelToggle(settings::kAlwaysOnTop, false);
        }
        break;
    case SettingId::autoStartEnabled:
        if (const auto enabled = booleanOf(value)) setAutoStart(*enabled);
        break;
    case SettingId::autoCheckUpdates:
        // The update check stops its timer first and starts it again only while the setting is on,
        // so both values come down to the same call.
        if (booleanOf(value)) host_.restartUpdateCheck();
        break;
    case SettingId::bellSoundName:
        host_.reloadBellSound();
        break;
    case SettingId::fontFamily: {
        // The panes rebuild their fonts in the new family at the stored size.
        double size = store_.doubleValue(settings::kTerminalFontSize);
        if (!(size > 0)) size = 13.0;
        const qint64 family = store_.integer(settings::kFontFamily);
        updatePanes([&](PaneSettings& pane) {
            pane.fontFamily = family;
            pane.fontSize = size;
        });
        break;
    }
    case SettingId::promptTheme: {
        const auto index = integerOf(value);
        if (!index) break;
        const QString name = settings::promptThemeName(*index);
        store_.setValue(settings::kPromptTheme, name);
        updatePanes([&](PaneSettings& pane) { pane.promptTheme = name; });
        typePromptTheme(name);
        break;
    }
    case SettingId::colorTheme:
        applyColorTheme(integerOf(value).value_or(0));
        break;
    case SettingId::showAIUsage: {
        const bool show = booleanOf(value).value_or(false);
        host_.setUsageBadgeVisible(show);
        if (show)
            host_.usageService().startPolling(usagePollInterval(store_.integer(settings::kAIUsageRefreshIndex)));
        else
            host_.usageService().stopPolling();
        break;
    }
    case SettingId::aiUsageRefreshIndex:
        // A new interval only restarts polling that runs.
        host_.usageService().updateInterval(usagePollInterval(integerOf(value).value_or(1)));
        break;
    case SettingId::copyOnSelect: {
        const bool copy = paneSettings().copyOnSelect;
        updatePanes([&](PaneSettings& pane) { pane.copyOnSelect = copy; });
        break;
    }
    case SettingId::syntaxHighlighting: {
        // Shells started from now on get it; running ones keep what they started with.
        const bool highlight = store_.boolean(settings::kSyntaxHighlighting);
        updatePanes([&](PaneSettings& pane) { pane.syntaxHighlighting = highlight; });
        break;
    }
    case SettingId::dictationPushToTalkKey:
        host_.refreshPushToTalkKey();
        break;
    // These take effect where they are next read.
    case SettingId::appLanguage:
    case SettingId::defaultShellIndex:
    case SettingId::bellEnabled:
    case SettingId::bellOSNotification:
    case SettingId::webPickerBrowser:
    case SettingId::dictationEnabled:
    case SettingId::dictationShowOverlay:
    case SettingId::dictationPushToTalkGlobal:
        break;
    }
}

void SettingsApplier::setAutoStart(bool enabled) {
    // The panel has just written or removed the entry and set its switch by the outcome; only an
    // entry that does not match yet (a change from elsewhere) is written here.
    if (QFileInfo::exists(autostart::entryPath()) == enabled) return;
    QString error;
    if (SettingsOverlay::setAutoStartLegacy(enabled, &error)) return;
    store_.setValue(settings::kAutoStartEnabled, !enabled);
    updatePanelToggle(settings::kAutoStartEnabled, !enabled);
    host_.showSettingsMessage((enabled ? QStringLiteral("Launch at Login could not be turned on: %1")
                                       : QStringLiteral("Launch at Login could not be turned off: %1"))
                                  .arg(error));
}

void SettingsApplier::updatePanelToggle(const SettingKey& key, bool value) {
    if (SettingsOverlay* panel = openPanel_ ? openPanel_() : nullptr) panel->updateToggle(key, value);
}

void SettingsApplier::setCursorStyle(int style) {
    store_.setValue(settings::kCursorStyle, style);
    updatePanes([&](PaneSettings& pane) { pane.cursorStyle = style; });
}

PaneSettings SettingsApplier::paneSettings() const {
    return settings::paneSettingsFrom(store_);
}

void SettingsApplier::applyStoredToPanes() {
    const PaneSettings stored = paneSettings();
    for (TerminalView* view : host_.settingsTerminalViews()) view->applySettings(stored);
}

void SettingsApplier::updatePanes(const std::function<void(PaneSettings&)>& change) {
    for (TerminalView* view : host_.settingsTerminalViews()) {
        PaneSettings pane = view->paneSettings();
        change(pane);
        view->applySettings(pane);
    }
}

// ---- Colour themes ---------------------------------------------------------------------------------

void SettingsApplier::applyColorTheme(qint64 index) {
    applyTheme(themeForColorThemeSetting(index));
    host_.setBackdropMaterial(activeTheme.visualMaterial, lightAppearanceFor(index));
    host_.setBackdropIntensity(store_.doubleValue(settings::kBlurIntensity));
    for (TerminalView* view : host_.settingsTerminalViews()) {
        view->markDirty();
        view->update();
    }
}

void SettingsApplier::previewTheme(int index) {
    // Shown, never stored: leaving the chip previews the stored theme again.
    applyColorTheme(index);
}

void SettingsApplier::applyEditorTheme(EditorView* editor) {
    if (!editor) return;
    const QColor background = toQColor(kTerminalBackground);
    editor->applyColors(background, toQColor(kDefaultFG));
    editor->setHighlightDark(background.valueF() < 0.5f);
}

// ---- Prompt themes ---------------------------------------------------------------------------------

void SettingsApplier::typePromptTheme(const QString& name) {
    const QString command = settings::promptThemeCommand(name, shellConfigDir());
    for (TerminalView* view : host_.settingsTerminalViews()) {
        // Only a shell waiting at its own prompt gets the line: typed into an editor, ssh or a
        // password prompt it would become text, a remote command or a password.
        if (!shellOwnsTerminal(view->masterFd(), view->childPid())) continue;
        // Control-U first empties whatever is typed on the command line.
        view->writePTY(QByteArrayView("\x15", 1));
        view->writePTY(command);
    }
}
