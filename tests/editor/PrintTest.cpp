// Printing: the choices per tab, the print panel, and real PDFs of a source, a rendered page and
// a terminal screen, read back with pdftotext.
#include "CommandsTestHost.h"
#include "chrome/BaseHoverButton.h"
#include "chrome/ChromeAnimation.h"
#include "editor/EditorCommands.h"
#include "editor/PrintModal.h"
#include "support/Artifacts.h"
#include "support/Waits.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

using editortest::CommandsHost;

namespace {

QStringList labels(const std::vector<PrintOption>& options) {
    QStringList out;
    for (const PrintOption& o : options) out << o.label;
    return out;
}

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000)) return QStringLiteral("(pdftotext did not finish)");
    return QString::fromUtf8(p.readAllStandardOutput());
}

class Printing : public testing::Test {
protected:
    CommandsHost host;
    EditorCommands commands{host};
    QTemporaryDir dir;
    QString pdf = dir.filePath("out.pdf");
    int prints = 0;

    void SetUp() override {
        commands.choosePrinter = [this](QPrinter& printer, QWidget*) {
            ++prints;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
    }
    PrintModal* modal() const { return host.content.findChild<PrintModal*>(); }
};

} // namespace

TEST(PrintChoices, PerTabAndExtension) {
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/tmp/a.md"));
    const struct {
        bool editor;
        const char* ext;
        QStringList expected;
    } cases[] = {
        {false, "md", {"Terminal drucken"}},
        {true, "md", {"Formatiert drucken", "Quellcode drucken"}},
        {true, "mkd", {"Formatiert drucken", "Quellcode drucken"}},
        {true, "htm", {"Vorschau drucken", "Quellcode drucken"}},
        {true, "svg", {"SVG-Grafik drucken", "Quellcode drucken"}},
        {true, "csv", {"Als Tabelle drucken", "Quellcode drucken"}},
        {true, "txt", {"Quellcode drucken"}},
        {true, "", {"Quellcode drucken"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ext);
        const std::vector<PrintOption> options = buildPrintOptions(c.editor, QString::fromLatin1(c.ext), url);
        EXPECT_EQ(labels(options), c.expected);
    }
    const std::vector<PrintOption> md = buildPrintOptions(true, QStringLiteral("md"), url);
    EXPECT_EQ(md[0].action, (PrintAction{PrintAction::Kind::renderedHTML, url}));
    EXPECT_EQ(md[1].action.kind, PrintAction::Kind::sourceCode);
    EXPECT_EQ(buildPrintOptions(false, {}, {})[0].action.kind, PrintAction::Kind::terminal);
}

TEST_F(Printing, ThePanelsGeometryAndItsWayOut) {
    host.addEditor(QStringLiteral("# Notes\n\nSome text to print."), SyntaxLanguage::markdown,
                   dir.filePath("a.md"));
    host.content.show();
    std::vector<PrintAction> chosen;
    int cancelled = 0;
    PrintModal* one = PrintModal::show(
        &host.content, buildPrintOptions(false, {}, {}), [&](const PrintAction& a) { chosen.push_back(a); },
        [&] { ++cancelled; });
    EXPECT_EQ(one->geometry(), host.content.rect());
    EXPECT_EQ(one->panel()->size(), QSize(320, 186));
    EXPECT_EQ(one->panel()->geometry().center(), host.content.rect().center());
    EXPECT_EQ(one->optionButtons()[0]->geometry(), QRect(20, 94, 280, 36));
    EXPECT_EQ(one->cancelButton()->geometry(), QRect(20, 138, 280, 28));

    // The backdrop swallows clicks; only the buttons close the panel.
    QTest::mouseClick(one, Qt::LeftButton, {}, QPoint(5, 5));
    testsupport::drainEvents();
    EXPECT_EQ(modal(), one);
    QPointer<PrintModal> gone = one;
    QTest::mouseClick(one->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancelled, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gone; }, 5000));

    // Releasing outside a pressed button selects nothing; a click selects and the panel goes first.
    commands.printCurrentTab();
    PrintModal* two = modal();
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->panel()->size(), QSize(320, 230));
    ASSERT_TRUE(QTest::qWaitFor([&] { return chrome::widgetAlpha(two) >= 1.0; }, 5000));
    testsupport::snapshot(&host.content).save(testsupport::artifactsDir() + "/print-modal.png");
    BaseHoverButton* rendered = two->optionButtons()[0];
    QTest::mousePress(rendered, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(rendered, Qt::LeftButton, {}, QPoint(400, 10));
    EXPECT_EQ(prints, 0);
    gone = two;
    commands.choosePrinter = [&](QPrinter&, QWidget*) {
        EXPECT_TRUE(!gone || !gone->isVisible());
        ++prints;
        return false;
    };
    QTest::mouseClick(rendered, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return prints == 1; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gone; }, 5000));
}

