#include "editor/EditorView.h"

#include "chrome/ChromeStyle.h"
#include "editor/EditorAlertOverlay.h"
#include "editor/FindReplaceBar.h"
#include "editor/LineGutterView.h"
#include "editor/SyntaxTextStorage.h"
#include "platform/Defaults.h"
#include "platform/RegularFile.h"
#include "theme/ThemeColors.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <utility>

namespace {

// The strip that names the current nano or vim mode: translucent black with a faint line on top.
class ModeBar : public QWidget {
public:
    using QWidget::QWidget;
    qreal alpha = 0.35;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor::fromRgbF(0, 0, 0, static_cast<float>(alpha)));
        p.fillRect(QRect(0, 0, width(), 1), chrome::white(1.0, 0.1));
    }
};

// An SVG drawing on a page: a 16 px margin, the drawing centred at the top with its proportions,
// never larger than it asks to be unless the page is smaller.
class SvgPage : public QWidget {
public:
    SvgPage(const QByteArray& svg, const QColor& background, QWidget* parent)
        : QWidget(parent), renderer_(svg), background_(background) {}
    bool isValid() const { return renderer_.isValid(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), background_);
        if (!renderer_.isValid()) return;
        const QRectF room = QRectF(rect()).adjusted(16, 16, -16, -16);
        QSizeF size = renderer_.defaultSize();
        if (size.isEmpty()) size = room.size();
        if (size.width() > room.width() || size.height() > room.height())
            size.scale(room.size(), Qt::KeepAspectRatio);
        renderer_.render(&p, QRectF(QPointF(room.center().x() - size.width() / 2, room.top()), size));
    }

private:
    QSvgRenderer renderer_;
    QColor background_;
};

QColor fromEngine(const ColorRGBA& c) {
    return QColor::fromRgbF(static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b),
                            static_cast<float>(c.a));
}

} // namespace

EditorView::EditorView(QWidget* parent) : QWidget(parent) {
    textView_ = new EditorTextView(this);
    storage_ = std::make_unique<SyntaxTextStorage>(textView_->document());
    // A colouring pass repaints only for the lines on screen.
    storage_->visibleBlocks = [view = QPointer<EditorTextView>(textView_)] {
        return view ? view->visibleBlockNumbers() : std::pair<int, int>{0, -1};
    };
    textView_->setFont(chrome::monoFont(13));
    textView_->setUndoRedoEnabled(true);
    textView_->useTabs = [] { return Defaults::standard().boolean(QStringLiteral("editorUseTabs")); };
    const QPointer<EditorView> self(this);
    // Text pasted into an empty, uncoloured editor names its language.
    textView_->onPaste = [self](bool wasEmpty) {
        if (!self || !wasEmpty || self->language() != SyntaxLanguage::none) return;
        const SyntaxLanguage detected = syntaxlanguage::detectFromContent(self->text());
        if (detected != SyntaxLanguage::none) self->setLanguage(detected);
    };
    textView_->onFileDropped = [self](const QString& path) {
        if (self && self->onOpenFile) self->onOpenFile(path);
    };
    connect(textView_->document(), &QTextDocument::modificationChanged, this, [self](bool modified) {
        if (self && self->onDirtyChanged) self->onDirtyChanged(modified);
    });

    textView_->installEventFilter(this);
    textView_->viewport()->installEventFilter(this);

    gutter_ = new LineGutterView(this);
    gutter_->setTextView(textView_);

    auto* bar = new ModeBar(this);
    modeBar_ = bar;
    modeBarLabel_ = new QLabel(bar);
    modeBarLabel_->setFont(chrome::monoFont(10, QFont::Medium));
    modeBarLabel_->setAlignment(Qt::AlignCenter);
    modeBar_->hide();

    applyColors(fromEngine(kTerminalBackground), QColor::fromRgbF(0.85f, 0.85f, 0.9f));
    modeBar_->raise();
    layoutChildren();
}

