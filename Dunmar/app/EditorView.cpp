#include "app/EditorView.h"

#include "chrome/ChromeStyle.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringDecoder>
#include <QTextDocument>

EditorView::EditorView(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setFont(chrome::monoFont(13));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, QColor::fromRgbF(0.05f, 0.05f, 0.08f, 0.6f));
    palette.setColor(QPalette::Text, QColor::fromRgbF(0.85f, 0.85f, 0.85f));
    palette.setColor(QPalette::Highlight, QColor::fromRgbF(0.3f, 0.5f, 0.8f, 0.4f));
    setPalette(palette);
    setViewportMargins(8, 6, 8, 6);
    connect(document(), &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (onDirtyChanged) onDirtyChanged(modified);
    });
}

bool EditorView::loadFile(const QString& path, QString* error) {
    const std::optional<QByteArray> bytes = regularfile::read(path, error);
    if (!bytes) return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(*bytes);
    if (decoder.hasError()) {
        if (error) *error = QStringLiteral("the file is not UTF-8 text");
        return false;
    }
    setContent(text);
    return true;
}

void EditorView::setContent(const QString& text) {
    setPlainText(text);
    document()->setModified(false);
}

bool EditorView::saveFile(const QString& path, QString* error) {
    if (!atomicfile::write(path, toPlainText().toUtf8(), error)) return false;
    document()->setModified(false);
    return true;
}

bool EditorView::isDirty() const {
    return document()->isModified();
}

void EditorView::cutCurrentLine() {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    // The line with its line end; the last line has none to take along.
    if (!cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor))
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QGuiApplication::clipboard()->setText(cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n'));
    cursor.removeSelectedText();
    setTextCursor(cursor);
}
