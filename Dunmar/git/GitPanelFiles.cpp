// The rows of changed files and the diff that a click on a row opens below it.
#include "git/ClickableFileRow.h"
#include "git/GitPanelActions.h"
#include "git/GitPanelModel.h"
#include "git/GitPanelView.h"
#include "git/GitRowText.h"
#include "git/InlineDiff.h"
#include "git/MarqueeLabel.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// What the rows show: each file's two letters and path, in git's order. The periodic refresh
// leaves rows, an open diff and the scroll position alone while this stays the same.
QString filesKey(const std::vector<GitFileEntry>& entries) {
    QStringList parts;
    parts.reserve(static_cast<qsizetype>(entries.size()));
    for (const GitFileEntry& e : entries) parts << QString(e.x) + e.y + e.path;
    return parts.join(QLatin1Char('\n'));
}

} // namespace

void GitPanelView::rebuildFilesStack() {
    const std::vector<GitFileEntry>& entries = model_->fileEntries();
    const QString key = filesKey(entries);
    if (key == lastFilesKey_) return;
    lastFilesKey_ = key;
    expandedDiffFile_.reset();
    delete currentDiffView_.data();
    while (QLayoutItem* item = filesStack->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QPointer<GitPanelView> self(this);
    const size_t shown = std::min(entries.size(), static_cast<size_t>(kMaxFileRows));
    for (size_t i = 0; i < shown; ++i) {
        const GitFileEntry& entry = entries[i];
        auto* row = new ClickableFileRow(filesStackWidget);
        row->filePath = entry.path;
        row->statusX = entry.x;
        row->statusY = entry.y;
        row->marqueeLabel()->setAttributedText(fileRowText(entry));
        row->onClick = [self, entry] {
            if (self) self->toggleDiff(entry.path, entry.x, entry.y);
        };
        row->onIgnore = [self, path = entry.path] {
            if (self) self->actions_->addToGitignore(path);
        };
        filesStack->addWidget(row);
    }
    filesScrollView->updateGeometry();
}

void GitPanelView::toggleDiff(const QString& path, QChar x, QChar y) {
    if (expandedDiffFile_ == path) {
        // A second click closes the diff; a load still on its way is dropped.
        expandedDiffFile_.reset();
        delete currentDiffView_.data();
        ++diffRequest_;
        filesScrollView->updateGeometry();
        return;
    }
    delete currentDiffView_.data();
    expandedDiffFile_ = path;
    const quint64 request = ++diffRequest_;
    const QPointer<GitPanelView> self(this);
    model_->loadDiff({path, x, y}, [self, path, request](const QString& diff) {
        // Only the diff asked for last is shown, and only while it is still wanted.
        if (!self || self->diffRequest_ != request || self->expandedDiffFile_ != path) return;
        for (int i = 0; i < self->filesStack->count(); ++i) {
            auto* row = qobject_cast<ClickableFileRow*>(self->filesStack->itemAt(i)->widget());
            if (!row || row->filePath != path) continue;
            auto* view = new InlineDiffView(diff, self->filesStackWidget);
            self->filesStack->insertWidget(i + 1, view);
            self->currentDiffView_ = view;
            self->filesScrollView->updateGeometry();
            return;
        }
    });
}
