#pragma once

#include <QString>
#include <QUrl>
#include <vector>

// A way of printing the tab on show.
struct PrintAction {
    enum class Kind { renderedHTML, sourceCode, terminal };
    Kind kind = Kind::sourceCode;
    QUrl url; // renderedHTML: the document's file, against which its relative references resolve
    bool operator==(const PrintAction&) const = default;
};

struct PrintOption {
    QString label;
    PrintAction action;
};

// The choices for a tab: a terminal tab prints its screen; an editor tab its source and, for a
// previewable file (by the lowercased extension `ext`), first its rendered page.
std::vector<PrintOption> buildPrintOptions(bool isEditor, const QString& ext, const QUrl& url);
