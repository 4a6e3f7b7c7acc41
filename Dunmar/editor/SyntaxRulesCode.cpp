// The rule lists of the programming and scripting languages, in the order they colour.
#include "editor/SyntaxRuleTables.h"

namespace syntaxrules {

const std::vector<WrittenRule>& javascriptRules() {
    static const std::vector<WrittenRule> rules = {
        {kDotMatchesLineSeparators, {106, 153, 85}, {0, 128, 0}, R"re(\/\*[\s\S]*?\*\/)re"},
        {0, {106, 153, 85}, {0, 128, 0}, R"re(\/\/[^\n]*)re"},
        {kDotMatchesLineSeparators, {206, 145, 120}, {163, 21, 21}, R"re(`[^`]*`)re"},
        {kDotMatchesLineSeparators, {206, 145, 120}, {163, 21, 21}, R"re("[^"\\]*(?:\\.[^"\\]*)*")re"},
        {kDotMatchesLineSeparators, {206, 145, 120}, {163, 21, 21}, R"re('[^'\\]*(?:\\.[^'\\]*)*')re"},
        {kDotMatchesLineSeparators, {181, 206, 168}, {9, 134, 88}, R"re(\b\d+\.?\d*\b)re"},
        {kDotMatchesLineSeparators,
         {86, 156, 214},
         {0, 0, 255},
         R"re(\b(const|let|var|function|return|if|else|for|while|do|switch|case|break|continue|new|this|class|extends|import|export|default|from|async|await|typeof|instanceof|null|undefined|true|false|void|throw|try|catch|finally|delete|in|of)\b)re"},
        {kDotMatchesLineSeparators, {220, 220, 170}, {121, 94, 38}, R"re(\b[\w$]+(?=\s*\())re"},
    };
    return rules;
}

