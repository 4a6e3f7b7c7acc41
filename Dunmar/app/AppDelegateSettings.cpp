// Applying a changed setting to the running program, and the window's part of it.
#include "app/AppDelegate.h"
#include "app/ContentView.h"
#include "app/EventHook.h"
#include "app/ShellForeground.h"
#include "app/WindowBackdrop.h"
#include "bell/BellManager.h"
#include "chrome/FooterBarView.h"
#include "chrome/UsageBadge.h"
#include "engine/Colors.h"
#include "platform/Defaults.h"
#include "settings/Autostart.h"
#include "settings/PromptThemes.h"
#include "settings/SettingsOverlay.h"
#include "settings/SettingsReset.h"
#include "terminalview/ShellList.h"

#include <QApplication>
#include <QFileInfo>
#include <QPalette>
#include <algorithm>
#include <climits>
#include <cmath>

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

double usageInterval(qint64 index) {
    // The panel and the palette never give a negative index; one counts as the shortest interval.
    return kUsageIntervals[std::clamp<qint64>(index, 0, 2)];
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

// ---- Launch ----------------------------------------------------------------------------------------

void AppDelegate::applyStoredSettingsAtLaunch() {
    setSystemAppearanceIsLight(desktopPaletteIsLight);
    const QPointer<AppDelegate> self(this);
    setApplyThemeHook([self](const TerminalTheme&, const ThemeEditorColors&) {
        if (!self) return;
        for (const TabState& tab : self->tabs_.tabs())
            if (tab.editorView) self->applyEditorTheme(tab.editorView);
    });
    // A desktop switching between light and dark changes the application's palette; a colour theme
    // that follows the desktop follows it.
    new EventHook(
        qApp,
        [self](QObject* watched, QEvent* event) {
            if (!self || watched != qApp || event->type() != QEvent::ApplicationPaletteChange) return;
            if (self->defaults_.integer(QStringLiteral("colorTheme")) == 3)
                self->applySetting(QStringLiteral("colorTheme"), 3);
        },
        this);

    if (contentView_ && !visualEffect_) {
        visualEffect_ = new WindowBackdrop(contentView_);
        visualEffect_->setMaterial(activeTheme.visualMaterial, false);
        visualEffect_->setIntensity(defaults_.doubleValue(QStringLiteral("blurIntensity")));
        visualEffect_->show();
    }
    const qint64 colorTheme = defaults_.integer(QStringLiteral("colorTheme"));
    if (colorTheme != 0) applySetting(QStringLiteral("colorTheme"), colorTheme);
}

// ---- Applying a setting ------------------------------------------------------------------------------

void AppDelegate::applySetting(const QString& key, const QVariant& value) {
    const QList<TerminalView*> views = allTerminalViews();

    if (key == QLatin1String("windowOpacity")) {
        if (const auto opacity = numberOf(value)) applyWindowOpacity(*opacity);
    } else if (key == QLatin1String("blurIntensity")) {
        if (const auto intensity = numberOf(value)) applyBlurIntensity(*intensity);
    } else if (key == QLatin1String("terminalFontSize")) {
        // The value as given: a slider's last report is the size the user let go at.
        if (const auto size = numberOf(value))
            for (TerminalView* view : views) view->updateFontSize(*size);
    } else if (key == QLatin1String("cursorBlink")) {
        const bool blink = defaults_.boolean(QStringLiteral("cursorBlink"));
        for (TerminalView* view : views) view->setUserCursorBlink(blink);
    } else if (key == QLatin1String("cursorStyle")) {
        if (const auto style = integerOf(value)) {
            const int clamped = int(std::clamp<qint64>(*style, INT_MIN, INT_MAX));
            for (TerminalView* view : views) view->setUserCursorStyle(clamped);
        }
    } else if (key == QLatin1String("alwaysOnTop")) {
        const auto onTop = booleanOf(value);
        if (!onTop) return;
        windowController_->applyWindowLevel();
        // Hiding when the program loses the keyboard and floating above every window exclude
        // each other.
        if (*onTop) {
            defaults_.setValue(QStringLiteral("hideOnDeactivate"), false);
            if (settingsOverlay_) settingsOverlay_->updateToggle(QStringLiteral("hideOnDeactivate"), false);
        }
    } else if (key == QLatin1String("followAllSpaces")) {
        if (booleanOf(value)) windowController_->applyFollowAllSpaces();
    } else if (key == QLatin1String("autoDim")) {
        if (const auto dim = booleanOf(value)) applyAutoDim(*dim);
    } else if (key == QLatin1String("hideOnClickOutside")) {
        if (const auto hide = booleanOf(value)) windowController_->setClickOutsideMonitorEnabled(*hide);
    } else if (key == QLatin1String("hideOnDeactivate")) {
        if (booleanOf(value).value_or(false)) {
            defaults_.setValue(QStringLiteral("alwaysOnTop"), false);
            windowController_->applyWindowLevel();
            if (settingsOverlay_) settingsOverlay_->updateToggle(QStringLiteral("alwaysOnTop"), false);
        }
    } else if (key == QLatin1String("autoStartEnabled")) {
        const auto enabled = booleanOf(value);
        if (!enabled) return;
        // The panel has just written or removed the entry and set its switch by the outcome; only
        // an entry that does not match yet (a change from elsewhere) is written here.
        if (QFileInfo::exists(autostart::entryPath()) == *enabled) return;
        QString error;
        if (!SettingsOverlay::setAutoStartLegacy(*enabled, &error)) {
            defaults_.setValue(QStringLiteral("autoStartEnabled"), !*enabled);
            if (settingsOverlay_)
                settingsOverlay_->updateToggle(QStringLiteral("autoStartEnabled"), !*enabled);
            showSettingsMessage((*enabled ? QStringLiteral("Launch at Login could not be turned on: %1")
                                          : QStringLiteral("Launch at Login could not be turned off: %1"))
                                    .arg(error));
        }
    } else if (key == QLatin1String("autoCheckUpdates")) {
        // The update check stops its timer first and starts it again only while the setting is on,
        // so both values come down to the same call.
        if (booleanOf(value)) services_.updater->scheduleUpdateCheck(0);
    } else if (key == QLatin1String("bellSoundName")) {
        bell().reloadSound();
    } else if (key == QLatin1String("fontFamily")) {
        // The panes read the family themselves while they rebuild their fonts at the current size.
        double size = defaults_.doubleValue(QStringLiteral("terminalFontSize"));
        if (!(size > 0)) size = 13.0;
        for (TerminalView* view : views) view->updateFontSize(size);
    } else if (key == QLatin1String("promptTheme")) {
        const auto index = integerOf(value);
        if (!index) return;
        const QString name = settings::promptThemeName(*index);
        defaults_.setValue(QStringLiteral("promptTheme"), name);
        typePromptTheme(name);
    } else if (key == QLatin1String("colorTheme")) {
        applyColorTheme(integerOf(value).value_or(0));
    } else if (key == QLatin1String("resetDefaults")) {
        settings::resetToDefaults(defaults_, *this);
    } else if (key == QLatin1String("showAIUsage")) {
        const bool show = booleanOf(value).value_or(false);
        if (footerView_) {
            if (QWidget* badge = footerView_->usageBadge()) {
                badge->setVisible(show);
                // The footer places its badge again when the badge asks for a new layout.
                QEvent relayout(QEvent::LayoutRequest);
                QCoreApplication::sendEvent(badge, &relayout);
            }
        }
        if (show)
            services_.usage->startPolling(
                usageInterval(defaults_.integer(QStringLiteral("aiUsageRefreshIndex"))));
        else
            services_.usage->stopPolling();
    } else if (key == QLatin1String("aiUsageRefreshIndex")) {
        // A new interval only restarts polling that runs.
        services_.usage->updateInterval(usageInterval(integerOf(value).value_or(1)));
    }
    // Every other key ("defaultShellIndex", "copyOnSelect", "appLanguage", "syntaxHighlighting", the
    // bell and dictation switches, the browser) takes effect where it is next read.
}

void AppDelegate::setCursorStyle(int style) {
    defaults_.setValue(QStringLiteral("cursorStyle"), style);
    for (TerminalView* view : allTerminalViews()) view->setUserCursorStyle(style);
}

// ---- Colour themes ---------------------------------------------------------------------------------

void AppDelegate::applyColorTheme(qint64 index) {
    applyTheme(themeForColorThemeSetting(index));
    if (visualEffect_) {
        visualEffect_->setMaterial(activeTheme.visualMaterial, lightAppearanceFor(index));
        visualEffect_->setIntensity(defaults_.doubleValue(QStringLiteral("blurIntensity")));
    }
    for (TerminalView* view : allTerminalViews()) {
        view->markDirty();
        view->update();
    }
}

void AppDelegate::previewTheme(int index) {
    // Shown, never stored: leaving the chip previews the stored theme again.
    applyColorTheme(index);
}

void AppDelegate::applyEditorTheme(EditorView* editor) const {
    if (!editor) return;
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, toQColor(kTermBgCGColor));
    palette.setColor(QPalette::Text, toQColor(kDefaultFG));
    editor->setPalette(palette);
}

// ---- Prompt themes ---------------------------------------------------------------------------------

void AppDelegate::typePromptTheme(const QString& name) {
    const QString command = settings::promptThemeCommand(name, shellConfigDir());
    for (TerminalView* view : allTerminalViews()) {
        // Only a shell waiting at its own prompt gets the line: typed into an editor, ssh or a
        // password prompt it would become text, a remote command or a password.
        if (!shellOwnsTerminal(view->masterFd(), view->childPid())) continue;
        // Control-U first empties whatever is typed on the command line.
        view->writePTY(QByteArrayView("\x15", 1));
        view->writePTY(command);
    }
}

// ---- The window's part -------------------------------------------------------------------------------

void AppDelegate::applyWindowOpacity(double opacity) {
    if (window_) window_->setWindowOpacity(opacity);
}

void AppDelegate::applyBlurIntensity(double intensity) {
    if (visualEffect_) visualEffect_->setIntensity(intensity);
}

void AppDelegate::applyAutoDim(bool dim) {
    if (!dim && !isWindowKey()) windowController_->restoreWindowOpacity();
}
