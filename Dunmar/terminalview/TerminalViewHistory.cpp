// The typed line and the history suggestions: the view keeps its own copy of what the user typed
// on the shell's line, offers the newest history line that continues it as ghost text, accepts it
// with Right or Tab, and cycles through the matching lines with Up and Down.
#include "terminalview/HistoryIndex.h"
#include "terminalview/SharedHistory.h"
#include "terminalview/TerminalView.h"

#include <QDir>

namespace {
constexpr char kKillLine = '\x15';
} // namespace

void TerminalView::setTypedBuffer(const QString& text) {
    if (text == typedBuffer_) return;
    typedBuffer_ = text;
    recomputeBestSuggestion();
}

void TerminalView::recomputeBestSuggestion() {
    cachedBestSuggestion_ = history_ ? history_->bestMatch(typedBuffer_) : std::nullopt;
}

QStringList TerminalView::historyMatchesForPrefix(const QString& prefix) const {
    return history_ ? history_->matches(prefix) : QStringList();
}

const QStringList& TerminalView::historyEntries() const {
    static const QStringList none;
    return history_ ? history_->entries() : none;
}

void TerminalView::clearHistoryCycle() {
    historyCycleIndex_ = -1;
    historyMatches_.clear();
}

void TerminalView::clearHistoryState() {
    setTypedBuffer(QString());
    clearHistoryCycle();
}

bool TerminalView::historyActive() const {
    return !terminal_->isAltScreen() && !terminal_->modes().tracksMouse();
}

void TerminalView::loadHistory() {
    const quint64 generation = ++historyLoadGeneration_;
    const QString home = settings_.homeDirectory.isEmpty() ? QDir::homePath() : settings_.homeDirectory;
    // Every pane shares one index of the same history files.
    SharedHistory::instance().request(home, this, [this, generation](SharedHistory::Index index) {
        // A later load (the shell was switched meanwhile) wins.
        if (generation == historyLoadGeneration_) setHistory(std::move(index));
    });
}

void TerminalView::setHistory(std::shared_ptr<const HistoryIndex> history) {
    history_ = std::move(history);
    recomputeBestSuggestion();
    markDirty();
}

std::optional<std::pair<QString, QString>> TerminalView::ghostText() const {
    if (isScrolledBack() || !historyActive() || typedBuffer_.isEmpty()) return std::nullopt;
    const std::optional<QString>& suggestion = cachedBestSuggestion_;
    if (!suggestion || suggestion->size() <= typedBuffer_.size()) return std::nullopt;
    const std::int64_t room = terminal_->cols() - terminal_->cursorX();
    if (room <= 0) return std::nullopt;
    QString rest = suggestion->mid(typedBuffer_.size());
    const QList<uint> scalars = rest.toUcs4();
    if (std::int64_t(scalars.size()) > room)
        rest = QString::fromUcs4(reinterpret_cast<const char32_t*>(scalars.constData()), qsizetype(room));
    return std::make_pair(rest, *suggestion);
}

bool TerminalView::acceptSuggestion() {
    if (!historyActive() || !currentSuggestion_) return false;
    // The suggestion shown may be a frame old; it still has to continue what is typed now.
    const QString suggestion = *currentSuggestion_;
    if (suggestion.size() <= typedBuffer_.size() || !suggestion.startsWith(typedBuffer_)) return false;
    writePTY(suggestion.mid(typedBuffer_.size()));
    setTypedBuffer(suggestion);
    clearHistoryCycle();
    markDirty();
    return true;
}

bool TerminalView::cycleHistoryUp() {
    if (!historyActive() || typedBuffer_.isEmpty()) return false;
    if (historyCycleIndex_ == -1) historyMatches_ = historyMatchesForPrefix(typedBuffer_);
    if (historyMatches_.isEmpty()) return false;
    historyCycleIndex_ = std::min(historyCycleIndex_ + 1, int(historyMatches_.size()) - 1);
    const QString match = historyMatches_[historyCycleIndex_];
    writePTY(QByteArrayView(&kKillLine, 1));
    writePTY(match);
    setTypedBuffer(match);
    markDirty();
    return true;
}

bool TerminalView::cycleHistoryDown() {
    if (!historyActive() || historyCycleIndex_ < 0) return false;
    const int previous = historyCycleIndex_;
    writePTY(QByteArrayView(&kKillLine, 1));
    if (previous == 0) {
        // Past the newest match the line is left empty; the typed text is not restored.
        clearHistoryState();
    } else {
        historyCycleIndex_ = previous - 1;
        const QString match = historyMatches_[historyCycleIndex_];
        writePTY(match);
        setTypedBuffer(match);
    }
    markDirty();
    return true;
}

void TerminalView::eraseLastTypedCharacter() {
    QString text = typedBuffer_;
    if (!text.isEmpty()) {
        const bool pair =
            text.size() >= 2 && text.back().isLowSurrogate() && text.at(text.size() - 2).isHighSurrogate();
        text.chop(pair ? 2 : 1);
    }
    setTypedBuffer(text);
    clearHistoryCycle();
}
