#include "editor/EditorTextView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

namespace {

QTextEdit::ExtraSelection highlightOf(QTextDocument* document, const textsearch::Range& range,
                                      const QColor& color) {
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(document);
    selection.cursor.setPosition(range.location);
    selection.cursor.setPosition(range.location + range.length, QTextCursor::KeepAnchor);
    selection.format.setBackground(color);
    return selection;
}

bool isOpening(QChar c) {
    return c == u'{' || c == u'(' || c == u'[';
}

bool isClosing(QChar c) {
    return c == u'}' || c == u')' || c == u']';
}

} // namespace

EditorTextView::EditorTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setAcceptDrops(true);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &EditorTextView::updateBracketHighlight);
    // Scrolling and resizing change which find matches are on screen.
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect&, int dy) {
        if (dy != 0 && !findRanges_.empty()) refreshSelections();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!findRanges_.empty()) refreshSelections();
    });
}

void EditorTextView::keyPressEvent(QKeyEvent* event) {
    const bool returnKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Shift+Return would put a line separator inside the line; it breaks the line as Return does.
    if (returnKey && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) && !isReadOnly()) {
        insertNewline();
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void EditorTextView::insertNewline() {
    QTextCursor cursor = textCursor();
    const QTextBlock line = cursor.block();
    const QString text = line.text();
    qsizetype n = 0;
    while (n < text.size() && (text[n] == u' ' || text[n] == u'\t')) ++n;
    const QString indent = text.left(n);
    const QString trimmed = text.trimmed();
    const QChar atCaret = document()->characterAt(cursor.position());
    const bool closes = cursor.position() < document()->characterCount() - 1 && isClosing(atCaret);
    // The whole line counts, also what stands after the caret ("if (x) {" with the caret inside
    // the parentheses opens a block). A caret right between an opener and a closer ("{|}") opens
    // one too, although the line then ends with the closer.
    const QString beforeCaret = text.left(cursor.positionInBlock()).trimmed();
    const bool opens = (!trimmed.isEmpty() && isOpening(trimmed.back())) ||
                       (closes && !beforeCaret.isEmpty() && isOpening(beforeCaret.back()));
    const QString unit = useTabs && useTabs() ? QStringLiteral("\t") : QStringLiteral("  ");
    const QString inner = opens ? indent + unit : indent;

    cursor.beginEditBlock();
    cursor.insertText(QStringLiteral("\n") + inner);
    if (opens && closes) {
        const int middle = cursor.position();
        cursor.insertText(QStringLiteral("\n") + indent);
        cursor.setPosition(middle);
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void EditorTextView::updateBracketHighlight() {
    bracketRanges_.clear();
    QTextDocument* doc = document();
    const int length = doc->characterCount() - 1; // without the closing separator
    const auto match = textsearch::matchBracket([doc](int i) { return doc->characterAt(i); }, length,
                                                textCursor().position());
    if (match) bracketRanges_ = {{match->first, 1}, {match->second, 1}};
    refreshSelections();
}

void EditorTextView::setFindHighlights(std::vector<textsearch::Range> matches, int current) {
    findRanges_ = std::move(matches);
    findCurrent_ = current;
    refreshSelections();
}

void EditorTextView::clearHighlights() {
    findRanges_.clear();
    findCurrent_ = -1;
    bracketRanges_.clear();
    refreshSelections();
}

std::pair<int, int> EditorTextView::visibleBlockNumbers() const {
    const QTextBlock first = firstVisibleBlock();
    const QTextBlock last = cursorForPosition(viewport()->rect().bottomRight()).block();
    return {first.isValid() ? first.blockNumber() : 0, last.blockNumber()};
}

void EditorTextView::refreshSelections() {
    QList<QTextEdit::ExtraSelection> selections;
    QTextDocument* doc = document();
    if (!findRanges_.empty()) {
        // Only what lies between the first and the last block on screen.
        const QTextBlock first = firstVisibleBlock();
        const int from = first.isValid() ? first.position() : 0;
        const QTextCursor endCursor = cursorForPosition(viewport()->rect().bottomRight());
        const int to = endCursor.block().position() + endCursor.block().length();
        const QColor yellow = QColor::fromRgbF(1.0f, 0.8f, 0.0f, 0.35f);
        auto it =
            std::lower_bound(findRanges_.begin(), findRanges_.end(), from,
                             [](const textsearch::Range& r, int pos) { return r.location + r.length < pos; });
        for (; it != findRanges_.end() && it->location <= to; ++it)
            selections.append(highlightOf(doc, *it, yellow));
        if (findCurrent_ >= 0 && findCurrent_ < static_cast<int>(findRanges_.size()))
            selections.append(highlightOf(doc, findRanges_[static_cast<size_t>(findCurrent_)],
                                          QColor::fromRgbF(1.0f, 0.58f, 0.0f, 0.7f)));
    }
    QColor bracket = palette().color(QPalette::Highlight);
    bracket.setAlphaF(0.45f);
    for (const textsearch::Range& r : bracketRanges_) selections.append(highlightOf(doc, r, bracket));
    setExtraSelections(selections);
}

void EditorTextView::insertFromMimeData(const QMimeData* source) {
    const bool wasEmpty = document()->isEmpty();
    QPlainTextEdit::insertFromMimeData(source);
    if (!dropping_ && onPaste) onPaste(wasEmpty);
}

QString EditorTextView::firstLocalFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

// Files are taken as a copy (to open them); anything else is the text view's own drop.
bool EditorTextView::acceptFileDrag(QDropEvent* event) {
    if (firstLocalFile(event->mimeData()).isEmpty()) return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void EditorTextView::dragEnterEvent(QDragEnterEvent* event) {
    if (!acceptFileDrag(event)) QPlainTextEdit::dragEnterEvent(event);
}

void EditorTextView::dragMoveEvent(QDragMoveEvent* event) {
    if (!acceptFileDrag(event)) QPlainTextEdit::dragMoveEvent(event);
}

void EditorTextView::dropEvent(QDropEvent* event) {
    const QString path = firstLocalFile(event->mimeData());
    if (!path.isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        if (onFileDropped) onFileDropped(path);
        return;
    }
    dropping_ = true;
    QPlainTextEdit::dropEvent(event);
    dropping_ = false;
}
