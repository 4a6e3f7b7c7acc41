#pragma once

#include "terminalview/TerminalViewHost.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <vector>

class PaletteHost;
class TerminalView;

// The scrollback search's state: the matches of the last successful search in the terminal it
// searched, the current one (always the last found), the query, and the clean-up that forgets
// them 10 s after that search. A search that finds nothing only says so.
class SearchSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kCleanupMs = 10000;
    static constexpr double kToastSeconds = 4.0;
    static inline const QString kToastIdentifier = QStringLiteral("searchToast");

    explicit SearchSession(PaletteHost& host, QObject* parent = nullptr);

    // Searches the active tab's terminal; nothing at all without tabs or on an editor tab.
    void performScrollbackSearch(const QString& query);
    // Forgets the matches; the searched terminal is not redrawn (the caller is changing tabs).
    void clearSearchState();

    // The matches drawn by `view`: those of the terminal searched, nothing for any other.
    const std::vector<SearchHighlight>& highlights(const TerminalView* view) const;
    int currentIndex(const TerminalView* view) const;

    const std::vector<SearchHighlight>& searchHighlights() const { return highlights_; }
    int searchCurrentIndex() const { return currentIndex_; }
    const QString& searchQuery() const { return query_; }
    bool isCleanupPending() const { return cleanup_.isActive(); }
    // Tests shorten the clean-up.
    void setCleanupInterval(int ms) { cleanup_.setInterval(ms); }

    // The toast's texts: "3/3" and "\"foo\"", or "0" and "no matches for \"foo\"".
    static QString toastBadge(int current, int total);
    static QString toastMessage(const QString& query, int total);

private:
    void scrollToSearchMatch(TerminalView* view);
    void showSearchToast(const QString& query, int current, int total);

    PaletteHost& host_;
    std::vector<SearchHighlight> highlights_;
    std::vector<SearchHighlight> spare_;
    int currentIndex_ = -1;
    QString query_;
    QPointer<TerminalView> searched_;
    QTimer cleanup_;
    static inline const std::vector<SearchHighlight> kNone{};
};
