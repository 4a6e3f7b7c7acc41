// The colouring rules: every one compiles, lists are cached per language and palette, and each
// language colours its sample as its rules say, later rules winning where matches overlap.
#include "editor/SyntaxRule.h"

#include <gtest/gtest.h>

using namespace syntaxrules;

namespace {

const SyntaxLanguage kAllLanguages[] = {
    SyntaxLanguage::json, SyntaxLanguage::html,       SyntaxLanguage::css,   SyntaxLanguage::javascript,
    SyntaxLanguage::xml,  SyntaxLanguage::markdown,   SyntaxLanguage::shell, SyntaxLanguage::python,
    SyntaxLanguage::yaml, SyntaxLanguage::toml,       SyntaxLanguage::swift, SyntaxLanguage::sql,
    SyntaxLanguage::ini,  SyntaxLanguage::dockerfile,
};

// The colour a language gives the `occurrence`-th appearance of `token` in `text`, when every
// unit of the token has that one colour; "mixed" otherwise, "base" where no rule matched.
std::string colourOf(SyntaxLanguage language, bool dark, const QString& text, const QString& token,
                     int occurrence = 0) {
    qsizetype at = -1;
    for (int i = 0; i <= occurrence; ++i) at = text.indexOf(token, at + 1);
    if (at < 0) return "token not found";
    const SyntaxRuleList rules = buildRules(language, dark);
    const ColourIndexMap map = colourIndices(text, rules);
    const auto colourAt = [&](qsizetype i) {
        const std::uint8_t index = map[static_cast<size_t>(i)];
        return index == 0 ? QColor() : rules[index - 1u].color;
    };
    const QColor c = colourAt(at);
    for (qsizetype i = at; i < at + token.size(); ++i)
        if (colourAt(i) != c) return "mixed";
    if (!c.isValid()) return "base";
    return std::to_string(c.red()) + "," + std::to_string(c.green()) + "," + std::to_string(c.blue());
}

} // namespace

TEST(SyntaxRules, EveryWrittenPatternCompilesWithItsOptions) {
    int total = 0;
    for (const SyntaxLanguage language : kAllLanguages) {
        for (const WrittenRule& written : tableOf(language)) {
            const QRegularExpression regex(QString::fromUtf8(written.pattern),
                                           patternOptions(written.options));
            EXPECT_TRUE(regex.isValid()) << written.pattern << ": " << regex.errorString().toStdString();
            ++total;
        }
        EXPECT_EQ(buildRules(language, true).size(), tableOf(language).size());
    }
    EXPECT_EQ(total, 97);
    EXPECT_TRUE(buildRules(SyntaxLanguage::none, true).empty());
}

