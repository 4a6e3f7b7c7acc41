#include "editor/SyntaxRule.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>

namespace syntaxrules {

namespace {

struct Cache {
    QMutex mutex;
    QHash<QString, std::shared_ptr<const SyntaxRuleList>> lists;
    int builds = 0;
};

Cache& cache() {
    static Cache c;
    return c;
}

QString cacheKey(SyntaxLanguage language, bool isDark) {
    return syntaxlanguage::rawValue(language) + (isDark ? QStringLiteral("-true") : QStringLiteral("-false"));
}

// The character classes of the two linear forms, as the patterns read them with Unicode
// properties: \w is a letter, a number or "_", \s any white space.
bool isYamlKeyChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.isSpace() || c == u'.' || c == u'-';
}

bool isCssSelectorChar(QChar c) {
    return c != u'{' && c != u'}' && c != u';' && c != u',';
}

void paint(ColourIndexMap& map, qsizetype start, qsizetype length, std::uint8_t index) {
    std::fill(map.begin() + start, map.begin() + start + length, index);
}

// A run of `inClass` characters that ends right before `follower`; a start that fails gives up
// the whole run, since every later start inside it reaches the same end.
template <typename InClass>
void paintRunsBefore(const QString& text, ColourIndexMap& map, std::uint8_t index, InClass inClass,
                     QChar follower, bool lineStartsOnly) {
    const qsizetype n = text.size();
    qsizetype s = 0;
    while (s < n) {
        if (lineStartsOnly && s > 0 && text[s - 1] != u'\n') {
            const qsizetype next = text.indexOf(u'\n', s);
            if (next < 0) break;
            s = next + 1;
            continue;
        }
        qsizetype e = s;
        while (e < n && inClass(text[e])) ++e;
        if (e > s && e < n && text[e] == follower) paint(map, s, e - s, index);
        s = e > s ? e : s + 1;
    }
}

} // namespace

QRegularExpression::PatternOptions patternOptions(int options) {
    // Unicode properties give \w, \s, \d and \b the Unicode meaning the patterns are written for.
    QRegularExpression::PatternOptions o = QRegularExpression::UseUnicodePropertiesOption;
    if (options & kCaseInsensitive) o |= QRegularExpression::CaseInsensitiveOption;
    if (options & kDotMatchesLineSeparators) o |= QRegularExpression::DotMatchesEverythingOption;
    if (options & kAnchorsMatchLines) o |= QRegularExpression::MultilineOption;
    return o;
}

SyntaxRule compileRule(const WrittenRule& written, bool isDark) {
    SyntaxRule rule;
    rule.regex = QRegularExpression(QString::fromUtf8(written.pattern), patternOptions(written.options));
    if (!rule.regex.isValid()) rule.regex = QRegularExpression(QString::fromLatin1(kNeverMatches));
    rule.regex.optimize();
    rule.kind = written.kind;
    rule.color = syntaxtheme::colourOf(written.kind, isDark);
    rule.linear =
        rule.regex.pattern() == QString::fromUtf8(written.pattern) ? written.linear : LinearForm::none;
    return rule;
}

SyntaxRuleList buildRules(SyntaxLanguage language, bool isDark) {
    SyntaxRuleList rules;
    if (const syntaxlanguage::LanguageRow* row = syntaxlanguage::rowOf(language))
        for (const WrittenRule& written : row->rules) rules.push_back(compileRule(written, isDark));
    return rules;
}

std::shared_ptr<const SyntaxRuleList> cachedRules(SyntaxLanguage language, bool isDark) {
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    const QString key = cacheKey(language, isDark);
    if (auto it = c.lists.constFind(key); it != c.lists.constEnd()) return *it;
    auto list = std::make_shared<const SyntaxRuleList>(buildRules(language, isDark));
    ++c.builds;
    if (language != SyntaxLanguage::none) c.lists.insert(key, list);
    return list;
}

int cacheBuildCount() {
    QMutexLocker lock(&cache().mutex);
    return cache().builds;
}

bool isCached(SyntaxLanguage language, bool isDark) {
    QMutexLocker lock(&cache().mutex);
    return cache().lists.contains(cacheKey(language, isDark));
}

ColourIndexMap colourIndices(const QString& text, const SyntaxRuleList& rules,
                             const std::atomic<bool>* cancel) {
    ColourIndexMap map(static_cast<size_t>(text.size()), 0);
    for (size_t r = 0; r < rules.size(); ++r) {
        if (cancel && cancel->load(std::memory_order_relaxed)) break;
        const SyntaxRule& rule = rules[r];
        const auto index = static_cast<std::uint8_t>(r + 1);
        switch (rule.linear) {
        case LinearForm::yamlKey:
            paintRunsBefore(text, map, index, isYamlKeyChar, u':', true);
            continue;
        case LinearForm::cssSelector:
            paintRunsBefore(text, map, index, isCssSelectorChar, u'{', false);
            continue;
        case LinearForm::none:
            break;
        }
        QRegularExpressionMatchIterator it = rule.regex.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            int group = rule.group < 1 ? 0 : rule.group;
            if (group > rule.regex.captureCount()) group = 0;
            const qsizetype start = m.capturedStart(group);
            if (start < 0) continue;
            paint(map, start, m.capturedLength(group), index);
        }
    }
    return map;
}

} // namespace syntaxrules
