#pragma once

#include <QString>
#include <optional>
#include <string_view>
#include <vector>

// A language the editor colours, or `none` for plain text. A language is its raw string, which
// names it in the rule cache and in saved state; what belongs to it (file names, content hints,
// rules) is its row of the language table (SyntaxLanguageTable.h).
class SyntaxLanguage {
public:
    constexpr SyntaxLanguage() = default;

    static const SyntaxLanguage none, json, html, css, javascript, xml, markdown, shell, python, yaml, toml,
        swift, sql, ini, dockerfile;

    constexpr bool operator==(const SyntaxLanguage& other) const { return raw_ == other.raw_; }
    constexpr std::string_view raw() const { return raw_; }

private:
    constexpr explicit SyntaxLanguage(std::string_view raw) : raw_(raw) {}
    std::string_view raw_ = "none";
};

inline constexpr SyntaxLanguage SyntaxLanguage::none{"none"};
inline constexpr SyntaxLanguage SyntaxLanguage::json{"json"};
inline constexpr SyntaxLanguage SyntaxLanguage::html{"html"};
inline constexpr SyntaxLanguage SyntaxLanguage::css{"css"};
inline constexpr SyntaxLanguage SyntaxLanguage::javascript{"javascript"};
inline constexpr SyntaxLanguage SyntaxLanguage::xml{"xml"};
inline constexpr SyntaxLanguage SyntaxLanguage::markdown{"markdown"};
inline constexpr SyntaxLanguage SyntaxLanguage::shell{"shell"};
inline constexpr SyntaxLanguage SyntaxLanguage::python{"python"};
inline constexpr SyntaxLanguage SyntaxLanguage::yaml{"yaml"};
inline constexpr SyntaxLanguage SyntaxLanguage::toml{"toml"};
inline constexpr SyntaxLanguage SyntaxLanguage::swift{"swift"};
inline constexpr SyntaxLanguage SyntaxLanguage::sql{"sql"};
inline constexpr SyntaxLanguage SyntaxLanguage::ini{"ini"};
inline constexpr SyntaxLanguage SyntaxLanguage::dockerfile{"dockerfile"};

namespace syntaxlanguage {

QString rawValue(SyntaxLanguage language);
// The language whose raw string is exactly `raw` (case-sensitive), `none` included; none for any
// other string.
std::optional<SyntaxLanguage> fromRawValue(const QString& raw);
// Every language with its rules, in the table's order (`none` is not one of them).
std::vector<SyntaxLanguage> all();

// The language of a file by its name: a whole name of a row ("Dockerfile"), else the extension
// after the last dot, both compared lower-cased. Unlisted names give `none`.
SyntaxLanguage detectFromFileName(const QString& pathOrName);
// The language of a text by what it starts with and contains; the first row whose hints hold
// decides.
SyntaxLanguage detectFromContent(const QString& text);

} // namespace syntaxlanguage