const std::vector<WrittenRule>& shellRules() {
    static const std::vector<WrittenRule> rules = {
        {0, {106, 153, 85}, {0, 128, 0}, R"re(#[^\n]*)re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re("(?:[^"\\]|\\.)*")re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re('[^']*')re"},
        {0, {156, 220, 254}, {0, 16, 128}, R"re(\$\{?[\w@#?*!-]+\}?)re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(\b\d+\b)re"},
        {0,
         {86, 156, 214},
         {0, 0, 255},
         R"re(\b(if|then|else|elif|fi|for|while|do|done|case|esac|in|function|return|export|local|declare|readonly|source|unset|shift|break|continue|exit)\b)re"},
        {0,
         {220, 220, 170},
         {121, 94, 38},
         R"re(\b(echo|printf|read|test|exec|eval|cd|ls|grep|sed|awk|cat|rm|mv|cp|mkdir|chmod|chown|find|sort|uniq|cut|tr|head|tail|wc|curl|wget|git|sudo|apt|brew|pip|npm|make)\b)re"},
    };
    return rules;
}

const std::vector<WrittenRule>& pythonRules() {
    static const std::vector<WrittenRule> rules = {
        {0, {106, 153, 85}, {0, 128, 0}, R"re(#[^\n]*)re"},
        {kDotMatchesLineSeparators,
         {206, 145, 120},
         {163, 21, 21},
         R"re(\"\"\"[\s\S]*?\"\"\"|'''[\s\S]*?''')re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re("(?:[^"\\]|\\.)*"|'(?:[^'\\]|\\.)*')re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(\b\d+\.?\d*([eE][+-]?\d+)?\b)re"},
        {0, {197, 134, 192}, {175, 0, 219}, R"re(@[\w.]+)re"},
        {0,
         {86, 156, 214},
         {0, 0, 255},
         R"re(\b(False|None|True|and|as|assert|async|await|break|class|continue|def|del|elif|else|except|finally|for|from|global|if|import|in|is|lambda|nonlocal|not|or|pass|raise|return|try|while|with|yield)\b)re"},
        {0,
         {220, 220, 170},
         {121, 94, 38},
         R"re(\b(print|len|range|type|int|str|float|list|dict|set|tuple|bool|open|super|self|cls|abs|all|any|bin|chr|dir|enumerate|filter|format|getattr|hasattr|hex|input|isinstance|issubclass|iter|map|max|min|next|oct|ord|repr|reversed|round|setattr|slice|sorted|sum|vars|zip)\b)re"},
    };
    return rules;
}

const std::vector<WrittenRule>& swiftRules() {
    static const std::vector<WrittenRule> rules = {
        {kDotMatchesLineSeparators, {106, 153, 85}, {0, 128, 0}, R"re(\/\*[\s\S]*?\*\/)re"},
        {0, {106, 153, 85}, {0, 128, 0}, R"re(\/\/[^\n]*)re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re(#"[^"]*"#)re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re(\"(?:[^"\\]|\\.)*\")re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(\b\d+\.?\d*\b)re"},
        {0, {197, 134, 192}, {175, 0, 219}, R"re(@\w+)re"},
        {0, {78, 201, 176}, {38, 127, 153}, R"re(\b[A-Z][A-Za-z0-9]*\b)re"},
        {0,
         {86, 156, 214},
         {0, 0, 255},
         R"re(\b(actor|any|as|associatedtype|async|await|break|case|catch|class|continue|defer|default|deinit|do|else|enum|extension|fallthrough|false|fileprivate|final|for|func|get|guard|if|import|in|indirect|infix|init|inout|internal|is|lazy|let|mutating|nil|nonisolated|nonmutating|open|operator|optional|override|postfix|prefix|private|protocol|public|repeat|required|rethrows|return|self|Self|set|some|static|struct|subscript|super|switch|throw|throws|true|try|typealias|unowned|var|weak|where|while|willSet|didSet)\b)re"},
        {0, {220, 220, 170}, {121, 94, 38}, R"re(\b[a-z_]\w*(?=\s*\())re"},
    };
    return rules;
}

const std::vector<WrittenRule>& sqlRules() {
    static const std::vector<WrittenRule> rules = {
        {0, {106, 153, 85}, {0, 128, 0}, R"re(--[^\n]*)re"},
        {kDotMatchesLineSeparators, {106, 153, 85}, {0, 128, 0}, R"re(\/\*[\s\S]*?\*\/)re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re('(?:[^'\\]|\\.)*')re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(\b\d+\.?\d*\b)re"},
        {kCaseInsensitive,
         {78, 201, 176},
         {38, 127, 153},
         R"re(\b(INT|INTEGER|BIGINT|SMALLINT|TINYINT|FLOAT|DOUBLE|DECIMAL|NUMERIC|REAL|CHAR|VARCHAR|TEXT|BLOB|BOOLEAN|BOOL|DATE|DATETIME|TIMESTAMP|TIME|YEAR|BINARY|VARBINARY|JSON|UUID|SERIAL)\b)re"},
        {kCaseInsensitive,
         {86, 156, 214},
         {0, 0, 255},
         R"re(\b(SELECT|FROM|WHERE|INSERT|INTO|VALUES|UPDATE|SET|DELETE|CREATE|DROP|ALTER|TABLE|DATABASE|INDEX|VIEW|TRIGGER|PROCEDURE|FUNCTION|PRIMARY|FOREIGN|KEY|REFERENCES|UNIQUE|NOT|NULL|DEFAULT|AUTO_INCREMENT|ON|OFF|JOIN|INNER|LEFT|RIGHT|OUTER|FULL|CROSS|UNION|ALL|DISTINCT|AS|IN|EXISTS|BETWEEN|LIKE|ILIKE|IS|AND|OR|ORDER|BY|GROUP|HAVING|LIMIT|OFFSET|ASC|DESC|BEGIN|COMMIT|ROLLBACK|TRANSACTION|CONSTRAINT|CHECK|CASCADE|RESTRICT|IF|THEN|ELSE|END|CASE|WHEN|WITH|RECURSIVE)\b)re"},
        {kCaseInsensitive,
         {220, 220, 170},
         {121, 94, 38},
         R"re(\b(COUNT|SUM|AVG|MIN|MAX|COALESCE|NULLIF|IFNULL|NOW|CURDATE|DATE_FORMAT|SUBSTRING|LENGTH|UPPER|LOWER|TRIM|CONCAT|REPLACE|ROUND|FLOOR|CEIL|ABS|MOD|CAST|CONVERT)\b)re"},
    };
    return rules;
}

const std::vector<WrittenRule>& dockerfileRules() {
    static const std::vector<WrittenRule> rules = {
        {0, {106, 153, 85}, {0, 128, 0}, R"re(#[^\n]*)re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re("(?:[^"\\]|\\.)*")re"},
        {0, {156, 220, 254}, {0, 16, 128}, R"re(\$\{?[\w]+\}?)re"},
        {0, {220, 220, 170}, {121, 94, 38}, R"re(--[\w-]+)re"},
        {kCaseInsensitive | kAnchorsMatchLines,
         {86, 156, 214},
         {0, 0, 255},
         R"re(^(FROM|RUN|CMD|LABEL|EXPOSE|ENV|ADD|COPY|ENTRYPOINT|VOLUME|USER|WORKDIR|ARG|ONBUILD|STOPSIGNAL|HEALTHCHECK|SHELL|MAINTAINER)\b)re"},
    };
    return rules;
}

} // namespace syntaxrules
