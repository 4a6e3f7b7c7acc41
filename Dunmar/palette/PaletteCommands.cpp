// The palette's command list: built afresh at every opening, so that the titles of the setting
// commands show what is stored at that moment.
#include "palette/PaletteHost.h"
#include "palette/PaletteSubsystem.h"
#include "platform/Defaults.h"
#include "settings/PromptThemes.h"
#include "settings/SettingsKeys.h"
#include "terminalview/TerminalView.h"

#include <cmath>

namespace {

QString onOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

// A stored fraction as whole percent, truncated: 0.29 shows 28, as 0.29 x 100 is just below 29.
int percentOf(double fraction) {
    return int(std::trunc(fraction * 100));
}

QString nameAt(const QStringList& names, qint64 index, const QString& outside) {
    return index >= 0 && index < names.size() ? names[int(index)] : outside;
}

} // namespace

const QStringList& PaletteSubsystem::fontNames() {
    static const QStringList names{QStringLiteral("Fira Code"), QStringLiteral("JetBrains Mono"),
                                   QStringLiteral("Monocraft"), QStringLiteral("Iosevka Thin")};
    return names;
}

const QStringList& PaletteSubsystem::shellNames() {
    static const QStringList names{QStringLiteral("zsh"), QStringLiteral("bash"), QStringLiteral("sh")};
    return names;
}

