#pragma once

#include "terminalview/TerminalViewHost.h"

#include <functional>
#include <utility>
#include <vector>

class QWidget;

// What the controller asks of the command palette, the scrollback search and the changelog viewer.
class PaletteService {
public:
    virtual ~PaletteService() = default;

    // A second press of Control: opens the palette when closed, closes it when open.
    virtual void toggleCommandPalette() = 0;
    // The window changed size: an open palette is centred again in the content view.
    virtual void centerCommandPalette() = 0;
    // A left press in a terminal closes an open palette (the press still reaches the terminal).
    virtual bool isCommandPaletteShown() const = 0;
    virtual void dismissCommandPalette() = 0;

    // The search matches `view` draws and the index of the current one (-1 for none). Read on every
    // frame, so the list is a stored one.
    virtual const std::vector<SearchHighlight>& searchHighlights(const TerminalView* view) const = 0;
    virtual int searchCurrentIndex(const TerminalView* view) const = 0;
    // Another tab came on show: the search forgets its matches.
    virtual void clearSearchState() = 0;

    // The version button: shows the changelog placed relative to `window`.
    virtual void showChangelog(QWidget* window) = 0;

    // The end of the program: open diagnostics panels stop sampling the terminals.
    virtual void stopDiagnosticsOverlays() {}
};

// Until the palette, the search and the changelog viewer exist: no palette opens, no match is
// drawn and the version button opens nothing.
class NullPaletteService final : public PaletteService {
public:
    // The palette's key and the version button say that they are not available yet.
    explicit NullPaletteService(std::function<void()> notAvailable = {})
        : notAvailable_(std::move(notAvailable)) {}
    void toggleCommandPalette() override { tell(); }
    void centerCommandPalette() override {}
    bool isCommandPaletteShown() const override { return false; }
    void dismissCommandPalette() override {}
    const std::vector<SearchHighlight>& searchHighlights(const TerminalView*) const override {
        return highlights_;
    }
    int searchCurrentIndex(const TerminalView*) const override { return currentIndex_; }
    void clearSearchState() override {
        highlights_.clear();
        currentIndex_ = -1;
    }
    void showChangelog(QWidget*) override { tell(); }

private:
    void tell() const {
        if (notAvailable_) notAvailable_();
    }
    std::function<void()> notAvailable_;
    std::vector<SearchHighlight> highlights_;
    int currentIndex_ = -1;
};
