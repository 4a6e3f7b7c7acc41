// The rule lists of the data and markup languages, in the order they colour.
#include "editor/SyntaxRuleTables.h"

namespace syntaxrules {

const std::vector<WrittenRule>& jsonRules() {
    static const std::vector<WrittenRule> rules = {
        {kDotMatchesLineSeparators, {206, 145, 120}, {163, 21, 21}, R"re("[^"\\]*(?:\\.[^"\\]*)*")re"},
        {kDotMatchesLineSeparators, {181, 206, 168}, {9, 134, 88}, R"re(-?\b\d+\.?\d*([eE][+-]?\d+)?\b)re"},
        {kDotMatchesLineSeparators, {86, 156, 214}, {0, 0, 255}, R"re(\b(true|false|null)\b)re"},
        {kDotMatchesLineSeparators, {128, 128, 128}, {85, 85, 85}, R"re([{}\[\]:,])re"},
        {kDotMatchesLineSeparators, {156, 220, 254}, {0, 16, 128}, R"re("[^"\\]*(?:\\.[^"\\]*)*"(?=\s*:))re"},
    };
    return rules;
}

const std::vector<WrittenRule>& htmlRules() {
    static const std::vector<WrittenRule> rules = {
        {kDotMatchesLineSeparators, {106, 153, 85}, {0, 128, 0}, R"re(<!--[\s\S]*?-->)re"},
        {kCaseInsensitive, {86, 156, 214}, {0, 0, 255}, R"re(<!DOCTYPE[^>]*>)re"},
        {kDotMatchesLineSeparators, {78, 201, 176}, {128, 0, 0}, R"re(</?[\w:-]+)re"},
        {kDotMatchesLineSeparators, {156, 220, 254}, {229, 0, 0}, R"re(\b[\w:-]+(?=\s*=))re"},
        {kDotMatchesLineSeparators, {206, 145, 120}, {163, 21, 21}, R"re("[^"]*"|'[^']*')re"},
    };
    return rules;
}

const std::vector<WrittenRule>& cssRules() {
    static const std::vector<WrittenRule> rules = {
        {kDotMatchesLineSeparators, {106, 153, 85}, {0, 128, 0}, R"re(\/\*[\s\S]*?\*\/)re"},
        {kDotMatchesLineSeparators, {197, 134, 192}, {175, 0, 219}, R"re(@[\w-]+)re"},
        {kDotMatchesLineSeparators,
         {215, 186, 125},
         {128, 0, 0},
         R"re([^{};,]+(?=\s*\{))re",
         LinearForm::cssSelector},
        {kDotMatchesLineSeparators, {156, 220, 254}, {255, 0, 0}, R"re([\w-]+(?=\s*:))re"},
        {kDotMatchesLineSeparators, {206, 145, 120}, {163, 21, 21}, R"re("[^"]*"|'[^']*')re"},
        {kDotMatchesLineSeparators, {78, 201, 176}, {9, 134, 88}, R"re(#[0-9a-fA-F]{3,8}\b)re"},
        {kDotMatchesLineSeparators,
         {181, 206, 168},
         {9, 134, 88},
         R"re(\b\d+\.?\d*(%|px|em|rem|vh|vw|pt|s|ms)?\b)re"},
    };
    return rules;
}

const std::vector<WrittenRule>& xmlRules() {
    static const std::vector<WrittenRule> rules = {
        {kDotMatchesLineSeparators, {106, 153, 85}, {0, 128, 0}, R"re(<!--[\s\S]*?-->)re"},
        {kDotMatchesLineSeparators, {212, 212, 212}, {51, 51, 51}, R"re(<!\[CDATA\[[\s\S]*?\]\]>)re"},
        {kDotMatchesLineSeparators, {197, 134, 192}, {175, 0, 219}, R"re(<\?[\s\S]*?\?>)re"},
        {kCaseInsensitive, {86, 156, 214}, {0, 0, 255}, R"re(<!DOCTYPE[^>]*>)re"},
        {kDotMatchesLineSeparators, {78, 201, 176}, {128, 0, 0}, R"re(</?[\w:.-]+)re"},
        {kDotMatchesLineSeparators, {156, 220, 254}, {229, 0, 0}, R"re([\w:.-]+(?=\s*=))re"},
        {kDotMatchesLineSeparators, {206, 145, 120}, {163, 21, 21}, R"re("[^"]*"|'[^']*')re"},
    };
    return rules;
}

const std::vector<WrittenRule>& markdownRules() {
    static const std::vector<WrittenRule> rules = {
        {kAnchorsMatchLines, {181, 206, 168}, {9, 134, 88}, R"re(^```[\s\S]*?^```)re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(`[^`\n]+`)re"},
        {kAnchorsMatchLines, {86, 156, 214}, {0, 0, 255}, R"re(^#{1,6}\s+[^\n]*)re"},
        {0, {220, 220, 170}, {121, 94, 38}, R"re(\*\*[^*\n]+\*\*|__[^_\n]+__)re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re(\*[^*\n]+\*|_[^_\n]+_)re"},
        {0, {78, 201, 176}, {0, 112, 112}, R"re(!?\[[^\]]*\](\([^)]*\))?)re"},
        {kAnchorsMatchLines, {106, 153, 85}, {0, 128, 0}, R"re(^>\s[^\n]*)re"},
        {kAnchorsMatchLines, {220, 220, 170}, {121, 94, 38}, R"re(^(\s*[-*+]|\s*\d+\.)\s)re"},
        {kAnchorsMatchLines, {128, 128, 128}, {136, 136, 136}, R"re(^(---+|\*\*\*+|___+)\s*$)re"},
    };
    return rules;
}

const std::vector<WrittenRule>& yamlRules() {
    static const std::vector<WrittenRule> rules = {
        {0, {106, 153, 85}, {0, 128, 0}, R"re(#[^\n]*)re"},
        {kAnchorsMatchLines, {78, 201, 176}, {0, 112, 112}, R"re(^---$|^\.\.\.$)re"},
        {0, {197, 134, 192}, {175, 0, 219}, R"re([&*][\w]+)re"},
        {0, {78, 201, 176}, {0, 112, 112}, R"re(![\w!/]+)re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re(\"[^"]*\"|'[^']*')re"},
        {0, {86, 156, 214}, {0, 0, 255}, R"re(\b(true|false|null|yes|no|on|off|~)\b)re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(\b-?\d+\.?\d*([eE][+-]?\d+)?\b)re"},
        {kAnchorsMatchLines,
         {156, 220, 254},
         {0, 16, 128},
         R"re(^[\s-]*[\w\s.-]+(?=\s*:))re",
         LinearForm::yamlKey},
    };
    return rules;
}

const std::vector<WrittenRule>& tomlRules() {
    static const std::vector<WrittenRule> rules = {
        {0, {106, 153, 85}, {0, 128, 0}, R"re(#[^\n]*)re"},
        {kAnchorsMatchLines, {220, 220, 170}, {121, 94, 38}, R"re(^\s*\[+[^\]]+\]+)re"},
        {kDotMatchesLineSeparators,
         {206, 145, 120},
         {163, 21, 21},
         R"re(\"\"\"[\s\S]*?\"\"\"|'''[\s\S]*?''')re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re(\"(?:[^"\\]|\\.)*\"|'[^']*')re"},
        {0, {86, 156, 214}, {0, 0, 255}, R"re(\b(true|false)\b)re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(\b-?\d{4}-\d{2}-\d{2}[T\s]\d{2}:\d{2}:\d{2})re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(\b-?\d+\.?\d*([eE][+-]?\d+)?\b)re"},
        {kAnchorsMatchLines, {156, 220, 254}, {0, 16, 128}, R"re(^[\w.-]+(?=\s*=))re"},
    };
    return rules;
}

const std::vector<WrittenRule>& iniRules() {
    static const std::vector<WrittenRule> rules = {
        {0, {106, 153, 85}, {0, 128, 0}, R"re([#;][^\n]*)re"},
        {kAnchorsMatchLines, {220, 220, 170}, {121, 94, 38}, R"re(^\s*\[[^\]]+\])re"},
        {kAnchorsMatchLines, {156, 220, 254}, {0, 16, 128}, R"re(^\s*[\w.-]+(?=\s*[=:]))re"},
        {0, {206, 145, 120}, {163, 21, 21}, R"re((?<=[=:])\s*[^\n#;]+)re"},
        {0, {181, 206, 168}, {9, 134, 88}, R"re(\b\d+\.?\d*\b)re"},
    };
    return rules;
}

} // namespace syntaxrules