std::vector<PaletteCommand> PaletteSubsystem::paletteCommands() {
    Defaults& d = host_->defaults();
    const QPointer<PaletteSubsystem> self(this);

    // Every action holds the subsystem weakly and does nothing once it is gone.
    const auto run = [self](auto&& body) {
        return [self, body] {
            if (self) body(*self);
        };
    };
    const auto perform = [&run](Action action) {
        return run([action](PaletteSubsystem& s) { s.host().perform(action); });
    };
    const auto toggle = [&](const QString& name, const settings::SettingKey& key) {
        return PaletteCommand{
            name + QStringLiteral(" (") + onOff(d.boolean(key)) + QLatin1Char(')'), QString(),
            run([name, key = key.name](PaletteSubsystem& s) { s.promptToggle(name, key); })};
    };
    // The active tab's terminal view, for the commands that act on it; none on an editor tab.
    const auto onTerminal = [&run](auto&& body) {
        return run([body](PaletteSubsystem& s) {
            if (s.host().tabCount() == 0) return;
            if (TerminalView* view = s.host().activeTerminalView()) body(*view);
        });
    };

    const int opacity = percentOf(d.doubleValue(settings::kWindowOpacity));
    const int blur = percentOf(d.doubleValue(settings::kBlurIntensity));
    const int fontSize = int(std::trunc(d.doubleValue(settings::kTerminalFontSize)));
    const QVariant storedTheme = d.object(settings::kPromptTheme);
    const qint64 themeIndex = Defaults::isNumber(storedTheme)
                                  ? storedTheme.toLongLong()
                                  : settings::promptThemeIndex(storedTheme.toString());
    const QString theme = nameAt(settings::promptThemeNames(), themeIndex, QStringLiteral("default"));
    const QString font = nameAt(fontNames(), d.integer(settings::kFontFamily), QStringLiteral("System"));
    const QString shell =
        nameAt(shellNames(), d.integer(settings::kDefaultShellIndex), QStringLiteral("zsh"));
    const std::optional<QString> release = host_->pendingReleaseTag();

    const QString percentNow = QString::number(opacity) + QLatin1Char('%');
    const QString blurNow = QString::number(blur) + QLatin1Char('%');
    const QString sizeNow = QString::number(fontSize) + QStringLiteral("pt");

    std::vector<PaletteCommand> list;
    list.reserve(44);
    list.push_back({QStringLiteral("Quit"), QStringLiteral("q"), perform(Action::quit)});
    list.push_back({QStringLiteral("New Tab"), QStringLiteral("⌘T"), perform(Action::newTab)});
    list.push_back({QStringLiteral("Close Tab"), QStringLiteral("⌘W"), perform(Action::closeTab)});
    list.push_back({QStringLiteral("Settings"), QString(), perform(Action::toggleSettings)});
    list.push_back(
        {QStringLiteral("Split Vertical"), QStringLiteral("⌘D"), perform(Action::splitSideBySide)});
    list.push_back(
        {QStringLiteral("Split Horizontal"), QStringLiteral("⇧⌘D"), perform(Action::splitStacked)});
    list.push_back({QStringLiteral("Reset Window"), QString(), perform(Action::resetWindowSize)});
    list.push_back(toggle(QStringLiteral("Always on Top"), settings::kAlwaysOnTop));
    list.push_back(toggle(QStringLiteral("Auto-Dim"), settings::kAutoDim));
    list.push_back({QStringLiteral("Clear"), QStringLiteral("⌘K"),
                    onTerminal([](TerminalView& view) { view.clearScrollback(); })});
    list.push_back({QStringLiteral("Hide"), QStringLiteral("Ctrl+<"), perform(Action::toggleWindow)});
    list.push_back({QStringLiteral("Fullscreen"), QString(), perform(Action::toggleFullscreen)});
    list.push_back(
        {QStringLiteral("Horizont"), QString(), run([](PaletteSubsystem& s) { s.host().toggleHorizont(); })});
    list.push_back({QStringLiteral("Defaultsize"), QString(), perform(Action::resetWindowSize)});
    list.push_back(
        {QStringLiteral("Vertical"), QString(), run([](PaletteSubsystem& s) { s.host().toggleVertical(); })});
    list.push_back({QStringLiteral("Left"), QString(), perform(Action::snapLeft)});
    list.push_back({QStringLiteral("Right"), QString(), perform(Action::snapRight)});
    list.push_back({QStringLiteral("Cursor Block"), QString(),
                    run([](PaletteSubsystem& s) { s.host().setCursorStyle(2); })});
    list.push_back({QStringLiteral("Cursor Beam"), QString(),
                    run([](PaletteSubsystem& s) { s.host().setCursorStyle(1); })});
    list.push_back({QStringLiteral("Cursor Underline"), QString(),
                    run([](PaletteSubsystem& s) { s.host().setCursorStyle(0); })});
    list.push_back(toggle(QStringLiteral("Cursor Blink"), settings::kCursorBlink));
    list.push_back({QStringLiteral("Kill Process"), QString(),
                    onTerminal([](TerminalView& view) { view.killForegroundProcess(); })});
    list.push_back({QStringLiteral("Reset TTY"), QString(),
                    onTerminal([](TerminalView& view) { view.resetTermiosModes(); })});
    list.push_back(
        {QStringLiteral("Resetsystem"), QString(), run([](PaletteSubsystem& s) { s.confirmResetSystem(); })});
    list.push_back({QStringLiteral("Opacity (") + percentNow + QLatin1Char(')'), QString(),
                    run([percentNow](PaletteSubsystem& s) {
                        s.promptSlider(QStringLiteral("Opacity"), settings::kWindowOpacity, percentNow, 30,
                                       100);
                    })});
    list.push_back({QStringLiteral("Blur (") + blurNow + QLatin1Char(')'), QString(),
                    run([blurNow](PaletteSubsystem& s) {
                        s.promptSlider(QStringLiteral("Blur"), settings::kBlurIntensity, blurNow, 0, 100);
                    })});
    list.push_back({QStringLiteral("Fontsize (") + sizeNow + QLatin1Char(')'), QString(),
                    run([sizeNow](PaletteSubsystem& s) {
                        s.promptSlider(QStringLiteral("Fontsize"), settings::kTerminalFontSize, sizeNow, 8,
                                       18);
                    })});
    list.push_back(
        {QStringLiteral("Theme (") + theme + QLatin1Char(')'), QString(), run([theme](PaletteSubsystem& s) {
             s.promptChoice(QStringLiteral("Theme"), settings::kPromptTheme, theme,
                            settings::promptThemeNames());
         })});
    list.push_back(
        {QStringLiteral("Font (") + font + QLatin1Char(')'), QString(), run([font](PaletteSubsystem& s) {
             s.promptChoice(QStringLiteral("Font"), settings::kFontFamily, font, fontNames());
         })});
    list.push_back(
        {QStringLiteral("Shell (") + shell + QLatin1Char(')'), QString(), run([shell](PaletteSubsystem& s) {
             s.promptChoice(QStringLiteral("Shell"), settings::kDefaultShellIndex, shell, shellNames());
         })});
    list.push_back(toggle(QStringLiteral("Syntax Highlighting"), settings::kSyntaxHighlighting));
    list.push_back(toggle(QStringLiteral("Copy on Select"), settings::kCopyOnSelect));
    list.push_back(toggle(QStringLiteral("Hide on Click Outside"), settings::kHideOnClickOutside));
    list.push_back(toggle(QStringLiteral("Hide on Deactivate"), settings::kHideOnDeactivate));
    list.push_back(toggle(QStringLiteral("Launch at Login"), settings::kAutoStartEnabled));
    list.push_back(
        {QStringLiteral("Search"), QString(), run([](PaletteSubsystem& s) { s.startScrollbackSearch(); })});
    list.push_back(
        {QStringLiteral("Perf"), QString(), run([](PaletteSubsystem& s) { s.togglePerfOverlay(); })});
    list.push_back(
        {QStringLiteral("Parser"), QString(), run([](PaletteSubsystem& s) { s.toggleParserOverlay(); })});
    list.push_back({QStringLiteral("Check for Updates"), QString(),
                    run([](PaletteSubsystem& s) { s.host().manualCheckForUpdate(); })});
    list.push_back({release ? QStringLiteral("Install Update (") + *release + QLatin1Char(')')
                            : QStringLiteral("Install Update"),
                    QString(), run([](PaletteSubsystem& s) { s.host().installPendingUpdate(); })});
    list.push_back(toggle(QStringLiteral("Auto-Check Updates"), settings::kAutoCheckUpdates));
    list.push_back(toggle(QStringLiteral("Bell Notification"), settings::kBellEnabled));
    list.push_back({QStringLiteral("WebPicker"), QString(), perform(Action::toggleWebPicker)});
    list.push_back({QStringLiteral("Git"), QString(), perform(Action::toggleGitPanel)});
    return list;
}
