// The pages of previews: Markdown and CSV as golden tables, hostile input inert.
#include "editor/PreviewPages.h"

#include "editor/EditorView.h"
#include "editor/MarkdownToHtml.h"
#include "support/Artifacts.h"
#include "support/Waits.h"

#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

const QString kPre = QStringLiteral(
    "<table class=\"pre\" width=\"100%\" cellspacing=\"0\" cellpadding=\"16\"><tr><td><pre><code>");
const QString kPreEnd = QStringLiteral("</code></pre></td></tr></table>\n");

} // namespace

TEST(Markdown, BlocksAsGoldenTable) {
    const struct {
        const char* md;
        QString html;
    } cases[] = {
        {"", ""},
        {"one\ntwo", "<p>one two</p>\n"},
        {"one\n\ntwo", "<p>one</p>\n<p>two</p>\n"},
        {"text\n# Title", "<p>text</p>\n<h1>Title</h1>\n"},
        {"#### four\n##### five\n#word", "<h4>four</h4>\n<p>##### five #word</p>\n"},
        {"  - indented\n  ---", "<p>  - indented</p>\n<hr/>\n"},
        {"* item\n***", "<ul>\n<li>item</li>\n</ul>\n<hr/>\n"},
        {"1. one\n- two", "<ol>\n<li>one</li>\n</ol>\n<ul>\n<li>two</li>\n</ul>\n"},
        {"3. three\n4. four", "<ol>\n<li>three</li>\n<li>four</li>\n</ol>\n"},
        {"- a\ntext", "<ul>\n<li>a</li>\n</ul>\n<p>text</p>\n"},
        {"> quoted\n> again",
         "<table class=\"quote\" width=\"100%\" cellspacing=\"0\" cellpadding=\"10\"><tr><td class=\"bar\" "
         "width=\"4\"></td><td>quoted</td></tr></table>\n<table class=\"quote\" width=\"100%\" "
         "cellspacing=\"0\" "
         "cellpadding=\"10\"><tr><td class=\"bar\" width=\"4\"></td><td>again</td></tr></table>\n"},
        {"```js\n<b>&</b>\n**x**\n```", kPre + "&lt;b&gt;&amp;&lt;/b&gt;\n**x**" + kPreEnd},
        {"text\n```\nopen", "<p>text</p>\n" + kPre + "open" + kPreEnd},
        {"```", kPre + kPreEnd},
        {"a < b & c", "<p>a &lt; b &amp; c</p>\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.md);
        EXPECT_EQ(markdown::body(QString::fromUtf8(c.md)), c.html);
    }
}

TEST(Markdown, InlineRulesAsGoldenTable) {
    const struct {
        const char* md;
        const char* html;
    } cases[] = {
        {"**bold** and *it* and _under_", "<strong>bold</strong> and <em>it</em> and _under_"},
        {"`code *x*` ~~gone~~", "<code>code <em>x</em></code> <del>gone</del>"},
        {"[site](https://example.org/a?b=1&c=2)", "<a href=\"https://example.org/a?b=1&amp;c=2\">site</a>"},
        {"[doc](notes/other.md) [mail](mailto:a@b.c)",
         "<a href=\"notes/other.md\">doc</a> <a href=\"mailto:a@b.c\">mail</a>"},
        // Hostile targets: no scheme but http, https and mailto, and no way out of the attribute.
        {"[x](javascript:alert(1))", "x)"},
        {"[x](\" onmouseover=\"alert(1))", "<a href=\"&quot; onmouseover=&quot;alert(1\">x</a>)"},
        {"[x](file:///etc/passwd) [y](data:text/html,hi)", "x y"},
        {"<img src=x onerror=alert(1)>", "&lt;img src=x onerror=alert(1)&gt;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.md);
        EXPECT_EQ(markdown::inlineHTML(QString::fromUtf8(c.md)), QString::fromUtf8(c.html));
    }
}

TEST(Markdown, PageColoursFollowTheScheme) {
    const QString dark = markdownToHTML(QStringLiteral("# T"), true);
    const QString light = markdownToHTML(QStringLiteral("# T"), false);
    EXPECT_TRUE(dark.contains(QStringLiteral("background:#0d0d10;color:#dde1e7")));
    EXPECT_TRUE(light.contains(QStringLiteral("background:#ffffff;color:#1c1c1e")));
    EXPECT_TRUE(dark.endsWith(QStringLiteral("<body><h1>T</h1>\n</body></html>")));
    EXPECT_TRUE(markdownToHTML(QString(), true).endsWith(QStringLiteral("<body></body></html>")));
}

TEST(CsvPage, GoldenTableAndInertCells) {
    EXPECT_EQ(previewpages::csvToHTML(QStringLiteral(" \n\t\n"), true), "<p>Empty CSV</p>");
    const auto table = [](const QString& csv) {
        const QString page = previewpages::csvToHTML(csv, false);
        return page.mid(page.indexOf(QStringLiteral("<table")));
    };
    EXPECT_EQ(table(QStringLiteral("a, b\n")),
              "<table width=\"100%\" cellspacing=\"0\"><thead><tr><th>a</th><th>b</th></tr></thead><tbody>"
              "</tbody></table></body></html>");
    EXPECT_EQ(table(QStringLiteral("h\n\n1,\"x,y\"\n  \n2\n3")),
              "<table width=\"100%\" cellspacing=\"0\"><thead><tr><th>h</th></tr></thead><tbody>"
              "<tr class=\"e\"><td>1</td><td>\"x</td><td>y\"</td></tr><tr class=\"o\"><td>2</td></tr>"
              "<tr class=\"e\"><td>3</td></tr></tbody></table></body></html>");
    EXPECT_EQ(table(QStringLiteral("<img src=x onerror=alert(1)>,a&b")),
              "<table width=\"100%\" cellspacing=\"0\"><thead><tr><th>&lt;img src=x onerror=alert(1)&gt;</th>"
              "<th>a&amp;b</th></tr></thead><tbody></tbody></table></body></html>");
    EXPECT_TRUE(
        previewpages::csvToHTML(QStringLiteral("a"), true).contains(QStringLiteral("background:#0d0d10")));
}

TEST(PreviewPages, ExtensionsAndScheme) {
    for (const char* ext : {"html", "HTM", "md", "MD", "markdown", "mdown", "mkd", "svg", "csv"})
        EXPECT_TRUE(previewpages::isPreviewableExtension(QString::fromLatin1(ext))) << ext;
    for (const char* ext : {"txt", "", "json", "xhtml"})
        EXPECT_FALSE(previewpages::isPreviewableExtension(QString::fromLatin1(ext))) << ext;
    EXPECT_TRUE(previewpages::isDarkBackground(QColor(20, 20, 28)));
    EXPECT_TRUE(previewpages::isDarkBackground(QColor()));
    EXPECT_FALSE(previewpages::isDarkBackground(QColor(250, 250, 250)));
}

TEST(PreviewPages, ArtifactScreenshots) {
    const QString md = QStringLiteral(
        "# Release notes\n\nThe **preview** shows *Markdown* with `inline code`, ~~old~~ text and "
        "[links](https://example.org).\n\n## Lists\n\n- first item\n- second item\n\n1. one\n2. two\n\n"
        "> A quoted line.\n\n```\nint main() {\n    return 0;\n}\n```\n\n---\n\nThe end.\n");
    const QString csv = QStringLiteral("name,size,kind\nalpha,12,file\nbeta,7,folder\ngamma,3,<link>\n");
    for (const bool dark : {true, false}) {
        EditorView view;
        view.resize(640, 560);
        view.showPreview(markdownToHTML(md, dark), {}, previewpages::pageTextColor(dark));
        view.show();
        testsupport::drainEvents();
        testsupport::snapshot(&view).save(
            testsupport::artifactsDir() +
            (dark ? "/preview-markdown-dark.png" : "/preview-markdown-light.png"));
        view.showPreview(previewpages::csvToHTML(csv, dark), {}, previewpages::pageTextColor(dark));
        testsupport::drainEvents();
        testsupport::snapshot(&view).save(testsupport::artifactsDir() +
                                          (dark ? "/preview-csv-dark.png" : "/preview-csv-light.png"));
    }
}
