// The colouring rules: every one compiles and takes its kind's colour, lists are cached per language
// and palette, and each language finds the kinds of its sample as its rules say, later rules
// winning where matches overlap.
#include "editor/SyntaxRule.h"

#include <gtest/gtest.h>

using namespace syntaxrules;

namespace {

// The kind a language gives the first appearance of `token` in `text`, when every unit of the
// token has that one kind; "mixed" otherwise, "base" where no rule matched.
std::string kindOf(SyntaxLanguage language, const QString& text, const QString& token) {
    const qsizetype at = text.indexOf(token);
    if (at < 0) return "token not found";
    const SyntaxRuleList rules = buildRules(language, true);
    const ColourIndexMap map = colourIndices(text, rules);
    const auto kindAt = [&](qsizetype i) -> std::string {
        const std::uint8_t index = map[static_cast<size_t>(i)];
        return index == 0 ? "base" : syntaxtheme::nameOf(rules[index - 1u].kind);
    };
    const std::string kind = kindAt(at);
    for (qsizetype i = at; i < at + token.size(); ++i)
        if (kindAt(i) != kind) return "mixed";
    return kind;
}

} // namespace

TEST(SyntaxRules, EveryWrittenPatternCompilesAndTakesItsKindsColour) {
    int total = 0;
    for (const SyntaxLanguage language : syntaxlanguage::all()) {
        const std::vector<WrittenRule>& written = syntaxlanguage::rowOf(language)->rules;
        for (const WrittenRule& rule : written) {
            const QRegularExpression regex(QString::fromUtf8(rule.pattern), patternOptions(rule.options));
            EXPECT_TRUE(regex.isValid()) << rule.pattern << ": " << regex.errorString().toStdString();
            ++total;
        }
        for (const bool dark : {true, false}) {
            const SyntaxRuleList built = buildRules(language, dark);
            ASSERT_EQ(built.size(), written.size());
            for (size_t i = 0; i < built.size(); ++i)
                EXPECT_EQ(built[i].color, syntaxtheme::colourOf(written[i].kind, dark)) << written[i].pattern;
        }
    }
    EXPECT_EQ(total, 97);
    EXPECT_TRUE(buildRules(SyntaxLanguage::none, true).empty());
}

