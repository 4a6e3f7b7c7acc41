#pragma once

#include "editor/EditorService.h"
#include "editor/FormatterProcess.h"
#include "editor/PrintChoices.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class EditorCommandsHost;
class EditorView;
class QPrinter;

// The editor commands of the header and footer for the tab on show: the preview of HTML,
// Markdown, SVG and CSV files, formatting a document (JSON in-process, others through their
// formatter), and printing a source, a rendered page or a terminal screen.
class EditorCommands : public QObject, public EditorService {
    Q_OBJECT
public:
    explicit EditorCommands(EditorCommandsHost& host, QObject* parent = nullptr);
    ~EditorCommands() override;

    bool isTabPreviewable(int index) const override;
    void togglePreview() override;
    void printCurrentTab() override;
    void formatCurrentDocument() override;

    // The page that the preview of tab `index` shows of its current text (unsaved edits
    // included); none for a tab without a previewable file. An SVG file's page is its own text.
    std::optional<QString> buildPreviewHTML(int index) const;
    // Carries out a choice of the print panel.
    void executePrintAction(const PrintAction& action);

    // Where formatters are looked for and how long one may run.
    QStringList searchDirs;
    int formatterTimeLimitMs = FormatterProcess::kDefaultTimeLimitMs;
    // Sets the printer up for a print (the print dialog unless replaced); false cancels it.
    std::function<bool(QPrinter& printer, QWidget* parent)> choosePrinter;

private:
    bool isDark() const;
    void toast(const QString& text, const QColor& color, double seconds);
    // Replaces the view's text with `text` as one undoable edit.
    static void replaceEditorContent(EditorView* view, const QString& text);
    void print(const std::function<void(QPrinter&)>& render);

    EditorCommandsHost& host_;
};
