// The nano and vim input modes of the editor view: the mode bar, and the keys the window routes
// here (only keys that must not be typed), which the modes turn into edits and commands.
#include "editor/EditorView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTextBlock>
#include <utility>

namespace {

void setLabel(QLabel* label, const std::string& text, const QColor& color) {
    label->setText(qs(text));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

} // namespace

// What the modes see of the text view.
class EditorView::ModeView final : public ModeDocument {
public:
    explicit ModeView(const EditorView& view) : view_(view) {}
    int caret() const override { return view_.caret(); }
    int length() const override { return view_.textView_->document()->characterCount() - 1; }
    ModeLine lineAt(int position) const override { return view_.lineAt(position); }
    QString textIn(int from, int length) const override {
        QTextCursor cursor(view_.textView_->document());
        cursor.setPosition(from);
        cursor.setPosition(from + length, QTextCursor::KeepAnchor);
        // The cursor's selection spells line breaks as paragraph separators.
        return cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n');
    }

private:
    const EditorView& view_;
};

void EditorView::setInputMode(EditorInputMode mode) {
    inputMode_ = mode;
    switch (mode) {
    case EditorInputMode::normal:
        modeBar_->hide();
        textView_->setReadOnly(false);
        break;
    case EditorInputMode::nano:
        setLabel(modeBarLabel_, Loc::nanoModeBar(), QColor::fromRgbF(0.5f, 0.85f, 0.5f));
        modeBar_->show();
        textView_->setReadOnly(false);
        break;
    case EditorInputMode::vim:
        modeBar_->show();
        setVimMode(VimSubMode::normal);
        break;
    }
    modeBar_->raise();
    layoutChildren();
}

void EditorView::setVimMode(VimSubMode mode) {
    vim_.setSubMode(mode);
    if (!isLoading()) textView_->setReadOnly(false);
    updateVimModeBar();
}

void EditorView::updateVimModeBar() {
    if (inputMode_ != EditorInputMode::vim) return;
    if (vim_.subMode() == VimSubMode::normal)
        setLabel(modeBarLabel_, Loc::vimNormal(), QColor::fromRgbF(0.4f, 0.7f, 1.0f));
    else
        setLabel(modeBarLabel_, Loc::vimInsert(), QColor::fromRgbF(0.4f, 0.9f, 0.5f));
}

void EditorView::cutCurrentLine() {
    applyModeResult(nano_.cutCurrentLine(ModeView(*this)));
}

bool EditorView::eventFilter(QObject* watched, QEvent* event) {
    // nano gathers cuts only while nothing else happens between them: a key that reaches the text
    // (a modifier pressed for the next ^K aside) or a click ends the run.
    if (watched == textView_ || watched == textView_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) nano_.breakCutRun();
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const bool modifierOnly = key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt ||
                                      key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_Super_L ||
                                      key == Qt::Key_Super_R;
            if (!modifierOnly) nano_.breakCutRun();
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool EditorView::handleModeKey(const QKeyEvent* event) {
    const ModeKey key{event->text(), event->key(), event->modifiers()};
    switch (inputMode_) {
    case EditorInputMode::vim:
        return applyModeResult(vim_.handleKey(key, ModeView(*this)));
    case EditorInputMode::nano:
        return applyModeResult(nano_.handleKey(key, ModeView(*this)));
    case EditorInputMode::normal:
        break;
    }
    return false;
}

bool EditorView::applyModeResult(const ModeResult& result) {
    for (const ModeEdit& edit : result.edits) replaceRange(edit.from, edit.length, edit.text);
    if (result.caret) moveCaret(*result.caret);
    switch (result.motion) {
    case ModeResult::Motion::left:
        textView_->moveCursor(QTextCursor::Left);
        break;
    case ModeResult::Motion::right:
        textView_->moveCursor(QTextCursor::Right);
        break;
    case ModeResult::Motion::up:
        textView_->moveCursor(QTextCursor::Up);
        break;
    case ModeResult::Motion::down:
        textView_->moveCursor(QTextCursor::Down);
        break;
    case ModeResult::Motion::none:
        break;
    }
    updateVimModeBar();
    // Saving may ask for a name or a question and closing lets this view go: nothing of it is
    // touched after, and a close that waits for a save happens only once the file is written.
    const QPointer<EditorView> self(this);
    const auto close = [self] {
        if (self && self->onCloseRequested) self->onCloseRequested();
    };
    const auto save = [self, close](bool thenClose) {
        if (!self || !self->onSaveRequested) return;
        self->colonWrite_ = ColonWrite::running;
        self->closeWhenWritten_ = thenClose;
        self->onSaveRequested([self, close](bool saved) {
            if (!self) return;
            self->colonWrite_ = saved ? ColonWrite::written : ColonWrite::none;
            if (saved && std::exchange(self->closeWhenWritten_, false)) close();
            self->closeWhenWritten_ = false;
        });
    };
    switch (result.command) {
    case ModeResult::Command::save:
        save(false);
        break;
    case ModeResult::Command::close:
        close();
        break;
    case ModeResult::Command::saveThenClose:
        save(true);
        break;
    case ModeResult::Command::closeAfterSave:
        if (colonWrite_ == ColonWrite::written)
            close();
        else if (colonWrite_ == ColonWrite::running)
            closeWhenWritten_ = true;
        break;
    case ModeResult::Command::copyToClipboard: {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(result.clipboardText);
        break;
    }
    case ModeResult::Command::none:
        break;
    }
    return result.consumed;
}
