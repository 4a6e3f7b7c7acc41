#pragma once

#include "editor/SyntaxLanguage.h"
#include "editor/SyntaxLanguageTable.h"

#include <QColor>
#include <QRegularExpression>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// One colouring rule: every match of `regex` (or of its capture `group`, 0 for the whole match)
// is text of `kind`, and takes `color`, the theme's colour of that kind in the list's palette.
struct SyntaxRule {
    QRegularExpression regex;
    TokenKind kind = TokenKind::keyword;
    QColor color;
    int group = 0;
    syntaxrules::LinearForm linear = syntaxrules::LinearForm::none;
};

using SyntaxRuleList = std::vector<SyntaxRule>;

namespace syntaxrules {

// The pattern a rule gets when its own does not compile: it never matches, so the rule keeps its
// place and colours nothing.
inline constexpr const char* kNeverMatches = "(?!)";

QRegularExpression::PatternOptions patternOptions(int options);
// One rule from its written form; a pattern that does not compile becomes kNeverMatches.
SyntaxRule compileRule(const WrittenRule& written, bool isDark);
// A newly built list for the language and palette; empty for `none`.
SyntaxRuleList buildRules(SyntaxLanguage language, bool isDark);
// The list under "<raw>-<true|false>", built on first use and kept for the life of the process.
// Passes run on worker threads too, so the cache is locked.
std::shared_ptr<const SyntaxRuleList> cachedRules(SyntaxLanguage language, bool isDark);
// How many lists the cache has built so far.
int cacheBuildCount();
bool isCached(SyntaxLanguage language, bool isDark);

// The colour of every UTF-16 unit of a text: 0 where no rule matched, else 1 + the index of the
// rule that coloured it last (a later rule wins where two overlap). Stops early, leaving the map
// partial, when `cancel` becomes true.
using ColourIndexMap = std::vector<std::uint8_t>;
ColourIndexMap colourIndices(const QString& text, const SyntaxRuleList& rules,
                             const std::atomic<bool>* cancel = nullptr);

} // namespace syntaxrules