EditorView::~EditorView() {
    if (loadTask_) loadTask_->cancelled = true;
    // The storage's highlighter belongs to the document, which the text view deletes with itself.
    storage_.reset();
}

// ---- Text and file -------------------------------------------------------------------------------

QString EditorView::text() const {
    return SyntaxTextStorage::textOf(textView_->document());
}

void EditorView::setContent(const QString& text) {
    textView_->setPlainText(text);
    textView_->document()->setModified(false);
    // Replacing the whole text clears the modified state without always saying so.
    if (onDirtyChanged) onDirtyChanged(false);
}

bool EditorView::loadFile(const QString& path, QString* error, LoadDone done) {
    if (const std::optional<QString> reason = textfile::refusalReason(path)) {
        if (error) *error = *reason;
        return false;
    }
    const QFileInfo info(path);
    if (info.isFile() && info.size() > textfile::kReadAtOnceLimit) {
        startBackgroundLoad(path, info.size(), std::move(done));
        return true;
    }
    std::optional<diskstamp::Stamp> before = diskstamp::take(path, QByteArray());
    regularfile::Facts facts;
    const std::optional<QByteArray> bytes = regularfile::read(path, error, textfile::kOpenLimit, &facts);
    if (!bytes) {
        if (facts.overLimit && error) *error = textfile::grewPastLimitReason(info.fileName());
        return false;
    }
    // A small file read over a background load under way takes its place.
    if (loadTask_) {
        loadTask_->cancelled = true;
        loadTask_.reset();
        loadDone_ = nullptr;
        stopLoading();
        if (loadingOverlay_) loadingOverlay_->dismissAnimated();
        loadingOverlay_ = nullptr;
    }
    textfile::Decoded decoded = textfile::decode(*bytes);
    fileFormat_ = decoded.format;
    setContent(decoded.text);
    noteRead(path, std::move(before), decoded);
    return true;
}

void EditorView::startBackgroundLoad(const QString& path, qint64 size, LoadDone done) {
    if (loadTask_) {
        // The load it replaces ends without a word: its caller has moved on.
        loadTask_->cancelled = true;
        loadDone_ = nullptr;
        stopLoading();
    } else {
        textBeforeLoad_ = text();
        dirtyBeforeLoad_ = isDirty();
    }
    loadTask_ = FileLoadTask::create();
    loadDone_ = std::move(done);
    if (loadingOverlay_) loadingOverlay_->dismissAnimated();
    const QPointer<EditorView> self(this);
    const std::weak_ptr<FileLoadTask> task = loadTask_;
    loadingOverlay_ = EditorAlertOverlay::loading(
        QFileInfo(path).fileName(), size,
        [self, task] {
            // Only the load this panel was shown for may be cancelled by it.
            if (!self || !self->loadTask_ || task.lock() != self->loadTask_) return;
            self->endLoad(false, QString());
        },
        this);
    loadingOverlay_->setGeometry(rect());
    loadingOverlay_->show();
    loadingOverlay_->raise();
    textView_->setReadOnly(true);
    const QPointer<EditorAlertOverlay> overlay = loadingOverlay_;
    // Taken before the read: a write while it runs shows as a change.
    const std::optional<diskstamp::Stamp> before = diskstamp::take(path, QByteArray());
    loadTask_->load(
        path, size, this,
        [overlay](double fraction) {
            if (overlay) overlay->updateProgress(fraction);
        },
        [self, task, path, before](std::optional<textfile::Decoded> decoded) {
            // A newer load, or a cancel, has taken over.
            const std::shared_ptr<FileLoadTask> current = task.lock();
            if (!self || !current || current != self->loadTask_ || current->cancelled) return;
            // Text that arrives while the panel fades out after a cancel is not wanted any more.
            if (self->loadingOverlay_ && self->loadingOverlay_->isDismissing()) return;
            if (!decoded) {
                const QString name = QFileInfo(path).fileName();
                self->endLoad(false, current->overLimit
                                         ? textfile::grewPastLimitReason(name)
                                         : QStringLiteral("\"%1\" konnte nicht gelesen werden.").arg(name));
                return;
            }
            const textfile::FileFormat format = decoded->format;
            auto read = std::make_shared<textfile::Decoded>(std::move(*decoded));
            self->setContent(QString());
            // Loading is no edit to undo.
            self->textView_->setUndoRedoEnabled(false);
            auto text = std::make_shared<const QString>(std::exchange(read->text, QString()));
            self->insertInSlices(text, 0, self->loadGeneration_, [self, format, path, before, read] {
                if (!self) return;
                self->textView_->setUndoRedoEnabled(true);
                self->fileFormat_ = format;
                self->noteRead(path, before, *read);
                self->endLoad(true, QString());
            });
        });
}

