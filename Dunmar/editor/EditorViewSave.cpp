// Writing an editor's text back to its file without losing anything on the way: the questions
// before a save that would overwrite another program's changes or could not spell the text in the
// file's encoding, and the question when a tab comes back on show over a file changed meanwhile.
#include "chrome/AlertSheetView.h"
#include "editor/DiskStamp.h"
#include "editor/EditorView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/AtomicFile.h"

#include <QFileInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

namespace {

QString nameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

bool EditorView::isAsking() const {
    return question_ && !question_->isDismissing();
}

QWidget* EditorView::questionHost() {
    // Over the window's content, as the other questions about a tab are.
    return parentWidget() ? parentWidget() : this;
}

void EditorView::tell(const QString& notice) {
    // Later, so that an owner that wires the callback after the load has begun still hears it.
    const QPointer<EditorView> self(this);
    QTimer::singleShot(0, this, [self, notice] {
        if (self && self->onNotice) self->onNotice(notice);
    });
}

void EditorView::noteRead(const QString& path, std::optional<diskstamp::Stamp> before,
                          const textfile::Decoded& decoded) {
    diskPath_ = QFileInfo(path).absoluteFilePath();
    diskStamp_ = std::move(before);
    if (diskStamp_) diskStamp_->digest = decoded.digest;
    acknowledged_.reset();
    if (decoded.latin1)
        tell(QStringLiteral("„%1“ ist kein gültiges UTF-8 und wurde als ISO Latin-1 geöffnet. Gespeichert "
                            "wird wieder in ISO Latin-1.")
                 .arg(nameOf(path)));
}

bool EditorView::saveFile(const QString& path, QString* error) {
    textfile::FileFormat format = fileFormat_;
    const std::optional<QByteArray> bytes = textfile::encode(text(), format);
    if (!bytes) {
        if (error) *error = QStringLiteral("Der Text enthält Zeichen, die ISO Latin-1 nicht darstellen kann.");
        return false;
    }
    if (!atomicfile::write(path, *bytes, error)) return false;
    fileFormat_ = format;
    diskPath_ = QFileInfo(path).absoluteFilePath();
    diskStamp_ = diskstamp::take(diskPath_, diskstamp::digestOf(*bytes));
    acknowledged_.reset();
    textView_->document()->setModified(false);
    return true;
}

void EditorView::save(const QString& path, SaveDone done) {
    // Half a file must never be written over the whole one.
    if (isLoading()) {
        done(SaveResult::failed, QStringLiteral("Die Datei wird noch geladen."));
        return;
    }
    if (isAsking()) {
        question_->bringForward();
        done(SaveResult::cancelled, QString());
        return;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (diskStamp_ && absolute == diskPath_ &&
        diskstamp::compare(absolute, *diskStamp_) == diskstamp::Change::changed) {
        askBeforeOverwriting(path, std::move(done));
        return;
    }
    saveInItsEncoding(path, std::move(done));
}

void EditorView::askBeforeOverwriting(const QString& path, SaveDone done) {
    const QPointer<EditorView> self(this);
    auto finish = std::make_shared<SaveDone>(std::move(done));
    // Both other answers throw one version away: only a deliberate click or Tab choice does that.
    question_ = AlertSheetView::show(
        questionHost(), QStringLiteral("Datei auf der Festplatte geändert"),
        QStringLiteral("Ein anderes Programm hat „%1“ geändert.").arg(nameOf(path)),
        {{qs(Loc::cancel()), true, [finish] { (*finish)(SaveResult::cancelled, QString()); }, true, true},
         {QStringLiteral("Neu laden"), false,
          [self, path, finish] {
              if (self) self->reloadFromDisk(path, *finish);
          }},
         {QStringLiteral("Überschreiben"), false, [self, path, finish] {
              if (self) self->saveInItsEncoding(path, *finish);
          }}});
}

void EditorView::saveInItsEncoding(const QString& path, SaveDone done) {
    if (textfile::canHold(text(), fileFormat_.encoding)) {
        write(path, std::move(done));
        return;
    }
    const QPointer<EditorView> self(this);
    auto finish = std::make_shared<SaveDone>(std::move(done));
    question_ = AlertSheetView::show(
        questionHost(), QStringLiteral("Zeichen außerhalb von ISO Latin-1"),
        QStringLiteral("„%1“ wurde als ISO Latin-1 gelesen.").arg(nameOf(path)),
        {{qs(Loc::cancel()), false, [finish] { (*finish)(SaveResult::cancelled, QString()); }, false, true},
         {QStringLiteral("Als UTF-8 speichern"), true, [self, path, finish] {
              if (!self) return;
              self->convertToUtf8();
              self->write(path, *finish);
          },
          true}});
}

void EditorView::write(const QString& path, const SaveDone& done) {
    QString error;
    if (saveFile(path, &error))
        done(SaveResult::saved, QString());
    else
        done(SaveResult::failed, error);
}

void EditorView::reloadFromDisk(const QString& path, const SaveDone& done) {
    QString error;
    const bool started = loadFile(path, &error, [done](bool loaded, const QString& why) {
        done(loaded ? SaveResult::reloaded : SaveResult::failed, why);
    });
    if (!started)
        done(SaveResult::failed, error);
    else if (!isLoading())
        done(SaveResult::reloaded, QString());
}

void EditorView::convertToUtf8() {
    const QString before = text();
    const QString after = textfile::reinterpretAsUtf8(before);
    fileFormat_.encoding = textfile::Encoding::utf8;
    if (after == before) return;
    const int caretBefore = textView_->textCursor().position();
    const int scroll = textView_->verticalScrollBar()->value();
    // No undo leads back to the misread text: written as UTF-8 it would be encoded twice.
    textView_->setPlainText(after);
    textView_->document()->setModified(true);
    QTextCursor cursor(textView_->document());
    cursor.setPosition(std::min<int>(int(textfile::reinterpretAsUtf8(before.left(caretBefore)).size()),
                                     textView_->document()->characterCount() - 1));
    textView_->setTextCursor(cursor);
    textView_->verticalScrollBar()->setValue(scroll);
}

void EditorView::checkDiskOnShow() {
    if (!diskStamp_ || isLoading() || isAsking() || !isVisible()) return;
    if (diskstamp::compare(diskPath_, *diskStamp_) != diskstamp::Change::changed) return;
    // Once the user has kept the text over a version of the file, that version is not asked about
    // again; the next save still asks before it overwrites it.
    if (acknowledged_ && diskstamp::compare(diskPath_, *acknowledged_) == diskstamp::Change::same) return;
    const std::optional<diskstamp::Stamp> seen = diskstamp::takeWithContent(diskPath_);
    const QPointer<EditorView> self(this);
    const QString path = diskPath_;
    // With nothing unsaved, reloading loses nothing and is the answer Return gives.
    const bool dirty = isDirty();
    question_ = AlertSheetView::show(
        questionHost(), QStringLiteral("Datei auf der Festplatte geändert"),
        dirty ? QStringLiteral("Neu laden verwirft die ungesicherten Änderungen.")
              : QStringLiteral("Ein anderes Programm hat „%1“ geändert.").arg(nameOf(path)),
        {{QStringLiteral("Behalten"), dirty,
          [self, seen] {
              if (self) self->acknowledged_ = seen;
          },
          dirty, true},
         {QStringLiteral("Neu laden"), !dirty, [self, path] {
              if (self) self->reloadFromDisk(path, [](SaveResult, const QString&) {});
          },
          !dirty}});
}
