#pragma once

#include "editor/EditorView.h"
#include "git/GitPanelDividerView.h"
#include "git/GitPanelView.h"
#include "app/tabs/TabTypes.h"
#include "terminalview/SplitContainer.h"
#include "terminalview/TerminalView.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <optional>

// Everything the controller keeps about one open tab. A tab is one value of this type, so its
// pieces can never fall out of step with each other the way separate per-tab lists could.
struct TabState {
    QPointer<TerminalView> termView;  // the primary terminal pane; none for an editor tab
    TabType type = TabType::terminal; // terminal or editor
    QPointer<EditorView> editorView;  // the editor of an editor tab
    EditorInputMode editorMode = EditorInputMode::normal;
    QUrl editorURL;             // the editor's file; empty when unsaved or a terminal tab
    bool editorDirty = false;   // the editor has unsaved changes
    bool hasBell = false;       // the bell mark in the tab strip
    bool previewActive = false; // the editor tab shows its preview
    // The container of a terminal tab's panes. An editor tab has none: its editor view stands in
    // its place as the page that is shown, hidden and faded (`page()`).
    QPointer<SplitContainer> splitContainer;
    QColor color;                      // the tab's colour in the strip
    std::optional<QString> customName; // the user's name; none shows the default title
    GitPanelPosition gitPosition = GitPanelPosition::none;
    QPointer<GitPanelView> gitPanel;          // created on first use
    QPointer<GitPanelDividerView> gitDivider; // between the terminal and the git panel
    double gitRatio = 0.3;                    // the git panel's current share of the space
    double gitRatioV = 0.35;                  // the share remembered for the panel on the right
    double gitRatioH = 0.3;                   // the share remembered for the panel at the bottom

    // A saved editor file that could not be read at start. The tab keeps it and saves it again
    // until the tab gets a file of its own, so an unmounted disk does not lose the entry for good.
    std::optional<QString> keptEditorPath;

    // The widget that shows the tab: the split container, or an editor tab's editor view.
    QWidget* page() const;

    // A new terminal tab: unsplit, no git panel, the default shares.
    static TabState terminal(TerminalView* view, SplitContainer* container, QColor color);
    // A new editor tab with no file, mode `normal`.
    static TabState editor(EditorView* view, QColor color = {});
};

// The colour of a tab: hue `hue` (0 to 1), saturation 0.65, brightness 0.85, opaque.
QColor tabColorForHue(double hue);
// A hue drawn uniformly from [0, 1) with 53 random bits, for a tab that has no stored colour.
double randomTabHue();
// The hue (0 to 1) of a tab colour; none for a colour without hue (grey, invalid).
std::optional<double> tabColorHue(const QColor& color);
