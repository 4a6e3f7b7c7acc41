#pragma once

#include "palette/CommandPaletteView.h"
#include "palette/DiagnosticsOverlay.h"
#include "palette/PaletteCommand.h"
#include "palette/PaletteService.h"
#include "palette/SearchSession.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <vector>

class HelpViewer;
class PaletteHost;

// The command palette, its command list and setting prompts, the scrollback search, the
// changelog viewer and the diagnostics panels, as the controller reaches them. The controller
// opens and closes them; everything they do to the program goes through `PaletteHost`.
class PaletteSubsystem final : public QObject, public PaletteService {
    Q_OBJECT
public:
    explicit PaletteSubsystem(std::unique_ptr<PaletteHost> host, QObject* parent = nullptr);
    ~PaletteSubsystem() override;

    // ---- PaletteService ----------------------------------------------------------------------------
    void toggleCommandPalette() override;
    void centerCommandPalette() override;
    const std::vector<SearchHighlight>& searchHighlights(const TerminalView* view) const override;
    int searchCurrentIndex(const TerminalView* view) const override;
    void clearSearchState() override;
    void showChangelog(QWidget* window) override;
    bool isCommandPaletteShown() const override;
    void dismissCommandPalette() override;

    // ---- The palette -------------------------------------------------------------------------------
    // The palette on show, or null.
    CommandPaletteView* commandPalette() const { return commandPalette_; }
    // The 44 commands, their titles showing the settings as stored now.
    std::vector<PaletteCommand> paletteCommands();

    // The setting prompts: they turn the open palette into a question and store and apply the
    // answer. Nothing happens while no palette is open.
    void promptToggle(const QString& title, const QString& key);
    void promptSlider(const QString& title, const QString& key, const QString& current, int min, int max);
    void promptChoice(const QString& title, const QString& key, const QString& current,
                      const QStringList& options);
    void confirmResetSystem();

    // ---- The scrollback search ---------------------------------------------------------------------
    void startScrollbackSearch();
    SearchSession& search() { return search_; }

    // ---- Diagnostics -------------------------------------------------------------------------------
    void stopDiagnosticsOverlays() override;
    void togglePerfOverlay();
    void toggleParserOverlay();
    DiagnosticsOverlay* perfOverlay() const { return perfOverlay_; }
    DiagnosticsOverlay* parserOverlay() const { return parserOverlay_; }

    // ---- The changelog -----------------------------------------------------------------------------
    HelpViewer* helpViewer() const { return helpViewer_.get(); }

    PaletteHost& host() { return *host_; }

    // The fixed name lists of the choice commands.
    static const QStringList& fontNames();
    static const QStringList& shellNames();

private:
    void toggleDiagnosticsOverlay(DiagnosticsOverlay::Mode mode);

    std::unique_ptr<PaletteHost> host_;
    QPointer<CommandPaletteView> commandPalette_;
    SearchSession search_;
    QPointer<DiagnosticsOverlay> perfOverlay_;
    QPointer<DiagnosticsOverlay> parserOverlay_;
    std::unique_ptr<HelpViewer> helpViewer_;
};