void EditorView::endLoad(bool loaded, const QString& error) {
    if (loadTask_) loadTask_->cancelled = !loaded;
    loadTask_.reset();
    stopLoading();
    if (loadingOverlay_ && !loadingOverlay_->isDismissing()) loadingOverlay_->dismissAnimated();
    loadingOverlay_ = nullptr;
    if (loaded) {
        textView_->document()->setModified(false);
    } else {
        // What the tab showed before stays: a failed or cancelled load must leave nothing that a
        // save could write over the file.
        setContent(textBeforeLoad_);
        textView_->document()->setModified(dirtyBeforeLoad_);
        if (onDirtyChanged) onDirtyChanged(dirtyBeforeLoad_);
    }
    textBeforeLoad_.clear();
    if (LoadDone done = std::exchange(loadDone_, nullptr)) done(loaded, error);
}

void EditorView::stopLoading() {
    const bool slicing = !textView_->isUndoRedoEnabled();
    ++loadGeneration_;
    if (slicing) textView_->setUndoRedoEnabled(true);
    textView_->setReadOnly(false);
}

void EditorView::insertInSlices(std::shared_ptr<const QString> text, qsizetype from, quint64 generation,
                                std::function<void()> done) {
    if (generation != loadGeneration_) return;
    // The user cancelled: the panel fades out and its cancel puts the earlier text back.
    if (loadingOverlay_ && loadingOverlay_->isDismissing()) return;
    constexpr qsizetype kSlice = 64 * 1024;
    qsizetype end = std::min(from + kSlice, text->size());
    // Cut after a line break where there is one, so no line is laid out twice.
    if (end < text->size()) {
        const qsizetype lineEnd = text->lastIndexOf(u'\n', end - 1);
        if (lineEnd >= from) end = lineEnd + 1;
    }
    QTextCursor cursor(textView_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringView(*text).mid(from, end - from).toString());
    if (end >= text->size()) {
        QTextCursor start(textView_->document());
        textView_->setTextCursor(start);
        done();
        return;
    }
    const QPointer<EditorView> self(this);
    QTimer::singleShot(0, this, [self, text, end, generation, done = std::move(done)] {
        if (self) self->insertInSlices(text, end, generation, done);
    });
}

bool EditorView::isDirty() const {
    return textView_->document()->isModified();
}

std::function<void()> EditorView::onTextEdited() const {
    return storage_->onTextEdited;
}

void EditorView::setOnTextEdited(std::function<void()> callback) {
    storage_->onTextEdited = std::move(callback);
}

// ---- Colours, language, preview -----------------------------------------------------------------

void EditorView::applyColors(const QColor& bg, const QColor& fg) {
    QPalette palette = textView_->palette();
    palette.setColor(QPalette::Base, bg);
    palette.setColor(QPalette::Text, fg);
    textView_->setPalette(palette);
    const bool dark = bg.valueF() < 0.5f;
    static_cast<ModeBar*>(modeBar_)->alpha = dark ? 0.35 : 0.12;
    modeBar_->update();
    storage_->setBaseFG(fg);
    gutter_->applyColors(dark);
}

