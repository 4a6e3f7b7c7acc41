#include "palette/PaletteSubsystem.h"

#include "chrome/ChromeAnimation.h"
#include "palette/HelpViewer.h"
#include "palette/PaletteHost.h"
#include "palette/SettingPrompts.h"
#include "platform/Defaults.h"
#include "platform/Geometry.h"
#include "settings/SettingsKeys.h"
#include "terminalview/TerminalView.h"

#include <QLineEdit>

PaletteSubsystem::PaletteSubsystem(std::unique_ptr<PaletteHost> host, QObject* parent)
    : QObject(parent), host_(std::move(host)), search_(*host_) {}

PaletteSubsystem::~PaletteSubsystem() {
    delete commandPalette_.data();
    delete perfOverlay_.data();
    delete parserOverlay_.data();
}

// ---- The palette -----------------------------------------------------------------------------------

void PaletteSubsystem::toggleCommandPalette() {
    if (commandPalette_ && commandPalette_->parentWidget()) {
        commandPalette_->dismiss();
        return;
    }
    QWidget* content = host_->contentView();
    if (!host_->mainWindow() || !host_->isWindowVisible() || !content) return;
    std::vector<PaletteCommand> commands = paletteCommands();

    auto* palette = new CommandPaletteView(content);
    palette->hide();
    chrome::setWidgetAlpha(palette, 0);
    palette->setup(std::move(commands));
    palette->positionSelf();
    commandPalette_ = palette;
    palette->onClosed = [self = QPointer<PaletteSubsystem>(this), palette] {
        if (!self) return;
        if (self->commandPalette_ == palette) self->commandPalette_ = nullptr;
        self->host_->activateAfterSnap();
    };
    palette->show();
    palette->raise();
    palette->repositionNameLabel();
    chrome::setWidgetAlpha(palette->nameLabel(), 0);
    palette->activate();
    chrome::fadeWidget(palette, 1.0, 150, chrome::linearCurve());
    chrome::fadeWidget(palette->nameLabel(), 1.0, 150, chrome::linearCurve());
}

void PaletteSubsystem::centerCommandPalette() {
    if (!commandPalette_ || !commandPalette_->parentWidget()) return;
    commandPalette_->positionSelf();
}

bool PaletteSubsystem::isCommandPaletteShown() const {
    return commandPalette_ && !commandPalette_->isDismissing();
}

void PaletteSubsystem::dismissCommandPalette() {
    if (commandPalette_) commandPalette_->dismiss();
}

// ---- Setting prompts -------------------------------------------------------------------------------

namespace {

// Stores an accepted answer, then applies it while the subsystem is still there.
void storeAndApply(QPointer<PaletteSubsystem> self, Defaults& defaults, const QString& key,
                   const QVariant& value) {
    defaults.setValue(key, value);
    if (self) self->host().applySetting(key, value);
}

} // namespace

void PaletteSubsystem::promptToggle(const QString& title, const QString& key) {
    if (!commandPalette_) return;
    Defaults& defaults = host_->defaults();
    commandPalette_->showInput(
        prompts::toggleText(title, defaults.boolean(key)),
        [self = QPointer<PaletteSubsystem>(this), &defaults, key](const QString& answer) {
            if (const std::optional<bool> on = prompts::parseToggle(answer))
                storeAndApply(self, defaults, key, *on);
        });
}

void PaletteSubsystem::promptSlider(const QString& title, const QString& key, const QString& current, int min,
                                    int max) {
    if (!commandPalette_) return;
    Defaults& defaults = host_->defaults();
    commandPalette_->showInput(
        prompts::sliderText(title, current, min, max),
        [self = QPointer<PaletteSubsystem>(this), &defaults, key, min, max](const QString& answer) {
            if (const std::optional<int> n = prompts::parseSlider(answer, min, max))
                storeAndApply(self, defaults, key, prompts::sliderStoredValue(key, *n));
        });
}

void PaletteSubsystem::promptChoice(const QString& title, const QString& key, const QString& current,
                                    const QStringList& options) {
    if (!commandPalette_) return;
    Defaults& defaults = host_->defaults();
    commandPalette_->showInput(
        prompts::choiceText(title, current, options),
        [self = QPointer<PaletteSubsystem>(this), &defaults, key, options](const QString& answer) {
            if (const std::optional<int> i = prompts::parseChoice(answer, options))
                storeAndApply(self, defaults, key, qint64(*i));
        });
}

void PaletteSubsystem::confirmResetSystem() {
    if (!commandPalette_) return;
    commandPalette_->showConfirm(prompts::kResetText, [self = QPointer<PaletteSubsystem>(this)] {
        if (self) self->host_->applySetting(settings::kResetDefaults, true);
    });
}

// ---- The scrollback search -------------------------------------------------------------------------

void PaletteSubsystem::startScrollbackSearch() {
    if (!commandPalette_) return;
    commandPalette_->showInput(QStringLiteral("Search scrollback..."),
                               [self = QPointer<PaletteSubsystem>(this)](const QString& query) {
                                   if (self) self->search_.performScrollbackSearch(query);
                               });
}

const std::vector<SearchHighlight>& PaletteSubsystem::searchHighlights(const TerminalView* view) const {
    return search_.highlights(view);
}

int PaletteSubsystem::searchCurrentIndex(const TerminalView* view) const {
    return search_.currentIndex(view);
}

void PaletteSubsystem::clearSearchState() {
    search_.clearSearchState();
}

// ---- Diagnostics -----------------------------------------------------------------------------------

void PaletteSubsystem::togglePerfOverlay() {
    toggleDiagnosticsOverlay(DiagnosticsOverlay::Mode::perf);
}

void PaletteSubsystem::toggleParserOverlay() {
    toggleDiagnosticsOverlay(DiagnosticsOverlay::Mode::parser);
}

void PaletteSubsystem::stopDiagnosticsOverlays() {
    for (DiagnosticsOverlay* overlay : {perfOverlay_.data(), parserOverlay_.data()})
        if (overlay) overlay->stopUpdating();
}

void PaletteSubsystem::toggleDiagnosticsOverlay(DiagnosticsOverlay::Mode mode) {
    QPointer<DiagnosticsOverlay>& field =
        mode == DiagnosticsOverlay::Mode::perf ? perfOverlay_ : parserOverlay_;
    if (field) {
        field->stopUpdating();
        delete field.data();
        field = nullptr;
        return;
    }
    if (host_->tabCount() == 0) return;
    QWidget* content = host_->contentView();
    if (!content) return;
    const QSize size = DiagnosticsOverlay::sizeFor(mode);
    // 10 pt from the right edge, the lower edge 40 pt above the bottom.
    const QRectF bottomUp(content->width() - size.width() - 10, 40, size.width(), size.height());
    auto* panel = new DiagnosticsOverlay(geometry::flippedPixels(bottomUp, content->height()), mode, content);
    panel->terminalView = host_->activeTerminalView();
    panel->show();
    panel->raise();
    panel->startUpdating();
    field = panel;
}

// ---- The changelog ---------------------------------------------------------------------------------

void PaletteSubsystem::showChangelog(QWidget* window) {
    if (!helpViewer_) helpViewer_ = std::make_unique<HelpViewer>();
    helpViewer_->showChangelog(window);
}
