#pragma once

#include <QString>
#include <optional>

// The languages the editor colours, and `none` for plain text. The raw strings name a language in
// the rule cache and in saved state; the order is the order of the cases.
enum class SyntaxLanguage {
    none,
    json,
    html,
    css,
    javascript,
    xml,
    markdown,
    shell,
    python,
    yaml,
    toml,
    swift,
    sql,
    ini,
    dockerfile,
};

namespace syntaxlanguage {

constexpr int kCount = 15;

QString rawValue(SyntaxLanguage language);
// The case whose raw string is exactly `raw` (case-sensitive); none for any other string.
std::optional<SyntaxLanguage> fromRawValue(const QString& raw);

// The language of a file by its name: "Dockerfile"/"Containerfile" as a whole name, else the
// extension after the last dot, both compared lower-cased. Unlisted names give `none`.
SyntaxLanguage detectFromFileName(const QString& pathOrName);
// The language of a text by what it starts with and contains; the first rule that holds decides.
SyntaxLanguage detectFromContent(const QString& text);

} // namespace syntaxlanguage