SyntaxLanguage EditorView::language() const {
    return storage_->language();
}

void EditorView::setLanguage(SyntaxLanguage language) {
    storage_->setLanguage(language);
}

void EditorView::setHighlightDark(bool dark) {
    storage_->setDark(dark);
}

void EditorView::showPreview(const QString& html, const QUrl& baseUrl, const QColor& textColor) {
    delete svgPreview_;
    svgPreview_ = nullptr;
    if (!preview_) {
        preview_ = new QTextBrowser(this);
        preview_->setOpenExternalLinks(true);
        preview_->setFrameShape(QFrame::NoFrame);
        preview_->stackUnder(modeBar_);
    }
    QPalette palette = preview_->palette();
    palette.setColor(QPalette::Text,
                     textColor.isValid() ? textColor : QApplication::palette().color(QPalette::Text));
    preview_->setPalette(palette);
    preview_->document()->setBaseUrl(baseUrl);
    // The browser looks for relative images and style sheets in its search paths, not beside the
    // document's base: the file's folder is the one place to look.
    preview_->setSearchPaths(baseUrl.isLocalFile() ? QStringList{baseUrl.toLocalFile()} : QStringList());
    preview_->setHtml(html);
    preview_->setGeometry(rect());
    preview_->show();
    textView_->hide();
}

void EditorView::showSvgPreview(const QByteArray& svg, bool dark) {
    if (preview_) preview_->hide();
    delete svgPreview_;
    auto* page = new SvgPage(svg, dark ? QColor(0x0d, 0x0d, 0x10) : QColor(0xf0, 0xf0, 0xf0), this);
    svgPreview_ = page;
    page->stackUnder(modeBar_);
    page->setGeometry(rect());
    page->show();
    textView_->hide();
}

void EditorView::hidePreview() {
    if (preview_) preview_->hide();
    delete svgPreview_;
    svgPreview_ = nullptr;
    textView_->show();
}

bool EditorView::isPreviewActive() const {
    return (preview_ && !preview_->isHidden()) || svgPreview_;
}

// ---- Layout ----------------------------------------------------------------------------------

void EditorView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // After the tab switch or the window's showing has finished.
    const QPointer<EditorView> self(this);
    QTimer::singleShot(0, this, [self] {
        if (self) self->checkDiskOnShow();
    });
}

void EditorView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void EditorView::layoutChildren() {
    const int top = modeBar_->isHidden() ? 0 : kModeBarHeight;
    const int findH = findBar_ ? kFindBarHeight : 0;
    const int avail = std::max(height() - top - findH, 0);
    gutter_->setGeometry(0, top + findH, kGutterWidth, avail);
    textView_->setGeometry(kGutterWidth, top + findH, std::max(width() - kGutterWidth, 0), avail);
    modeBar_->setGeometry(0, 0, width(), kModeBarHeight);
    modeBarLabel_->setGeometry(modeBar_->rect());
    if (findBar_) findBar_->setGeometry(0, top, width(), kFindBarHeight);
    if (preview_) preview_->setGeometry(rect());
    if (svgPreview_) svgPreview_->setGeometry(rect());
    if (loadingOverlay_) loadingOverlay_->setGeometry(rect());
}

// ---- Lines -----------------------------------------------------------------------------------

int EditorView::caret() const {
    return textView_->textCursor().position();
}

void EditorView::moveCaret(int position) {
    QTextCursor cursor = textView_->textCursor();
    cursor.setPosition(position);
    textView_->setTextCursor(cursor);
}

ModeLine EditorView::lineAt(int position) const {
    const QTextBlock block = textView_->document()->findBlock(position);
    const bool hasBreak = block.next().isValid();
    return {block.position(), block.length() - (hasBreak ? 0 : 1), hasBreak};
}

void EditorView::replaceRange(int from, int length, const QString& text) {
    QTextCursor cursor = textView_->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(from + length, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    textView_->setTextCursor(cursor);
}
