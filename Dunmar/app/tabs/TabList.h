#pragma once

#include "app/tabs/TabState.h"

#include <optional>
#include <vector>

class QObject;

// The open tabs in strip order and the index of the one on show. Only `append`, `remove` and
// `move` change the number or the order of tabs, and each moves a whole `TabState`, so every
// per-tab value of index i always belongs to the tab at position i. Everything else writes single
// values in place through `at` or `find`.
class TabList {
public:
    int count() const { return static_cast<int>(tabs_.size()); }
    bool isEmpty() const { return tabs_.empty(); }
    bool contains(int index) const { return index >= 0 && index < count(); }

    // The tab on show: 0 while there are no tabs, otherwise within 0 to count - 1.
    int activeTab() const { return active_; }
    // Shows another tab; false, and no change, for an index outside the list.
    bool setActiveTab(int index);

    // The tab at a valid index (checked in debug builds).
    TabState& at(int index);
    const TabState& at(int index) const;
    // The tab at an index that came from outside (a stale callback, a menu): none when out of range.
    TabState* find(int index);
    const TabState* find(int index) const;
    TabState* active() { return find(active_); }
    const TabState* active() const { return find(active_); }

    // Adds a tab at the end and puts it on show; returns its index.
    int append(TabState tab);
    // Takes tab `index` out and moves the active index as a close does. The removed tab, or none
    // when the index is outside the list. Refusing to close the last tab is the caller's rule.
    std::optional<TabState> remove(int index);
    // Moves the tab at `from` to position `to`; the same tab stays on show. False when nothing
    // moved (equal or invalid indexes).
    bool move(int from, int to);

    // The position of the tab whose primary pane, or whose container, is `view`; -1 for none.
    int indexOfTerminalView(const QObject* view) const;
    int indexOfSplitContainer(const QObject* container) const;
    // The position of the editor tab whose editor is `editor`; -1 for none.
    int indexOfEditorView(const QObject* editor) const;

    const std::vector<TabState>& tabs() const { return tabs_; }

    // Each per-tab value as one list in tab order, for code that reads a whole column at once
    // (the tab strip's titles, colours and bell marks).
    std::vector<QPointer<TerminalView>> termViews() const { return column(&TabState::termView); }
    std::vector<TabType> tabTypes() const { return column(&TabState::type); }
    std::vector<QPointer<EditorView>> tabEditorViews() const { return column(&TabState::editorView); }
    std::vector<EditorInputMode> tabEditorModes() const { return column(&TabState::editorMode); }
    std::vector<QUrl> tabEditorURLs() const { return column(&TabState::editorURL); }
    std::vector<bool> tabEditorDirty() const { return column(&TabState::editorDirty); }
    std::vector<bool> tabHasBell() const { return column(&TabState::hasBell); }
    std::vector<bool> tabPreviewActive() const { return column(&TabState::previewActive); }
    std::vector<QPointer<SplitContainer>> splitContainers() const {
        return column(&TabState::splitContainer);
    }
    std::vector<QColor> tabColors() const { return column(&TabState::color); }
    std::vector<std::optional<QString>> tabCustomNames() const { return column(&TabState::customName); }
    std::vector<GitPanelPosition> tabGitPositions() const { return column(&TabState::gitPosition); }
    std::vector<QPointer<GitPanelView>> tabGitPanels() const { return column(&TabState::gitPanel); }
    std::vector<QPointer<GitPanelDividerView>> tabGitDividers() const {
        return column(&TabState::gitDivider);
    }
    std::vector<double> tabGitRatios() const { return column(&TabState::gitRatio); }
    std::vector<double> tabGitRatiosV() const { return column(&TabState::gitRatioV); }
    std::vector<double> tabGitRatiosH() const { return column(&TabState::gitRatioH); }

private:
    template <class T> std::vector<T> column(T TabState::*member) const {
        std::vector<T> out;
        out.reserve(tabs_.size());
        for (const TabState& tab : tabs_) out.push_back(tab.*member);
        return out;
    }

    std::vector<TabState> tabs_;
    int active_ = 0;
};
