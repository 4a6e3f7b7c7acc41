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

struct RuleSpec {
    int options = 0;
    Rgb dark;
    Rgb light;
    const char* pattern = "";
    LinearForm linear = LinearForm::none;
};

const std::vector<RuleSpec>& jsonRules();
const std::vector<RuleSpec>& htmlRules();
const std::vector<RuleSpec>& cssRules();
const std::vector<RuleSpec>& xmlRules();
const std::vector<RuleSpec>& markdownRules();
const std::vector<RuleSpec>& yamlRules();
const std::vector<RuleSpec>& tomlRules();
const std::vector<RuleSpec>& iniRules();
const std::vector<RuleSpec>& javascriptRules();
const std::vector<RuleSpec>& shellRules();
const std::vector<RuleSpec>& pythonRules();
const std::vector<RuleSpec>& swiftRules();
const std::vector<RuleSpec>& sqlRules();
const std::vector<RuleSpec>& dockerfileRules();

} // namespace syntaxrules
