#include "palette/ChangelogRenderer.h"

#include <gtest/gtest.h>

using namespace changelog;
using S = LineStyle;

namespace {

std::string show(const std::vector<StyledLine>& lines) {
    std::string out;
    for (const StyledLine& l : lines)
        out += std::to_string(int(l.style)) + " |" + l.text.toStdString() + "|\n";
    return out;
}

void expectLines(const QString& markdown, const std::vector<StyledLine>& expected) {
    const std::vector<StyledLine> got = renderMarkdown(markdown);
    EXPECT_EQ(got, expected) << "got:\n" << show(got) << "expected:\n" << show(expected);
}

const QString kJoin = QStringLiteral("  \u2502  ");

} // namespace

TEST(ChangelogRenderer, HeadingsListsQuotesAndAlerts) {
    expectLines(QStringLiteral("# Title **bold**\n## Version 1.0\n### Added\n- item `code`\n* star\n---\n"
                               "> [!NOTE]\n> first\n> second\n\n> plain quote\nplain :rocket: :nope:\n"
                               "\u251C\u2500 tree\n*emphasis*"),
                {{"Title bold", S::title},
                 {"", S::normal},
                 {"VERSION 1.0", S::heading},
                 {"", S::normal},
                 {"Added", S::subheading},
                 {"  \u2022 item code", S::listItem},
                 {"  \u2022 star", S::listItem},
                 {QString(45, QChar(0x2500)), S::separator},
                 {"  first", S::alertNote},
                 {"  second", S::alertNote},
                 {"", S::normal},
                 {"  plain quote", S::bold},
                 {"plain " + QString::fromUcs4(U"\U0001F680") + " ", S::normal},
                 {"  \u251C\u2500 tree", S::tree},
                 {"emphasis", S::normal}});
}

TEST(ChangelogRenderer, MarkdownAndHTMLTables) {
    expectLines(QStringLiteral("| Name | Value |\n|---|:--:|\n| one | two |\nafter"),
                {{"", S::normal},
                 {"  Name" + kJoin + "Value", S::subheading},
                 {"  " + QString(16, QChar(0x2500)), S::separator},
                 {"  one " + kJoin + "two", S::tableRow},
                 {"", S::normal},
                 {"after", S::normal}});
    // Single-character columns are dropped; a table of nothing else produces nothing at all.
    expectLines(QStringLiteral("| a | b |\n| c | d |"), {});
    expectLines(QStringLiteral("| Key | ok |\n| Ctrl | \u2705 |"),
                {{"", S::normal},
                 {"  Key", S::subheading},
                 {"  " + QString(6, QChar(0x2500)), S::separator},
                 {"  Ctrl", S::tableRow},
                 {"", S::normal}});
    expectLines(QStringLiteral("<table>\n<tr>\n<th>Shortcut</th>\n<th>Action</th>\n</tr>\n<tr>\n"
                               "<td><kbd>Ctrl</kbd></td>\n<td>Open the palette</td>\n</tr>\n"
                               "<tr><td>one line</td><td>dropped</td></tr>\n</table>"),
                {{"", S::normal},
                 {"  Shortcut" + kJoin + "Action", S::subheading},
                 {"  " + QString(13 + 16 + 2, QChar(0x2500)), S::separator},
                 {"  [Ctrl]  " + kJoin + "Open the palette", S::tableRow},
                 {"", S::normal}});
}

TEST(ChangelogRenderer, BadgesCodeHTMLAndCarriageReturns) {
    expectLines(
        QStringLiteral("![v](https://img.shields.io/badge/version-1.0.0-blue) "
                       "![l](https://img.shields.io/badge/license-MIT%2BX-green?style=flat)\n"
                       "![shot](pic.png)\n"
                       "```\n  <b>kept</b>\n<details>\n```\n<summary>More <b>here</b></summary>\n<br>\n"
                       "<div align=center>\nline\r\n\r"),
        {{"version: 1.0.0  \u2022  license: MIT+X", S::badge},
         {"    <b>kept</b>", S::code},
         {"", S::normal},
         {"\u25BC More here", S::subheading},
         {"line\r", S::normal},
         {"\r", S::normal}});
}

TEST(ChangelogRenderer, InlineCleanUpEndsOnStrayKeyboardTags) {
    const std::vector<std::pair<QString, QString>> cases{
        {"<kbd>Ctrl</kbd>+<kbd>C</kbd>", "[Ctrl]+[C]"}, {"</kbd> <kbd>x", " x"},
        {"a </kbd></kbd> <kbd>b</kbd>", "a  [b]"},      {"**bold** and __under__", "bold and under"},
        {":gear: :unknown_code:", "\u2699\uFE0F "},
    };
    for (const auto& [input, output] : cases) EXPECT_EQ(cleanInline(input), output) << input.toStdString();
    EXPECT_EQ(displayWidth(QStringLiteral("a\u2705\uFE0F\u6F22")), 1 + 2 + 2 + 2);
    EXPECT_EQ(parseHTMLTableCells(QStringLiteral(" <td>a</td> <th>b</th> <td>open")),
              (QStringList{"a", "open"}))
        << "a <td> is looked for before a <th>";
}