TEST_F(Printing, SourceRenderedPageAndTerminalToPdf) {
    EditorView* view = host.addEditor(QStringLiteral("def hello():\n    return 42\n"), SyntaxLanguage::python,
                                      dir.filePath("hello.py"));
    commands.executePrintAction({PrintAction::Kind::sourceCode, {}});
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("return 42")));

    // The rendered page of the text as it stands, not as saved.
    host.addEditor(QStringLiteral("# Heading\n\nSome **bold** words & <tags>.\n"), SyntaxLanguage::markdown,
                   dir.filePath("notes.md"));
    host.editorView(1)->textView()->moveCursor(QTextCursor::End);
    host.editorView(1)->textView()->insertPlainText(QStringLiteral("\nUnsaved line.\n"));
    commands.executePrintAction({PrintAction::Kind::renderedHTML, host.editorURL(1)});
    const QString page = pdfText(pdf);
    EXPECT_TRUE(page.contains(QStringLiteral("Heading")));
    EXPECT_TRUE(page.contains(QStringLiteral("Some bold words & <tags>.")));
    EXPECT_TRUE(page.contains(QStringLiteral("Unsaved line.")));
    EXPECT_FALSE(page.contains(QStringLiteral("**")));

    host.addTerminal(
        {QStringLiteral("$ echo <b>hi</b>"), QStringLiteral("<b>hi</b>  "), QStringLiteral("$")});
    commands.executePrintAction({PrintAction::Kind::terminal, {}});
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("$ echo <b>hi</b>")));
    EXPECT_EQ(prints, 3);
    (void)view;
}

TEST_F(Printing, PreviewTogglesOnlyForPreviewableFiles) {
    host.addEditor(QStringLiteral("plain"), SyntaxLanguage::none);
    EXPECT_FALSE(commands.isTabPreviewable(0));
    commands.togglePreview();
    EXPECT_FALSE(host.tabs[0].preview);
    EXPECT_FALSE(commands.isTabPreviewable(-1));
    EXPECT_FALSE(commands.isTabPreviewable(7));

    EditorView* md =
        host.addEditor(QStringLiteral("# Title"), SyntaxLanguage::markdown, dir.filePath("README.MD"));
    EXPECT_TRUE(commands.isTabPreviewable(1));
    commands.togglePreview();
    EXPECT_TRUE(host.tabs[1].preview);
    EXPECT_TRUE(host.headerPreview);
    EXPECT_TRUE(md->isPreviewActive());
    commands.togglePreview();
    EXPECT_FALSE(host.tabs[1].preview);
    EXPECT_FALSE(host.headerPreview);
    EXPECT_FALSE(md->isPreviewActive());

    // An HTML file's relative image resolves in the file's folder.
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath("dot.png")));
    EditorView* html = host.addEditor(QStringLiteral("<p><img src=\"dot.png\" width=\"8\" height=\"8\"></p>"),
                                      SyntaxLanguage::html, dir.filePath("page.html"));
    commands.togglePreview();
    auto* browser = html->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    const QVariant image =
        browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("dot.png")));
    EXPECT_TRUE(image.isValid() && !image.toByteArray().isEmpty());

    EditorView* svg = host.addEditor(
        QStringLiteral(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"><rect width=\"10\" "
            "height=\"10\" fill=\"red\"/></svg>"),
        SyntaxLanguage::xml, dir.filePath("dot.svg"));
    commands.togglePreview();
    EXPECT_TRUE(svg->isPreviewActive());
    EXPECT_FALSE(svg->textView()->isVisibleTo(svg));
}
