#include "editor/PrintChoices.h"

#include "editor/PreviewPages.h"

std::vector<PrintOption> buildPrintOptions(bool isEditor, const QString& ext, const QUrl& url) {
    using Kind = PrintAction::Kind;
    if (!isEditor) return {{QStringLiteral("Terminal drucken"), {Kind::terminal, {}}}};
    const PrintOption source{QStringLiteral("Quellcode drucken"), {Kind::sourceCode, {}}};
    QString rendered;
    switch (previewpages::kindForExtension(ext)) {
    case previewpages::Kind::markdown:
        rendered = QStringLiteral("Formatiert drucken");
        break;
    case previewpages::Kind::html:
        rendered = QStringLiteral("Vorschau drucken");
        break;
    case previewpages::Kind::svg:
        rendered = QStringLiteral("SVG-Grafik drucken");
        break;
    case previewpages::Kind::csv:
        rendered = QStringLiteral("Als Tabelle drucken");
        break;
    case previewpages::Kind::none:
        return {source};
    }
    return {{rendered, {Kind::renderedHTML, url}}, source};
}
