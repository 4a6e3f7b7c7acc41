// The numbered-choice parser and the reading of a screen's last lines.
#include "BellTestSupport.h"
#include "bell/BellPreviewItem.h"

using namespace belltest;

namespace {

struct LineCase {
    const char* line;
    bool isOption;
    qint64 number;
    const char* label;
    bool marked;
};

} // namespace

// Each line on its own, after a fixed unmarked "1. first" so that two options make a result.
TEST(BellOptionParser, ReadsEachLineAsTheTableSays) {
    const LineCase cases[] = {
        {"❯ 1. Yes", true, 1, "Yes", true},
        {"    2. No", true, 2, "No", false},
        {"> 3) Skip", true, 3, "Skip", true},
        {"> alone", false, 0, "", false},
        {"1.5 apples", true, 1, "5 apples", false},
        {"Choose:", false, 0, "", false},
        // Malformed or borderline lines.
        {"", false, 0, "", false},
        {"   \t ", false, 0, "", false},
        {">", false, 0, "", false},
        {"❯", false, 0, "", false},
        {"12", false, 0, "", false},
        {"12: twelve", false, 0, "", false},
        {"12 . spaced", false, 0, "", false},
        {"a1. letter first", false, 0, "", false},
        {"7)", true, 7, "", false},
        {"  ❯   42)   padded   ", true, 42, "padded", true},
        {">5. no space after the mark", true, 5, "no space after the mark", true},
        {"007. leading zeros", true, 7, "leading zeros", false},
        {"٣. Arabic-Indic digit", false, 0, "", false},
        {"²) superscript", false, 0, "", false},
        {"99999999999999999999. too large", false, 0, "", false},
        {"9223372036854775807. largest", true, 9223372036854775807LL, "largest", false},
        {"\xe3\x80\x80"
         "3. ideographic space",
         true, 3, "ideographic space", false},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        const auto parsed = parseOptions({QStringLiteral("1. first"), QString::fromUtf8(c.line)});
        if (!c.isOption) {
            EXPECT_FALSE(parsed.has_value());
            continue;
        }
        ASSERT_TRUE(parsed.has_value());
        ASSERT_EQ(parsed->options.size(), 2u);
        EXPECT_EQ(parsed->options[1], (BellOption{c.number, QString::fromUtf8(c.label)}));
        EXPECT_EQ(parsed->highlighted, c.marked ? 1 : 0);
    }
}

TEST(BellOptionParser, NeedsTwoChoicesAndKeepsTheLastMarkedOne) {
    EXPECT_FALSE(parseOptions({}).has_value());
    EXPECT_FALSE(parseOptions({"Choose:", "1. only one"}).has_value());

    // The text's example: the question, the marked first answer and the second.
    const auto example = parseOptions({"Choose:", "❯ 1. Yes", "2. No"});
    ASSERT_TRUE(example.has_value());
    EXPECT_EQ(example->options, (std::vector<BellOption>{{1, "Yes"}, {2, "No"}}));
    EXPECT_EQ(example->highlighted, 0);

    // Several marks: the last one wins; a marked line that is no option changes nothing.
    const auto marks = parseOptions({"> 1. a", "2. b", "> 3. c", "> not an option"});
    ASSERT_TRUE(marks.has_value());
    EXPECT_EQ(marks->highlighted, 2);

    // Numbers are taken as written: not from 1, not in order, repeated.
    const auto loose = parseOptions({"5) five", "3) three", "3) again"});
    ASSERT_TRUE(loose.has_value());
    EXPECT_EQ(loose->options, (std::vector<BellOption>{{5, "five"}, {3, "three"}, {3, "again"}}));
}

TEST(BellScreenLines, TakesTheLastNonBlankGridLinesTrimmed) {
    Terminal terminal(20, 5);
    // Scrolled-off text stays in the scrollback and is not read.
    terminal.process("old line\r\n\r\n  first  \r\n\r\n\t second\r\nthird");
    EXPECT_EQ(extractLastLines(terminal, 5), (QStringList{"first", "second", "third"}));
    EXPECT_EQ(extractLastLines(terminal, 2), (QStringList{"second", "third"}));
    EXPECT_TRUE(extractLastLines(terminal, 0).isEmpty());

    for (int i = 0; i < 10; ++i) terminal.process("\r\nrow " + std::to_string(i));
    EXPECT_EQ(extractLastLines(terminal, 5), (QStringList{"row 5", "row 6", "row 7", "row 8", "row 9"}));

    Terminal blank(20, 6);
    EXPECT_TRUE(extractLastLines(blank, 5).isEmpty());
}

TEST(BellScreenLines, SkipsTheRightHalvesOfWideCharacters) {
    Terminal terminal(20, 3);
    terminal.process("\xe4\xbd\xa0\xe5\xa5\xbd 1. \xe6\x98\xaf"); // 你好 1. 是
    EXPECT_EQ(extractLastLines(terminal, 5), (QStringList{QString::fromUtf8("你好 1. 是")}));
}