TEST(SyntaxRules, OptionsMapAndABrokenPatternKeepsItsPlaceButNeverMatches) {
    EXPECT_TRUE(patternOptions(kCaseInsensitive) & QRegularExpression::CaseInsensitiveOption);
    EXPECT_TRUE(patternOptions(kDotMatchesLineSeparators) & QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(patternOptions(kAnchorsMatchLines | kCaseInsensitive) & QRegularExpression::MultilineOption);

    const SyntaxRule broken = compileRule({0, TokenKind::string, "(unclosed"}, true);
    EXPECT_EQ(broken.regex.pattern(), kNeverMatches);
    EXPECT_EQ(broken.kind, TokenKind::string);
    const SyntaxRule word = compileRule({0, TokenKind::number, "b+"}, false);
    const ColourIndexMap map = colourIndices(QStringLiteral("abba"), {broken, word});
    EXPECT_EQ(map, (ColourIndexMap{0, 2, 2, 0})) << "the other rule still colours";
}

TEST(SyntaxRules, ACaptureGroupColoursItsRangeOrNothingWhenItTookNoPart) {
    SyntaxRule rule = compileRule({0, TokenKind::keyword, "(a)|(b)"}, true);
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

TEST(SyntaxRules, EachLanguageFindsTheKindsOfItsSample) {
    const struct {
        SyntaxLanguage language;
        const char* text;
        const char* token;
        const char* kind;
    } cases[] = {
        // Keys end in the key colour although the string rule coloured them first.
        {SyntaxLanguage::json, R"({"name": "x", "n": -12, "ok": true})", R"("name")", "key"},
        {SyntaxLanguage::json, R"({"name": "x", "n": -12, "ok": true})", R"("x")", "string"},
        {SyntaxLanguage::json, R"({"name": "x", "n": -12, "ok": true})", "-12", "number"},
        {SyntaxLanguage::json, R"({"name": "x", "n": -12, "ok": true})", "true", "keyword"},
        {SyntaxLanguage::json, R"({"v": "a 42 b"})", "42", "number"},
        {SyntaxLanguage::html, R"(<!-- c --><div class="a">)", "<!-- c -->", "comment"},
        {SyntaxLanguage::html, R"(<!-- c --><div class="a">)", "<div", "tag"},
        {SyntaxLanguage::html, R"(<!-- c --><div class="a">)", "class", "attribute"},
        {SyntaxLanguage::css, ".box { color: #fff; width: 10px; }", ".box", "selector"},
        {SyntaxLanguage::css, ".box { color: #fff; width: 10px; }", "color", "property"},
        {SyntaxLanguage::css, ".box { color: #fff; width: 10px; }", "#fff", "colorLiteral"},
        {SyntaxLanguage::css, ".box { color: #fff; width: 10px; }", "10px", "number"},
        {SyntaxLanguage::xml, R"(<a b="c"><![CDATA[x]]></a>)", "<a", "tag"},
        {SyntaxLanguage::xml, R"(<a b="c"><![CDATA[x]]></a>)", R"("c")", "string"},
        {SyntaxLanguage::xml, R"(<a b="c"><![CDATA[x]]></a>)", "<![CDATA[x]]>", "verbatim"},
        {SyntaxLanguage::markdown, "# Head\nsee `code` and [a](b)", "# Head", "heading"},
        {SyntaxLanguage::markdown, "# Head\nsee `code` and [a](b)", "`code`", "code"},
        {SyntaxLanguage::markdown, "# Head\nsee `code` and [a](b)", "[a](b)", "link"},
        {SyntaxLanguage::yaml, "key: value # note\n- item: 3", "key", "key"},
        {SyntaxLanguage::yaml, "key: value # note\n- item: 3", "# note", "comment"},
        {SyntaxLanguage::yaml, "key: value # note\n- item: 3", "- item", "key"},
        {SyntaxLanguage::toml, "[server]\nport = 8080\nwhen = 1979-05-27T07:32:00", "[server]", "section"},
        {SyntaxLanguage::toml, "[server]\nport = 8080\nwhen = 1979-05-27T07:32:00", "port", "key"},
        {SyntaxLanguage::toml, "[server]\nport = 8080\nwhen = 1979-05-27T07:32:00", "1979-05-27T07:32:00",
         "number"},
        {SyntaxLanguage::ini, "[main]\nname = value ; c", "[main]", "section"},
        {SyntaxLanguage::ini, "[main]\nname = value ; c", "value", "string"},
        {SyntaxLanguage::ini, "[main]\nname = value ; c", "; c", "comment"},
        {SyntaxLanguage::javascript, "// c\nconst x = f(1); if (a) {}", "// c", "comment"},
        {SyntaxLanguage::javascript, "// c\nconst x = f(1); if (a) {}", "const", "keyword"},
        // A keyword before a parenthesis ends in the function colour of the last rule.
        {SyntaxLanguage::javascript, "// c\nconst x = f(1); if (a) {}", "if", "function"},
        {SyntaxLanguage::shell, "echo \"$HOME\" # c", "echo", "function"},
        {SyntaxLanguage::shell, "echo \"$HOME\" # c", "$HOME", "variable"},
        {SyntaxLanguage::shell, "echo \"$HOME\" # c", "# c", "comment"},
        {SyntaxLanguage::python, "@dec\ndef f(self): return \"a#b\" # c", "@dec", "annotation"},
        {SyntaxLanguage::python, "@dec\ndef f(self): return \"a#b\" # c", "self", "function"},
        {SyntaxLanguage::python, "@dec\ndef f(self): return \"a#b\" # c", "\"a#b\"", "string"},
        {SyntaxLanguage::python, "@dec\ndef f(self): return \"a#b\" # c", "# c", "comment"},
        {SyntaxLanguage::swift, "let s: String = \"x\" // c\nfunc go() -> Self {}", "String", "type"},
        {SyntaxLanguage::swift, "let s: String = \"x\" // c\nfunc go() -> Self {}", "go", "function"},
        {SyntaxLanguage::swift, "let s: String = \"x\" // c\nfunc go() -> Self {}", "Self", "keyword"},
        {SyntaxLanguage::sql, "select count(*) from t where a = 'x' -- c", "select", "keyword"},
        {SyntaxLanguage::sql, "select count(*) from t where a = 'x' -- c", "count", "function"},
        {SyntaxLanguage::sql, "select count(*) from t where a = 'x' -- c", "'x'", "string"},
        {SyntaxLanguage::dockerfile, "FROM alpine\n  RUN x\nrun --no-cache $HOME", "FROM", "keyword"},
        {SyntaxLanguage::dockerfile, "FROM alpine\n  RUN x\nrun --no-cache $HOME", "RUN", "base"},
        {SyntaxLanguage::dockerfile, "FROM alpine\n  RUN x\nrun --no-cache $HOME", "run", "keyword"},
        {SyntaxLanguage::dockerfile, "FROM alpine\n  RUN x\nrun --no-cache $HOME", "--no-cache", "option"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kindOf(c.language, QString::fromUtf8(c.text), QString::fromUtf8(c.token)), c.kind)
            << c.text << " / " << c.token;
}

TEST(SyntaxRules, MarkdownBoldKeepsOnlyItsOuterMarksInTheBoldColour) {
    const QString text = QStringLiteral("**bold** and __also__");
    const SyntaxRuleList rules = buildRules(SyntaxLanguage::markdown, true);
    const ColourIndexMap map = colourIndices(text, rules);
    const auto kindAt = [&](int i) -> std::optional<TokenKind> {
        if (map[size_t(i)] == 0) return std::nullopt;
        return rules[map[size_t(i)] - 1u].kind;
    };
    EXPECT_EQ(kindAt(0), TokenKind::strong);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(kindAt(i), TokenKind::emphasis) << i;
    EXPECT_EQ(kindAt(7), TokenKind::strong);
    EXPECT_EQ(kindAt(13), TokenKind::strong);
    EXPECT_EQ(kindAt(14), TokenKind::emphasis);
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
        for (const WrittenRule& s : syntaxlanguage::rowOf(c.language)->rules)
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
    EXPECT_EQ(yamlRules[yamlMap[size_t(yaml.indexOf("quoted"))] - 1u].kind, TokenKind::string);

    const QString css = QStringLiteral(".icon { background: url(data:image/png;base64,") +
                        QString(80 * 1024, QLatin1Char('A')) + QStringLiteral("); }\n.next { color: red; }");
    const SyntaxRuleList cssRules = buildRules(SyntaxLanguage::css, true);
    const ColourIndexMap cssMap = colourIndices(css, cssRules);
    EXPECT_EQ(cssRules[cssMap[size_t(css.indexOf(".next"))] - 1u].kind, TokenKind::selector);
}
