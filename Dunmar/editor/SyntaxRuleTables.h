#pragma once

#include <vector>

// The rule lists as written: options, the colour in each palette, the pattern. SyntaxRule builds
// compiled lists from them.
namespace syntaxrules {

// Matching options of a rule, combinable.
constexpr int kCaseInsensitive = 1;
constexpr int kDotMatchesLineSeparators = 8;
constexpr int kAnchorsMatchLines = 16;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

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

struct WrittenRule {
    int options = 0;
    Rgb dark;
    Rgb light;
    const char* pattern = "";
    LinearForm linear = LinearForm::none;
};

const std::vector<WrittenRule>& jsonRules();
const std::vector<WrittenRule>& htmlRules();
const std::vector<WrittenRule>& cssRules();
const std::vector<WrittenRule>& xmlRules();
const std::vector<WrittenRule>& markdownRules();
const std::vector<WrittenRule>& yamlRules();
const std::vector<WrittenRule>& tomlRules();
const std::vector<WrittenRule>& iniRules();
const std::vector<WrittenRule>& javascriptRules();
const std::vector<WrittenRule>& shellRules();
const std::vector<WrittenRule>& pythonRules();
const std::vector<WrittenRule>& swiftRules();
const std::vector<WrittenRule>& sqlRules();
const std::vector<WrittenRule>& dockerfileRules();

} // namespace syntaxrules
