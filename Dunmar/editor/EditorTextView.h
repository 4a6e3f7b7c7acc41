#pragma once

#include "editor/TextSearch.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <functional>
#include <utility>
#include <vector>

// The text view of an editor tab: plain text with auto-indent on Return, the highlight of the
// bracket that matches the one at the caret, a paste hook, and files dropped on it opened in a tab
// of their own. Highlights live outside the document (extra selections), so they never touch the
// text, its undo history or its modified flag.
class EditorTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit EditorTextView(QWidget* parent = nullptr);

    // After every paste, with whether the document was empty before it.
    std::function<void(bool wasEmpty)> onPaste;
    // A file dropped on the view (the first, when several are).
    std::function<void(const QString& path)> onFileDropped;
    // Where the indentation unit comes from; one tab when it says true, else two spaces. Read at
    // every Return.
    std::function<bool()> useTabs;

    // The numbers of the first and the last block on screen.
    std::pair<int, int> visibleBlockNumbers() const;
    // The first block on screen, and where a block lies in the viewport's coordinates (the gutter
    // numbers the lines with them).
    QTextBlock firstBlockOnScreen() const { return firstVisibleBlock(); }
    QRectF blockRectOnScreen(const QTextBlock& block) const {
        return blockBoundingGeometry(block).translated(contentOffset());
    }

    // Return with auto-indent.
    void insertNewline();
    void updateBracketHighlight();
    const std::vector<textsearch::Range>& bracketHighlightRanges() const { return bracketRanges_; }

    // Find highlights: every match, and the current one over it. Only the matches on screen are
    // drawn, so a one-letter search in a large file stays cheap to show.
    void setFindHighlights(std::vector<textsearch::Range> matches, int current);
    void clearHighlights();
    const std::vector<textsearch::Range>& findHighlights() const { return findRanges_; }
    // The extra selections drawn now (tests look at them).
    int drawnHighlightCount() const { return static_cast<int>(extraSelections().size()); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void refreshSelections();
    static QString firstLocalFile(const QMimeData* mime);
    static bool acceptFileDrag(QDropEvent* event);

    std::vector<textsearch::Range> bracketRanges_;
    std::vector<textsearch::Range> findRanges_;
    int findCurrent_ = -1;
    bool dropping_ = false;
};
