// Find and replace of the editor view: literal, case-insensitive search with every match
// highlighted and one current match that the arrows move through, wrapping around.
#include "editor/EditorView.h"
#include "editor/FindReplaceBar.h"

#include <QLineEdit>
#include <QPointer>
#include <QTextDocument>

void EditorView::showFindBar() {
    if (!findBar_) {
        findBar_ = new FindReplaceBar(this);
        const QPointer<EditorView> self(this);
        findBar_->onSearch = [self](const QString& query, bool forward) {
            if (self) self->performFind(query, forward);
        };
        findBar_->onReplace = [self](const QString& replacement) {
            if (self) self->replaceCurrentMatch(replacement);
        };
        findBar_->onReplaceAll = [self](const QString& query, const QString& replacement) {
            if (self) self->replaceAllMatches(query, replacement);
        };
        findBar_->onClose = [self] {
            if (self) self->hideFindBar();
        };
        findBar_->show();
        modeBar_->raise();
        layoutChildren();
    }
    findBar_->findField()->setFocus(Qt::ShortcutFocusReason);
}

void EditorView::hideFindBar() {
    if (!findBar_) return;
    clearFindHighlights();
    findBar_->hide();
    findBar_->deleteLater();
    findBar_ = nullptr;
    findMatches_.clear();
    findMatchIndex_ = 0;
    layoutChildren();
    textView_->setFocus(Qt::OtherFocusReason);
}

void EditorView::clearFindHighlights() {
    textView_->clearHighlights();
}

void EditorView::performFind(const QString& query, bool forward) {
    clearFindHighlights();
    // An emptied field only clears the highlights; the last matches and label stay.
    if (query.isEmpty()) return;
    findQuery_ = query;
    findMatches_ = textsearch::findAll(text(), query);
    const int count = static_cast<int>(findMatches_.size());
    if (count == 0) {
        if (findBar_) findBar_->setMatchInfo(0, 0);
        return;
    }
    if (count == 1)
        findMatchIndex_ = 0;
    else
        findMatchIndex_ = forward ? (findMatchIndex_ + 1) % count : (findMatchIndex_ - 1 + count) % count;
    // The index carries over from the last search, so it may lie beyond a shorter list.
    findMatchIndex_ = std::clamp(findMatchIndex_, 0, count - 1);
    const textsearch::Range current = findMatches_[static_cast<size_t>(findMatchIndex_)];
    QTextCursor cursor = textView_->textCursor();
    cursor.setPosition(current.location);
    cursor.setPosition(current.location + current.length, QTextCursor::KeepAnchor);
    textView_->setTextCursor(cursor);
    textView_->ensureCursorVisible();
    textView_->setFindHighlights(findMatches_, findMatchIndex_);
    if (findBar_) findBar_->setMatchInfo(findMatchIndex_ + 1, count);
}

void EditorView::replaceCurrentMatch(const QString& replacement) {
    if (findMatches_.empty()) return;
    const QString query = findQuery_;
    const int length = textView_->document()->characterCount() - 1;
    textsearch::Range target = findMatches_[static_cast<size_t>(
        std::clamp<int>(findMatchIndex_, 0, static_cast<int>(findMatches_.size()) - 1))];
    // Edits since the search may have moved the text under the stored range: it is replaced only
    // while it still holds the query, else the query is looked for again from there.
    const auto holdsQuery = [&](const textsearch::Range& r) {
        return !query.isEmpty() && r.location + r.length <= length &&
               text().mid(r.location, r.length).compare(query, Qt::CaseInsensitive) == 0;
    };
    if (!holdsQuery(target)) {
        const std::vector<textsearch::Range> fresh = textsearch::findAll(text(), query);
        if (fresh.empty()) {
            performFind(findBar_ ? findBar_->findField()->text() : QString(), true);
            return;
        }
        auto next = std::find_if(fresh.begin(), fresh.end(),
                                 [&](const textsearch::Range& r) { return r.location >= target.location; });
        target = next != fresh.end() ? *next : fresh.front();
    }
    replaceRange(target.location, target.length, replacement);
    findMatchIndex_ = std::max(findMatchIndex_ - 1, 0);
    performFind(findBar_ ? findBar_->findField()->text() : QString(), true);
}

void EditorView::replaceAllMatches(const QString& query, const QString& replacement) {
    if (query.isEmpty()) return;
    const std::vector<textsearch::Range> matches = textsearch::findAll(text(), query);
    // One edit block: a single undo brings every replaced match back.
    QTextCursor cursor(textView_->document());
    cursor.beginEditBlock();
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        cursor.setPosition(it->location);
        cursor.setPosition(it->location + it->length, QTextCursor::KeepAnchor);
        cursor.insertText(replacement);
    }
    cursor.endEditBlock();
    clearFindHighlights();
    findMatches_.clear();
    findMatchIndex_ = 0;
    if (findBar_) findBar_->setMatchInfo(0, static_cast<int>(matches.size()));
}
