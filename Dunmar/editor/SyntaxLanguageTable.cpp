// The languages the editor colours, one row each, in the order a text's hints are tried.
#include "editor/SyntaxLanguageTable.h"

namespace syntaxlanguage {
namespace {

using namespace syntaxrules;

bool startsWithAny(const QString& s, std::initializer_list<const char*> prefixes) {
    for (const char* p : prefixes)
        if (s.startsWith(QLatin1String(p))) return true;
    return false;
}

bool containsAny(const QString& s, std::initializer_list<const char*> needles) {
    for (const char* n : needles)
        if (s.contains(QLatin1String(n))) return true;
    return false;
}

bool containsAll(const QString& s, std::initializer_list<const char*> needles) {
    for (const char* n : needles)
        if (!s.contains(QLatin1String(n))) return false;
    return true;
}

// Lines with "key: value" among the first ten non-empty lines, not counting indented, commented
// or markup lines.
int yamlLikeLines(const QString& text) {
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    int count = 0;
    for (qsizetype i = 0; i < lines.size() && i < 10; ++i) {
        const QString& line = lines[i];
        if (line.startsWith(u' ') || line.startsWith(u'#') || line.startsWith(u'<')) continue;
        if (line.contains(QLatin1String(": "))) ++count;
    }
    return count;
}

} // namespace

const std::vector<LanguageRow>& languageTable() {
    static const std::vector<LanguageRow> table =
        {
            {SyntaxLanguage::shell,
             {},
             {"sh", "bash", "zsh", "fish", "ksh"},
             [](const ContentProbe& p) {
                 return startsWithAny(p.trimmed, {"#!/bin/", "#!/usr/bin/env"});
             },
             {
                 {0, TokenKind::comment, R"re(#[^\n]*)re"},
                 {0, TokenKind::string, R"re("(?:[^"\\]|\\.)*")re"},
                 {0, TokenKind::string, R"re('[^']*')re"},
                 {0, TokenKind::variable, R"re(\$\{?[\w@#?*!-]+\}?)re"},
                 {0, TokenKind::number, R"re(\b\d+\b)re"},
                 {0, TokenKind::keyword,
                  R"re(\b(if|then|else|elif|fi|for|while|do|done|case|esac|in|function|return|export|local|declare|readonly|source|unset|shift|break|continue|exit)\b)re"},
                 {0, TokenKind::function,
                  R"re(\b(echo|printf|read|test|exec|eval|cd|ls|grep|sed|awk|cat|rm|mv|cp|mkdir|chmod|chown|find|sort|uniq|cut|tr|head|tail|wc|curl|wget|git|sudo|apt|brew|pip|npm|make)\b)re"},
             }},
            {SyntaxLanguage::html,
             {},
             {"html", "htm"},
             [](const ContentProbe& p) {
                 return startsWithAny(p.lower, {"<!doctype html", "<html"});
             },
             {
                 {kDotMatchesLineSeparators, TokenKind::comment, R"re(<!--[\s\S]*?-->)re"},
                 {kCaseInsensitive, TokenKind::keyword, R"re(<!DOCTYPE[^>]*>)re"},
                 {kDotMatchesLineSeparators, TokenKind::tag, R"re(</?[\w:-]+)re"},
                 {kDotMatchesLineSeparators, TokenKind::attribute, R"re(\b[\w:-]+(?=\s*=))re"},
                 {kDotMatchesLineSeparators, TokenKind::string, R"re("[^"]*"|'[^']*')re"},
             }},
            {SyntaxLanguage::xml,
             {},
             {"xml", "svg", "plist", "xhtml"},
             [](const ContentProbe& p) {
                 return startsWithAny(p.trimmed, {"<?xml", "<plist"});
             },
             {
                 {kDotMatchesLineSeparators, TokenKind::comment, R"re(<!--[\s\S]*?-->)re"},
                 {kDotMatchesLineSeparators, TokenKind::verbatim, R"re(<!\[CDATA\[[\s\S]*?\]\]>)re"},
                 {kDotMatchesLineSeparators, TokenKind::annotation, R"re(<\?[\s\S]*?\?>)re"},
                 {kCaseInsensitive, TokenKind::keyword, R"re(<!DOCTYPE[^>]*>)re"},
                 {kDotMatchesLineSeparators, TokenKind::tag, R"re(</?[\w:.-]+)re"},
                 {kDotMatchesLineSeparators, TokenKind::attribute, R"re([\w:.-]+(?=\s*=))re"},
                 {kDotMatchesLineSeparators, TokenKind::string, R"re("[^"]*"|'[^']*')re"},
             }},
            {SyntaxLanguage::json,
             {},
             {"json"},
             [](const ContentProbe& p) {
                 return startsWithAny(p.trimmed, {"{", "["}) && p.lower.contains(QLatin1String("\":"));
             },
             {
                 {kDotMatchesLineSeparators, TokenKind::string, R"re("[^"\\]*(?:\\.[^"\\]*)*")re"},
                 {kDotMatchesLineSeparators, TokenKind::number, R"re(-?\b\d+\.?\d*([eE][+-]?\d+)?\b)re"},
                 {kDotMatchesLineSeparators, TokenKind::keyword, R"re(\b(true|false|null)\b)re"},
                 {kDotMatchesLineSeparators, TokenKind::punctuation, R"re([{}\[\]:,])re"},
                 {kDotMatchesLineSeparators, TokenKind::key, R"re("[^"\\]*(?:\\.[^"\\]*)*"(?=\s*:))re"},
             }},
            {SyntaxLanguage::sql,
             {},
             {"sql"},
             [](const ContentProbe& p) {
                 return startsWithAny(p.lower, {"select ", "insert into", "create table", "drop table",
                                                "update ", "delete from"});
             },
             {
                 {0, TokenKind::comment, R"re(--[^\n]*)re"},
                 {kDotMatchesLineSeparators, TokenKind::comment, R"re(\/\*[\s\S]*?\*\/)re"},
                 {0, TokenKind::string, R"re('(?:[^'\\]|\\.)*')re"},
                 {0, TokenKind::number, R"re(\b\d+\.?\d*\b)re"},
                 {kCaseInsensitive, TokenKind::type,
                  R"re(\b(INT|INTEGER|BIGINT|SMALLINT|TINYINT|FLOAT|DOUBLE|DECIMAL|NUMERIC|REAL|CHAR|VARCHAR|TEXT|BLOB|BOOLEAN|BOOL|DATE|DATETIME|TIMESTAMP|TIME|YEAR|BINARY|VARBINARY|JSON|UUID|SERIAL)\b)re"},
                 {kCaseInsensitive, TokenKind::keyword,
                  R"re(\b(SELECT|FROM|WHERE|INSERT|INTO|VALUES|UPDATE|SET|DELETE|CREATE|DROP|ALTER|TABLE|DATABASE|INDEX|VIEW|TRIGGER|PROCEDURE|FUNCTION|PRIMARY|FOREIGN|KEY|REFERENCES|UNIQUE|NOT|NULL|DEFAULT|AUTO_INCREMENT|ON|OFF|JOIN|INNER|LEFT|RIGHT|OUTER|FULL|CROSS|UNION|ALL|DISTINCT|AS|IN|EXISTS|BETWEEN|LIKE|ILIKE|IS|AND|OR|ORDER|BY|GROUP|HAVING|LIMIT|OFFSET|ASC|DESC|BEGIN|COMMIT|ROLLBACK|TRANSACTION|CONSTRAINT|CHECK|CASCADE|RESTRICT|IF|THEN|ELSE|END|CASE|WHEN|WITH|RECURSIVE)\b)re"},
                 {kCaseInsensitive, TokenKind::function,
                  R"re(\b(COUNT|SUM|AVG|MIN|MAX|COALESCE|NULLIF|IFNULL|NOW|CURDATE|DATE_FORMAT|SUBSTRING|LENGTH|UPPER|LOWER|TRIM|CONCAT|REPLACE|ROUND|FLOOR|CEIL|ABS|MOD|CAST|CONVERT)\b)re"},
             }},
            {SyntaxLanguage::python,
             {},
             {"py", "pyw"},
             [](const ContentProbe& p) {
                 return (p.lower.contains(QLatin1String("def ")) &&
                         containsAny(p.lower, {"import ", "print(", "self."})) ||
                        (p.lower.startsWith(QLatin1String("import ")) &&
                         containsAny(p.lower, {"\ndef ", "\nclass "}));
             },
             {
                 {0, TokenKind::comment, R"re(#[^\n]*)re"},
                 {kDotMatchesLineSeparators, TokenKind::string, R"re(\"\"\"[\s\S]*?\"\"\"|'''[\s\S]*?''')re"},
                 {0, TokenKind::string, R"re("(?:[^"\\]|\\.)*"|'(?:[^'\\]|\\.)*')re"},
                 {0, TokenKind::number, R"re(\b\d+\.?\d*([eE][+-]?\d+)?\b)re"},
                 {0, TokenKind::annotation, R"re(@[\w.]+)re"},
                 {0, TokenKind::keyword,
                  R"re(\b(False|None|True|and|as|assert|async|await|break|class|continue|def|del|elif|else|except|finally|for|from|global|if|import|in|is|lambda|nonlocal|not|or|pass|raise|return|try|while|with|yield)\b)re"},
                 {0, TokenKind::function,
                  R"re(\b(print|len|range|type|int|str|float|list|dict|set|tuple|bool|open|super|self|cls|abs|all|any|bin|chr|dir|enumerate|filter|format|getattr|hasattr|hex|input|isinstance|issubclass|iter|map|max|min|next|oct|ord|repr|reversed|round|setattr|slice|sorted|sum|vars|zip)\b)re"},
             }},
            {SyntaxLanguage::swift,
             {},
             {"swift"},
             [](const ContentProbe& p) {
                 return containsAny(p.lower, {"import foundation", "import uikit", "import swiftui",
                                              "import appkit"}) ||
                        containsAll(p.lower, {"func ", "var ", "let "});
             },
             {
                 {kDotMatchesLineSeparators, TokenKind::comment, R"re(\/\*[\s\S]*?\*\/)re"},
                 {0, TokenKind::comment, R"re(\/\/[^\n]*)re"},
                 {0, TokenKind::string, R"re(#"[^"]*"#)re"},
                 {0, TokenKind::string, R"re(\"(?:[^"\\]|\\.)*\")re"},
                 {0, TokenKind::number, R"re(\b\d+\.?\d*\b)re"},
                 {0, TokenKind::annotation, R"re(@\w+)re"},
                 {0, TokenKind::type, R"re(\b[A-Z][A-Za-z0-9]*\b)re"},
                 {0,
                  TokenKind::keyword, R"re(\b(actor|any|as|associatedtype|async|await|break|case|catch|class|continue|defer|default|deinit|do|else|enum|extension|fallthrough|false|fileprivate|final|for|func|get|guard|if|import|in|indirect|infix|init|inout|internal|is|lazy|let|mutating|nil|nonisolated|nonmutating|open|operator|optional|override|postfix|prefix|private|protocol|public|repeat|required|rethrows|return|self|Self|set|some|static|struct|subscript|super|switch|throw|throws|true|try|typealias|unowned|var|weak|where|while|willSet|didSet)\b)re"},
                 {0, TokenKind::function, R"re(\b[a-z_]\w*(?=\s*\())re"},
             }},
            {SyntaxLanguage::yaml,
             {},
             {"yml", "yaml"},
             [](const ContentProbe& p) {
                 return p.trimmed.startsWith(QLatin1String("---\n")) || yamlLikeLines(p.trimmed) >= 3;
             },
             {
                 {0, TokenKind::comment, R"re(#[^\n]*)re"},
                 {kAnchorsMatchLines, TokenKind::meta, R"re(^---$|^\.\.\.$)re"},
                 {0, TokenKind::annotation, R"re([&*][\w]+)re"},
                 {0, TokenKind::meta, R"re(![\w!/]+)re"},
                 {0, TokenKind::string, R"re(\"[^"]*\"|'[^']*')re"},
                 {0, TokenKind::keyword, R"re(\b(true|false|null|yes|no|on|off|~)\b)re"},
                 {0, TokenKind::number, R"re(\b-?\d+\.?\d*([eE][+-]?\d+)?\b)re"},
                 {kAnchorsMatchLines, TokenKind::key, R"re(^[\s-]*[\w\s.-]+(?=\s*:))re", LinearForm::yamlKey},
             }},
            {SyntaxLanguage::toml,
             {},
             {"toml"},
             [](const ContentProbe& p) {
                 return containsAll(p.trimmed, {"\n[", " = "});
             },
             {
                 {0, TokenKind::comment, R"re(#[^\n]*)re"},
                 {kAnchorsMatchLines, TokenKind::section, R"re(^\s*\[+[^\]]+\]+)re"},
                 {kDotMatchesLineSeparators, TokenKind::string, R"re(\"\"\"[\s\S]*?\"\"\"|'''[\s\S]*?''')re"},
                 {0, TokenKind::string, R"re(\"(?:[^"\\]|\\.)*\"|'[^']*')re"},
                 {0, TokenKind::keyword, R"re(\b(true|false)\b)re"},
                 {0, TokenKind::number, R"re(\b-?\d{4}-\d{2}-\d{2}[T\s]\d{2}:\d{2}:\d{2})re"},
                 {0, TokenKind::number, R"re(\b-?\d+\.?\d*([eE][+-]?\d+)?\b)re"},
                 {kAnchorsMatchLines, TokenKind::key, R"re(^[\w.-]+(?=\s*=))re"},
             }},
            {SyntaxLanguage::ini,
             {},
             {"ini", "cfg", "conf", "properties", "editorconfig", "gitconfig"},
             [](const ContentProbe& p) {
                 return p.trimmed.startsWith(u'[') && containsAll(p.trimmed, {"]\n", "="});
             },
             {
                 {0, TokenKind::comment, R"re([#;][^\n]*)re"},
                 {kAnchorsMatchLines, TokenKind::section, R"re(^\s*\[[^\]]+\])re"},
                 {kAnchorsMatchLines, TokenKind::key, R"re(^\s*[\w.-]+(?=\s*[=:]))re"},
                 {0, TokenKind::string, R"re((?<=[=:])\s*[^\n#;]+)re"},
                 {0, TokenKind::number, R"re(\b\d+\.?\d*\b)re"},
             }},
            {SyntaxLanguage::css,
             {},
             {"css"},
             [](const ContentProbe& p) {
                 return containsAll(p.trimmed, {"{", "}"}) &&
                        containsAny(p.lower, {"color:", "margin:", "padding:", "font-"});
             },
             {
                 {kDotMatchesLineSeparators, TokenKind::comment, R"re(\/\*[\s\S]*?\*\/)re"},
                 {kDotMatchesLineSeparators, TokenKind::annotation, R"re(@[\w-]+)re"},
                 {kDotMatchesLineSeparators, TokenKind::selector, R"re([^{};,]+(?=\s*\{))re",
                  LinearForm::cssSelector},
                 {kDotMatchesLineSeparators, TokenKind::property, R"re([\w-]+(?=\s*:))re"},
                 {kDotMatchesLineSeparators, TokenKind::string, R"re("[^"]*"|'[^']*')re"},
                 {kDotMatchesLineSeparators, TokenKind::colorLiteral, R"re(#[0-9a-fA-F]{3,8}\b)re"},
                 {kDotMatchesLineSeparators, TokenKind::number,
                  R"re(\b\d+\.?\d*(%|px|em|rem|vh|vw|pt|s|ms)?\b)re"},
             }},
            {SyntaxLanguage::javascript,
             {},
             {"js", "mjs", "cjs", "ts", "tsx", "jsx"},
             [](const ContentProbe& p) {
                 return containsAny(p.lower, {"function ", "document.", "export default", "import {"}) ||
                        containsAll(p.lower, {"const ", "=>"});
             },
             {
                 {kDotMatchesLineSeparators, TokenKind::comment, R"re(\/\*[\s\S]*?\*\/)re"},
                 {0, TokenKind::comment, R"re(\/\/[^\n]*)re"},
                 {kDotMatchesLineSeparators, TokenKind::string, R"re(`[^`]*`)re"},
                 {kDotMatchesLineSeparators, TokenKind::string, R"re("[^"\\]*(?:\\.[^"\\]*)*")re"},
                 {kDotMatchesLineSeparators, TokenKind::string, R"re('[^'\\]*(?:\\.[^'\\]*)*')re"},
                 {kDotMatchesLineSeparators, TokenKind::number, R"re(\b\d+\.?\d*\b)re"},
                 {kDotMatchesLineSeparators, TokenKind::keyword,
                  R"re(\b(const|let|var|function|return|if|else|for|while|do|switch|case|break|continue|new|this|class|extends|import|export|default|from|async|await|typeof|instanceof|null|undefined|true|false|void|throw|try|catch|finally|delete|in|of)\b)re"},
                 {kDotMatchesLineSeparators, TokenKind::function, R"re(\b[\w$]+(?=\s*\())re"},
             }},
            {SyntaxLanguage::markdown,
             {},
             {"md", "markdown", "mdown", "mkd"},
             [](const ContentProbe& p) {
                 return startsWithAny(p.trimmed.section(u'\n', 0, 0), {"# ", "## "}) ||
                        containsAny(p.trimmed, {"\n## ", "\n# "});
             },
             {
                 {kAnchorsMatchLines, TokenKind::code, R"re(^```[\s\S]*?^```)re"},
                 {0, TokenKind::code, R"re(`[^`\n]+`)re"},
                 {kAnchorsMatchLines, TokenKind::heading, R"re(^#{1,6}\s+[^\n]*)re"},
                 {0, TokenKind::strong, R"re(\*\*[^*\n]+\*\*|__[^_\n]+__)re"},
                 {0, TokenKind::emphasis, R"re(\*[^*\n]+\*|_[^_\n]+_)re"},
                 {0, TokenKind::link, R"re(!?\[[^\]]*\](\([^)]*\))?)re"},
                 {kAnchorsMatchLines, TokenKind::quote, R"re(^>\s[^\n]*)re"},
                 {kAnchorsMatchLines, TokenKind::listMarker, R"re(^(\s*[-*+]|\s*\d+\.)\s)re"},
                 {kAnchorsMatchLines, TokenKind::divider, R"re(^(---+|\*\*\*+|___+)\s*$)re"},
             }},
            {SyntaxLanguage::dockerfile,
             {"dockerfile", "containerfile"},
             {},
             nullptr,
             {
                 {0, TokenKind::comment, R"re(#[^\n]*)re"},
                 {0, TokenKind::string, R"re("(?:[^"\\]|\\.)*")re"},
                 {0, TokenKind::variable, R"re(\$\{?[\w]+\}?)re"},
                 {0, TokenKind::option, R"re(--[\w-]+)re"},
                 {kCaseInsensitive | kAnchorsMatchLines, TokenKind::keyword,
                  R"re(^(FROM|RUN|CMD|LABEL|EXPOSE|ENV|ADD|COPY|ENTRYPOINT|VOLUME|USER|WORKDIR|ARG|ONBUILD|STOPSIGNAL|HEALTHCHECK|SHELL|MAINTAINER)\b)re"},
             }},
        };
    return table;
}

const LanguageRow* rowOf(SyntaxLanguage language) {
    for (const LanguageRow& row : languageTable())
        if (row.language == language) return &row;
    return nullptr;
}

} // namespace syntaxlanguage
