#pragma once

#include "editor/SyntaxLanguage.h"
#include "editor/SyntaxTheme.h"

#include <QString>
#include <QStringList>
#include <vector>

// Every language the editor colours, one row each: its name, the file names and extensions that
// select it, the hints in a text that name it, and its colouring rules as written.
namespace syntaxrules {

// Matching options of a rule, combinable.
constexpr int kCaseInsensitive = 1;
constexpr int kDotMatchesLineSeparators = 8;
constexpr int kAnchorsMatchLines = 16;

// Two patterns backtrack without end on ordinary hostile input (a long YAML list whose keys the
// run cannot reach; a long data: URI inside CSS): each start re-scans the same run and gives up at
// its end, so the work grows with the square of the run. Both are a run of one character class
// that must be followed by one character; they are matched by a linear scan that yields the very
// same matches.
enum class LinearForm {
    none,
    yamlKey,     // ^[\s-]*[\w\s.-]+(?=\s*:) with ^ at line starts: a run of [\w\s.-] before ":"
    cssSelector, // [^{};,]+(?=\s*\{): a run of [^{};,] before "{"
};

// A rule as written: its options, the kind of text it finds, its pattern.
struct WrittenRule {
    int options = 0;
    TokenKind kind = TokenKind::keyword;
    const char* pattern = "";
    LinearForm linear = LinearForm::none;
};

} // namespace syntaxrules

namespace syntaxlanguage {

// A text as the content hints look at it: trimmed of white space at both ends, and that lower-cased.
struct ContentProbe {
    const QString& trimmed;
    const QString& lower;
};

struct LanguageRow {
    SyntaxLanguage language;
    QStringList fileNames;  // whole file names, lower-case
    QStringList extensions; // after the last dot, lower-case
    // Whether a text looks like this language; none when no text names it.
    bool (*looksLike)(const ContentProbe&) = nullptr;
    std::vector<syntaxrules::WrittenRule> rules; // in the order they colour
};

// The rows, in the order a text's hints are tried: the first row whose hints hold names it.
const std::vector<LanguageRow>& languageTable();
// The row of a language; none for `none`.
const LanguageRow* rowOf(SyntaxLanguage language);

} // namespace syntaxlanguage