TEST(SyntaxRules, OptionsMapAndABrokenPatternKeepsItsPlaceButNeverMatches) {
    EXPECT_TRUE(patternOptions(kCaseInsensitive) & QRegularExpression::CaseInsensitiveOption);
    EXPECT_TRUE(patternOptions(kDotMatchesLineSeparators) & QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(patternOptions(kAnchorsMatchLines | kCaseInsensitive) & QRegularExpression::MultilineOption);

    const SyntaxRule broken = compileRule({0, {1, 2, 3}, {4, 5, 6}, "(unclosed"}, true);
    EXPECT_EQ(broken.regex.pattern(), kNeverMatches);
    EXPECT_EQ(broken.color, QColor(1, 2, 3));
    const SyntaxRule word = compileRule({0, {9, 9, 9}, {8, 8, 8}, "b+"}, false);
    const ColourIndexMap map = colourIndices(QStringLiteral("abba"), {broken, word});
    EXPECT_EQ(map, (ColourIndexMap{0, 2, 2, 0})) << "the other rule still colours";
}

TEST(SyntaxRules, ACaptureGroupColoursItsRangeOrNothingWhenItTookNoPart) {
    SyntaxRule rule = compileRule({0, {1, 1, 1}, {1, 1, 1}, "(a)|(b)"}, true);
    rule.group = 2;
    EXPECT_EQ(colourIndices(QStringLiteral("ab"), {rule}), (ColourIndexMap{0, 1}));
    rule.group = 7; // beyond the groups: the whole match
    EXPECT_EQ(colourIndices(QStringLiteral("ab"), {rule}), (ColourIndexMap{1, 1}));
}

TEST(SyntaxRules, TheCacheBuildsEachLanguageAndPaletteOnce) {
    const int before = cacheBuildCount();
    const auto dark = cachedRules(SyntaxLanguage::toml, true);
    EXPECT_EQ(cachedRules(SyntaxLanguage::toml, true), dark);
    const auto light = cachedRules(SyntaxLanguage::toml, false);
    EXPECT_NE(light, dark);
    EXPECT_TRUE(isCached(SyntaxLanguage::toml, true) && isCached(SyntaxLanguage::toml, false));
    EXPECT_EQ(cachedRules(SyntaxLanguage::toml, true), dark);
    EXPECT_EQ(cacheBuildCount(), before + 2);
}

TEST(SyntaxRules, EachLanguageColoursItsSampleInBothPalettes) {
    const struct {
        SyntaxLanguage language;
        const char* text;
        const char* token;
        int occurrence;
        const char* dark;
        const char* light;
    } cases[] = {
        // Keys end in the key colour although the string rule coloured them first.
        {SyntaxLanguage::json, R"({"name": "x", "n": -12, "ok": true})", R"("name")", 0, "156,220,254",
         "0,16,128"},
        {SyntaxLanguage::json, R"({"name": "x", "n": -12, "ok": true})", R"("x")", 0, "206,145,120",
         "163,21,21"},
        {SyntaxLanguage::json, R"({"name": "x", "n": -12, "ok": true})", "-12", 0, "181,206,168", "9,134,88"},
        {SyntaxLanguage::json, R"({"name": "x", "n": -12, "ok": true})", "true", 0, "86,156,214", "0,0,255"},
        {SyntaxLanguage::json, R"({"v": "a 42 b"})", "42", 0, "181,206,168", "9,134,88"},
        {SyntaxLanguage::html, R"(<!-- c --><div class="a">)", "<!-- c -->", 0, "106,153,85", "0,128,0"},
        {SyntaxLanguage::html, R"(<!-- c --><div class="a">)", "<div", 0, "78,201,176", "128,0,0"},
        {SyntaxLanguage::html, R"(<!-- c --><div class="a">)", "class", 0, "156,220,254", "229,0,0"},
        {SyntaxLanguage::css, ".box { color: #fff; width: 10px; }", ".box", 0, "215,186,125", "128,0,0"},
        {SyntaxLanguage::css, ".box { color: #fff; width: 10px; }", "color", 0, "156,220,254", "255,0,0"},
        {SyntaxLanguage::css, ".box { color: #fff; width: 10px; }", "#fff", 0, "78,201,176", "9,134,88"},
        {SyntaxLanguage::css, ".box { color: #fff; width: 10px; }", "10px", 0, "181,206,168", "9,134,88"},
        {SyntaxLanguage::xml, R"(<a b="c"><![CDATA[x]]></a>)", "<a", 0, "78,201,176", "128,0,0"},
        {SyntaxLanguage::xml, R"(<a b="c"><![CDATA[x]]></a>)", R"("c")", 0, "206,145,120", "163,21,21"},
        {SyntaxLanguage::xml, R"(<a b="c"><![CDATA[x]]></a>)", "<![CDATA[x]]>", 0, "212,212,212", "51,51,51"},
        {SyntaxLanguage::markdown, "# Head\nsee `code` and [a](b)", "# Head", 0, "86,156,214", "0,0,255"},
        {SyntaxLanguage::markdown, "# Head\nsee `code` and [a](b)", "`code`", 0, "181,206,168", "9,134,88"},
        {SyntaxLanguage::markdown, "# Head\nsee `code` and [a](b)", "[a](b)", 0, "78,201,176", "0,112,112"},
        {SyntaxLanguage::yaml, "key: value # note\n- item: 3", "key", 0, "156,220,254", "0,16,128"},
        {SyntaxLanguage::yaml, "key: value # note\n- item: 3", "# note", 0, "106,153,85", "0,128,0"},
        {SyntaxLanguage::yaml, "key: value # note\n- item: 3", "- item", 0, "156,220,254", "0,16,128"},
        {SyntaxLanguage::toml, "[server]\nport = 8080\nwhen = 1979-05-27T07:32:00", "[server]", 0,
         "220,220,170", "121,94,38"},
        {SyntaxLanguage::toml, "[server]\nport = 8080\nwhen = 1979-05-27T07:32:00", "port", 0, "156,220,254",
         "0,16,128"},
        {SyntaxLanguage::toml, "[server]\nport = 8080\nwhen = 1979-05-27T07:32:00", "1979-05-27T07:32:00", 0,
         "181,206,168", "9,134,88"},
        {SyntaxLanguage::ini, "[main]\nname = value ; c", "[main]", 0, "220,220,170", "121,94,38"},
        {SyntaxLanguage::ini, "[main]\nname = value ; c", "value", 0, "206,145,120", "163,21,21"},
        {SyntaxLanguage::ini, "[main]\nname = value ; c", "; c", 0, "106,153,85", "0,128,0"},
        {SyntaxLanguage::javascript, "// c\nconst x = f(1); if (a) {}", "// c", 0, "106,153,85", "0,128,0"},
        {SyntaxLanguage::javascript, "// c\nconst x = f(1); if (a) {}", "const", 0, "86,156,214", "0,0,255"},
        // A keyword before a parenthesis ends in the function colour of the last rule.
        {SyntaxLanguage::javascript, "// c\nconst x = f(1); if (a) {}", "if", 0, "220,220,170", "121,94,38"},
        {SyntaxLanguage::shell, "echo \"$HOME\" # c", "echo", 0, "220,220,170", "121,94,38"},
        {SyntaxLanguage::shell, "echo \"$HOME\" # c", "$HOME", 0, "156,220,254", "0,16,128"},
        {SyntaxLanguage::shell, "echo \"$HOME\" # c", "# c", 0, "106,153,85", "0,128,0"},
        {SyntaxLanguage::python, "@dec\ndef f(self): return \"a#b\" # c", "@dec", 0, "197,134,192",
         "175,0,219"},
        {SyntaxLanguage::python, "@dec\ndef f(self): return \"a#b\" # c", "self", 0, "220,220,170",
         "121,94,38"},
        {SyntaxLanguage::python, "@dec\ndef f(self): return \"a#b\" # c", "\"a#b\"", 0, "206,145,120",
         "163,21,21"},
        {SyntaxLanguage::python, "@dec\ndef f(self): return \"a#b\" # c", "# c", 0, "106,153,85", "0,128,0"},
        {SyntaxLanguage::swift, "let s: String = \"x\" // c\nfunc go() -> Self {}", "String", 0, "78,201,176",
         "38,127,153"},
        {SyntaxLanguage::swift, "let s: String = \"x\" // c\nfunc go() -> Self {}", "go", 0, "220,220,170",
         "121,94,38"},
        {SyntaxLanguage::swift, "let s: String = \"x\" // c\nfunc go() -> Self {}", "Self", 0, "86,156,214",
         "0,0,255"},
        {SyntaxLanguage::sql, "select count(*) from t where a = 'x' -- c", "select", 0, "86,156,214",
         "0,0,255"},
        {SyntaxLanguage::sql, "select count(*) from t where a = 'x' -- c", "count", 0, "220,220,170",
         "121,94,38"},
        {SyntaxLanguage::sql, "select count(*) from t where a = 'x' -- c", "'x'", 0, "206,145,120",
         "163,21,21"},
        {SyntaxLanguage::dockerfile, "FROM alpine\n  RUN x\nrun --no-cache $HOME", "FROM", 0, "86,156,214",
         "0,0,255"},
        {SyntaxLanguage::dockerfile, "FROM alpine\n  RUN x\nrun --no-cache $HOME", "RUN", 0, "base", "base"},
        {SyntaxLanguage::dockerfile, "FROM alpine\n  RUN x\nrun --no-cache $HOME", "run", 0, "86,156,214",
         "0,0,255"},
        {SyntaxLanguage::dockerfile, "FROM alpine\n  RUN x\nrun --no-cache $HOME", "--no-cache", 0,
         "220,220,170", "121,94,38"},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const QString token = QString::fromUtf8(c.token);
        EXPECT_EQ(colourOf(c.language, true, text, token, c.occurrence), c.dark)
            << c.text << " / " << c.token;
        EXPECT_EQ(colourOf(c.language, false, text, token, c.occurrence), c.light)
            << c.text << " / " << c.token;
    }
}

TEST(SyntaxRules, MarkdownBoldKeepsOnlyItsOuterMarksInTheBoldColour) {
    const QString text = QStringLiteral("**bold** and __also__");
    const SyntaxRuleList rules = buildRules(SyntaxLanguage::markdown, true);
    const ColourIndexMap map = colourIndices(text, rules);
    const auto colourAt = [&](int i) { return map[size_t(i)] ? rules[map[size_t(i)] - 1u].color : QColor(); };
    const QColor bold(220, 220, 170), italic(206, 145, 120);
    EXPECT_EQ(colourAt(0), bold);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(colourAt(i), italic) << i;
    EXPECT_EQ(colourAt(7), bold);
    EXPECT_EQ(colourAt(13), bold);
    EXPECT_EQ(colourAt(14), italic);
}

// The linear scans stand in for two patterns; they must find exactly what the patterns find.
TEST(SyntaxRules, TheLinearFormsMatchWhatTheirPatternsMatch) {
    const struct {
        SyntaxLanguage language;
        LinearForm form;
        const char* text;
    } cases[] = {
        {SyntaxLanguage::yaml, LinearForm::yamlKey,
         "key: v\n- item: 3\n  nested key : x\nno colon\n- a\n- b:"},
        {SyntaxLanguage::yaml, LinearForm::yamlKey, "a\nb\nc: 1\n\"q\": 2\n  - x.y-z: 3\n:\n- :"},
        {SyntaxLanguage::yaml, LinearForm::yamlKey, "été: 1\n日本: 2\ntab\t: 3"},
        {SyntaxLanguage::css, LinearForm::cssSelector, "a, b > c { x: 1 }\n@media x {\n .y{z:1}}"},
        {SyntaxLanguage::css, LinearForm::cssSelector, "u { background: url(data:a;b,c{) }\n;{ ,{"},
    };
    for (const auto& c : cases) {
        const WrittenRule* written = nullptr;
        for (const WrittenRule& s : tableOf(c.language))
            if (s.linear == c.form) written = &s;
        ASSERT_NE(written, nullptr);
        const SyntaxRule fast = compileRule(*written, true);
        ASSERT_EQ(fast.linear, c.form);
        SyntaxRule slow = fast;
        slow.linear = LinearForm::none;
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(colourIndices(text, {fast}), colourIndices(text, {slow})) << c.text;
    }
}

TEST(SyntaxRules, HostileInputsAreColouredWithoutBacktrackingForEver) {
    QString yaml;
    for (int i = 0; i < 4000; ++i) yaml += QStringLiteral("- item %1 with words\n").arg(i);
    yaml += QStringLiteral("- \"quoted key\": value\n");
    const SyntaxRuleList yamlRules = buildRules(SyntaxLanguage::yaml, true);
    const ColourIndexMap yamlMap = colourIndices(yaml, yamlRules);
    EXPECT_EQ(yamlRules[yamlMap[size_t(yaml.indexOf("quoted"))] - 1u].color, QColor(206, 145, 120));

    const QString css = QStringLiteral(".icon { background: url(data:image/png;base64,") +
                        QString(80 * 1024, QLatin1Char('A')) + QStringLiteral("); }\n.next { color: red; }");
    const SyntaxRuleList cssRules = buildRules(SyntaxLanguage::css, true);
    const ColourIndexMap cssMap = colourIndices(css, cssRules);
    EXPECT_EQ(cssRules[cssMap[size_t(css.indexOf(".next"))] - 1u].color, QColor(215, 186, 125));
}
