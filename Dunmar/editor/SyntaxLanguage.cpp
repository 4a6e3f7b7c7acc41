#include "editor/SyntaxLanguage.h"

#include "editor/SyntaxLanguageTable.h"

namespace syntaxlanguage {

QString rawValue(SyntaxLanguage language) {
    return QString::fromLatin1(language.raw().data(), static_cast<qsizetype>(language.raw().size()));
}

std::optional<SyntaxLanguage> fromRawValue(const QString& raw) {
    if (raw == rawValue(SyntaxLanguage::none)) return SyntaxLanguage::none;
    for (const LanguageRow& row : languageTable())
        if (raw == rawValue(row.language)) return row.language;
    return std::nullopt;
}

std::vector<SyntaxLanguage> all() {
    std::vector<SyntaxLanguage> languages;
    for (const LanguageRow& row : languageTable()) languages.push_back(row.language);
    return languages;
}

SyntaxLanguage detectFromFileName(const QString& pathOrName) {
    const QString name = pathOrName.section(u'/', -1).toLower();
    for (const LanguageRow& row : languageTable())
        if (row.fileNames.contains(name)) return row.language;
    // A name whose only dot leads it (".editorconfig") has that word as its extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) return SyntaxLanguage::none;
    const QString extension = name.mid(dot + 1);
    for (const LanguageRow& row : languageTable())
        if (row.extensions.contains(extension)) return row.language;
    return SyntaxLanguage::none;
}

SyntaxLanguage detectFromContent(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return SyntaxLanguage::none;
    const QString lower = trimmed.toLower();
    const ContentProbe probe{trimmed, lower};
    for (const LanguageRow& row : languageTable())
        if (row.looksLike && row.looksLike(probe)) return row.language;
    return SyntaxLanguage::none;
}

} // namespace syntaxlanguage
