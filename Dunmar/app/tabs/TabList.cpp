#include "app/tabs/TabList.h"

#include "app/tabs/TabArithmetic.h"

#include <QtGlobal>
#include <iterator>

bool TabList::setActiveTab(int index) {
    if (!contains(index)) return false;
    active_ = index;
    return true;
}

TabState& TabList::at(int index) {
    Q_ASSERT(contains(index));
    return tabs_[static_cast<size_t>(index)];
}

const TabState& TabList::at(int index) const {
    Q_ASSERT(contains(index));
    return tabs_[static_cast<size_t>(index)];
}

TabState* TabList::find(int index) {
    return contains(index) ? &tabs_[static_cast<size_t>(index)] : nullptr;
}

const TabState* TabList::find(int index) const {
    return contains(index) ? &tabs_[static_cast<size_t>(index)] : nullptr;
}

int TabList::append(TabState tab) {
    tabs_.push_back(std::move(tab));
    active_ = count() - 1;
    return active_;
}

std::optional<TabState> TabList::remove(int index) {
    if (!contains(index)) return std::nullopt;
    auto it = std::next(tabs_.begin(), index);
    TabState removed = std::move(*it);
    tabs_.erase(it);
    active_ = tabmath::activeAfterClose(active_, index, count());
    return removed;
}

bool TabList::move(int from, int to) {
    if (!tabmath::canMove(from, to, count())) return false;
    TabState moving = std::move(tabs_[static_cast<size_t>(from)]);
    tabs_.erase(std::next(tabs_.begin(), from));
    tabs_.insert(std::next(tabs_.begin(), to), std::move(moving));
    active_ = tabmath::activeAfterMove(active_, from, to);
    return true;
}

int TabList::indexOfTerminalView(const QObject* view) const {
    if (!view) return -1;
    for (int i = 0; i < count(); ++i)
        if (tabs_[static_cast<size_t>(i)].termView.data() == view) return i;
    return -1;
}

int TabList::indexOfSplitContainer(const QObject* container) const {
    if (!container) return -1;
    for (int i = 0; i < count(); ++i)
        if (tabs_[static_cast<size_t>(i)].splitContainer.data() == container) return i;
    return -1;
}

int TabList::indexOfEditorView(const QObject* editor) const {
    if (!editor) return -1;
    for (int i = 0; i < count(); ++i)
        if (tabs_[static_cast<size_t>(i)].editorView.data() == editor) return i;
    return -1;
}
