#include "palette/SearchSession.h"

#include "palette/PaletteHost.h"
#include "palette/ScrollbackSearch.h"
#include "terminalview/TerminalView.h"

SearchSession::SearchSession(PaletteHost& host, QObject* parent) : QObject(parent), host_(host) {
    cleanup_.setSingleShot(true);
    cleanup_.setInterval(kCleanupMs);
    connect(&cleanup_, &QTimer::timeout, this, [this] {
        QPointer<TerminalView> view = searched_;
        clearSearchState();
        if (view) view->markDirty();
    });
}

void SearchSession::performScrollbackSearch(const QString& query) {
    if (host_.tabCount() == 0) return;
    TerminalView* view = host_.activeTerminalView();
    if (!view) return;
    // The matches go to the spare list, whose storage the previous search left; the old matches
    // stay when nothing is found.
    std::vector<SearchHighlight>& matches = spare_;
    findScrollbackMatches(view->terminal(), query, matches);
    if (matches.empty()) {
        // The highlights of an earlier search stay until their own clean-up.
        showSearchToast(query, 0, 0);
        return;
    }
    const int total = int(matches.size());
    std::swap(highlights_, spare_);
    query_ = query;
    currentIndex_ = total - 1;
    searched_ = view;
    view->markDirty();
    showSearchToast(query, currentIndex_ + 1, total);
    scrollToSearchMatch(view);
    cleanup_.start();
}

void SearchSession::clearSearchState() {
    // The lists may hold millions of matches: their memory goes too.
    std::vector<SearchHighlight>().swap(highlights_);
    std::vector<SearchHighlight>().swap(spare_);
    currentIndex_ = -1;
    query_.clear();
    searched_ = nullptr;
    cleanup_.stop();
}

const std::vector<SearchHighlight>& SearchSession::highlights(const TerminalView* view) const {
    return view && view == searched_ ? highlights_ : kNone;
}

int SearchSession::currentIndex(const TerminalView* view) const {
    return view && view == searched_ ? currentIndex_ : -1;
}

void SearchSession::scrollToSearchMatch(TerminalView* view) {
    if (currentIndex_ < 0 || currentIndex_ >= int(highlights_.size())) return;
    const SearchHighlight& match = highlights_[std::size_t(currentIndex_)];
    // A scrollback match scrolls back by as many lines as it lies behind the screen, which brings
    // it to the top of the view; a screen match shows the live screen.
    view->setSmoothScrollY(match.row >= 0 ? 0.0 : view->cellH() * double(-match.row));
    view->markDirty();
}

QString SearchSession::toastBadge(int current, int total) {
    return total > 0 ? QString::number(current) + QLatin1Char('/') + QString::number(total)
                     : QStringLiteral("0");
}

QString SearchSession::toastMessage(const QString& query, int total) {
    const QString quoted = QLatin1Char('"') + query + QLatin1Char('"');
    return total > 0 ? quoted : QStringLiteral("no matches for ") + quoted;
}

void SearchSession::showSearchToast(const QString& query, int current, int total) {
    const QColor color =
        total > 0 ? QColor::fromRgbF(0.75f, 0.52f, 0.08f, 1.0f) : QColor::fromRgbF(0.6f, 0.2f, 0.18f, 1.0f);
    host_.showToast(toastBadge(current, total), toastMessage(query, total), color, kToastSeconds,
                    kToastIdentifier);
}
