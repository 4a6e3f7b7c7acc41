#include "editor/EditorCommands.h"

#include "editor/EditorCommandsHost.h"
#include "editor/EditorTextView.h"
#include "editor/EditorView.h"
#include "editor/Formatters.h"
#include "editor/JsonReindent.h"
#include "editor/MarkdownToHtml.h"
#include "editor/PreviewPages.h"
#include "editor/PrintModal.h"
#include "editor/SyntaxTextStorage.h"
#include "platform/DialogFocus.h"
#include "theme/ThemeColors.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSvgRenderer>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString kToastBadge = QStringLiteral("FORMAT");
// Shared with the updater's toasts: one replaces the other.
const QString kToastId = QStringLiteral("updateToast");
const QColor kGrey = QColor::fromRgbF(0.35f, 0.35f, 0.35f);
const QColor kRed = QColor::fromRgbF(0.6f, 0.2f, 0.18f);
const QColor kGreen = QColor::fromRgbF(0.18f, 0.55f, 0.34f);

QString extensionOf(const QUrl& url) {
    return url.isEmpty() ? QString() : QFileInfo(url.path()).suffix().toLower();
}

} // namespace

EditorCommands::EditorCommands(EditorCommandsHost& host, QObject* parent)
    : QObject(parent), searchDirs(formatters::defaultSearchDirs()), host_(host) {
    choosePrinter = [](QPrinter& printer, QWidget* parent) {
        const KeyboardReturn keyboardReturn(parent);
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
}

EditorCommands::~EditorCommands() = default;

bool EditorCommands::isDark() const {
    const ColorRGBA& bg = kTerminalBackground;
    return previewpages::isDarkBackground(
        QColor::fromRgbF(float(bg.r), float(bg.g), float(bg.b), float(bg.a)));
}

void EditorCommands::toast(const QString& text, const QColor& color, double seconds) {
    host_.showToast(kToastBadge, text, color, seconds, kToastId);
}

// ---- Previews ---------------------------------------------------------------------------------------

bool EditorCommands::isTabPreviewable(int index) const {
    if (index < 0 || index >= host_.tabCount()) return false;
    const QUrl url = host_.editorURL(index);
    return !url.isEmpty() && previewpages::isPreviewableExtension(extensionOf(url));
}

std::optional<QString> EditorCommands::buildPreviewHTML(int index) const {
    EditorView* view = host_.editorView(index);
    if (!view) return std::nullopt;
    const QString text = view->text();
    switch (previewpages::kindForExtension(extensionOf(host_.editorURL(index)))) {
    case previewpages::Kind::html:
    case previewpages::Kind::svg:
        return text;
    case previewpages::Kind::markdown:
        return markdownToHTML(text, isDark());
    case previewpages::Kind::csv:
        return previewpages::csvToHTML(text, isDark());
    case previewpages::Kind::none:
        return std::nullopt;
    }
    return std::nullopt;
}

void EditorCommands::togglePreview() {
    const int t = host_.activeTab();
    if (!host_.isEditorTab(t)) return;
    EditorView* view = host_.editorView(t);
    if (!view) return;
    if (host_.isPreviewActive(t)) {
        host_.setPreviewActive(t, false);
        view->hidePreview();
        host_.setHeaderPreviewActive(false);
        return;
    }
    const std::optional<QString> page = buildPreviewHTML(t);
    if (!page) return;
    const QUrl url = host_.editorURL(t);
    const QUrl base = url.isEmpty() ? QUrl() : url.adjusted(QUrl::RemoveFilename);
    host_.setPreviewActive(t, true);
    switch (previewpages::kindForExtension(extensionOf(url))) {
    case previewpages::Kind::svg:
        view->showSvgPreview(page->toUtf8(), isDark());
        break;
    case previewpages::Kind::html:
        view->showPreview(*page, base);
        break;
    default:
        view->showPreview(*page, base, previewpages::pageTextColor(isDark()));
        break;
    }
    host_.setHeaderPreviewActive(true);
}

// ---- Formatting -------------------------------------------------------------------------------------

void EditorCommands::replaceEditorContent(EditorView* view, const QString& text) {
    QTextCursor cursor(view->textView()->document());
    cursor.select(QTextCursor::Document);
    // One edit block: a single undo brings the old text back.
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
}

void EditorCommands::formatCurrentDocument() {
    const int t = host_.activeTab();
    const QPointer<EditorView> view = host_.editorView(t);
    if (!view || !view->syntaxStorage()) {
        toast(QStringLiteral("Kein Editor-Tab aktiv"), kGrey, 6);
        return;
    }
    const SyntaxLanguage language = view->syntaxStorage()->language();
    const QString text = view->text();
    if (language == SyntaxLanguage::json) {
        const std::optional<QString> formatted = reindentJson(text);
        if (!formatted) {
            toast(QStringLiteral("Ungültiges JSON — Formatierung fehlgeschlagen"), kRed, 5);
            return;
        }
        replaceEditorContent(view, *formatted);
        toast(QStringLiteral("JSON formatiert"), kGreen, 2);
        return;
    }
    const std::optional<formatters::Formatter> formatter =
        formatters::externalFormatter(language, extensionOf(host_.editorURL(t)));
    if (!formatter) {
        toast(QStringLiteral("Kein Formatter für ") + syntaxlanguage::rawValue(language), kGrey, 3);
        return;
    }
    const std::optional<QString> tool = formatters::findExecutable(formatter->tool, searchDirs);
    if (!tool) {
        toast(QStringLiteral("Tool nicht gefunden — ") + formatter->hint, kRed, 6);
        return;
    }
    const QPointer<EditorCommands> self(this);
    auto* run = new FormatterProcess(*tool, formatter->args,
                                     formatters::formatterPath(searchDirs, qEnvironmentVariable("PATH")),
                                     formatterTimeLimitMs, this);
    // The result replaces the text only while it is still the text that was formatted: what the
    // user typed meanwhile is never lost to an older version.
    auto done = [self, view, text, run](FormatterProcess::Result result) {
        run->deleteLater();
        if (!self) return;
        if (!result.ok) {
            self->toast(result.error, kRed, 6);
            return;
        }
        if (!view) return;
        if (view->text() != text) {
            self->toast(QStringLiteral("Text geändert — Formatierung verworfen"), kRed, 6);
            return;
        }
        if (result.text != text) replaceEditorContent(view, result.text);
        self->toast(QStringLiteral("Fertig"), kGreen, 2);
    };
    run->start(text, std::move(done));
}

// ---- Printing ---------------------------------------------------------------------------------------

void EditorCommands::printCurrentTab() {
    const int t = host_.activeTab();
    if (t < 0 || t >= host_.tabCount() || !host_.contentView()) return;
    const bool isEditor = host_.isEditorTab(t);
    const QUrl url = isEditor ? host_.editorURL(t) : QUrl();
    const QPointer<EditorCommands> self(this);
    PrintModal::show(
        host_.contentView(), buildPrintOptions(isEditor, extensionOf(url), url),
        [self](const PrintAction& action) {
            if (self) self->executePrintAction(action);
        },
        [] {});
}

void EditorCommands::print(const std::function<void(QPrinter&)>& render) {
    QPrinter printer(QPrinter::HighResolution);
    QWidget* parent = host_.contentView() ? host_.contentView()->window() : nullptr;
    if (!choosePrinter || !choosePrinter(printer, parent)) return;
    render(printer);
}

void EditorCommands::executePrintAction(const PrintAction& action) {
    const int t = host_.activeTab();
    switch (action.kind) {
    case PrintAction::Kind::renderedHTML: {
        // The page of the text as it stands, unsaved edits included.
        const QString page = buildPreviewHTML(t).value_or(QString());
        if (previewpages::kindForExtension(extensionOf(action.url)) == previewpages::Kind::svg) {
            const QByteArray svg = page.toUtf8();
            print([&svg](QPrinter& printer) {
                QSvgRenderer renderer(svg);
                QPainter painter(&printer);
                if (!renderer.isValid() || !painter.isActive()) return;
                // The drawing keeps its proportions, as large as the page allows.
                const QRectF pageRect = printer.pageRect(QPrinter::DevicePixel)
                                            .translated(-printer.pageRect(QPrinter::DevicePixel).topLeft());
                QSizeF size = renderer.defaultSize();
                if (size.isEmpty()) size = pageRect.size();
                size.scale(pageRect.size(), Qt::KeepAspectRatio);
                renderer.render(&painter, QRectF(pageRect.topLeft(), size));
            });
            return;
        }
        const QUrl base = action.url.isEmpty() ? QUrl() : action.url;
        print([&page, &base](QPrinter& printer) {
            QTextDocument document;
            document.setBaseUrl(base);
            document.setHtml(page);
            document.print(&printer);
        });
        return;
    }
    case PrintAction::Kind::sourceCode: {
        const QPointer<EditorView> view = host_.editorView(t);
        if (!view) return;
        // Printed as shown: the text's font and its highlighting colours.
        print([view](QPrinter& printer) {
            if (view) view->textView()->print(&printer);
        });
        return;
    }
    case PrintAction::Kind::terminal: {
        const QString page = previewpages::terminalPrintHTML(host_.activeTerminalScreen(), isDark());
        print([&page](QPrinter& printer) {
            QTextDocument document;
            document.setHtml(page);
            document.print(&printer);
        });
        return;
    }
    }
}
