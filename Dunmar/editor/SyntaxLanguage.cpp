#include "editor/SyntaxLanguage.h"

#include <QHash>
#include <QStringList>
#include <array>

namespace syntaxlanguage {
namespace {

constexpr std::array<const char*, kCount> kRawValues = {
    "none",   "json", "html", "css",   "javascript", "xml", "markdown",   "shell",
    "python", "yaml", "toml", "swift", "sql",        "ini", "dockerfile",
};

const QHash<QString, SyntaxLanguage>& extensionTable() {
    static const QHash<QString, SyntaxLanguage> table = [] {
        QHash<QString, SyntaxLanguage> t;
        const auto add = [&t](SyntaxLanguage language, std::initializer_list<const char*> extensions) {
            for (const char* e : extensions) t.insert(QString::fromLatin1(e), language);
        };
        add(SyntaxLanguage::json, {"json"});
        add(SyntaxLanguage::html, {"html", "htm"});
        add(SyntaxLanguage::css, {"css"});
        add(SyntaxLanguage::javascript, {"js", "mjs", "cjs", "ts", "tsx", "jsx"});
        add(SyntaxLanguage::xml, {"xml", "svg", "plist", "xhtml"});
        add(SyntaxLanguage::markdown, {"md", "markdown", "mdown", "mkd"});
        add(SyntaxLanguage::shell, {"sh", "bash", "zsh", "fish", "ksh"});
        add(SyntaxLanguage::python, {"py", "pyw"});
        add(SyntaxLanguage::yaml, {"yml", "yaml"});
        add(SyntaxLanguage::toml, {"toml"});
        add(SyntaxLanguage::swift, {"swift"});
        add(SyntaxLanguage::sql, {"sql"});
        add(SyntaxLanguage::ini, {"ini", "cfg", "conf", "properties", "editorconfig", "gitconfig"});
        return t;
    }();
    return table;
}

bool startsWithAny(const QString& s, std::initializer_list<const char*> prefixes) {
    for (const char* p : prefixes)
        if (s.startsWith(QLatin1String(p))) return true;
    return false;
}

bool containsAny(const QString& s, std::initializer_list<const char*> needles) {
    for (const char* n : needles)
        if (s.contains(QLatin1String(n))) return true;
    return false;
}

// Lines with "key: value" among the first ten non-empty lines, not counting indented, commented
// or markup lines.
int yamlLikeLines(const QString& text) {
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    int count = 0;
    for (qsizetype i = 0; i < lines.size() && i < 10; ++i) {
        const QString& line = lines[i];
        if (line.startsWith(u' ') || line.startsWith(u'#') || line.startsWith(u'<')) continue;
        if (line.contains(QLatin1String(": "))) ++count;
    }
    return count;
}

} // namespace

QString rawValue(SyntaxLanguage language) {
    return QString::fromLatin1(kRawValues[static_cast<size_t>(language)]);
}

std::optional<SyntaxLanguage> fromRawValue(const QString& raw) {
    for (int i = 0; i < kCount; ++i)
        if (raw == QLatin1String(kRawValues[static_cast<size_t>(i)])) return static_cast<SyntaxLanguage>(i);
    return std::nullopt;
}

SyntaxLanguage detectFromFileName(const QString& pathOrName) {
    const QString name = pathOrName.section(u'/', -1).toLower();
    if (name == QLatin1String("dockerfile") || name == QLatin1String("containerfile"))
        return SyntaxLanguage::dockerfile;
    // A name whose only dot leads it (".editorconfig") has that word as its extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) return SyntaxLanguage::none;
    return extensionTable().value(name.mid(dot + 1), SyntaxLanguage::none);
}

SyntaxLanguage detectFromContent(const QString& text) {
    const QString t = text.trimmed();
    const QString l = t.toLower();
    if (t.isEmpty()) return SyntaxLanguage::none;
    if (t.startsWith(QLatin1String("#!/bin/")) || t.startsWith(QLatin1String("#!/usr/bin/env")))
        return SyntaxLanguage::shell;
    if (l.startsWith(QLatin1String("<!doctype html")) || l.startsWith(QLatin1String("<html")))
        return SyntaxLanguage::html;
    if (t.startsWith(QLatin1String("<?xml")) || t.startsWith(QLatin1String("<plist")))
        return SyntaxLanguage::xml;
    if ((t.startsWith(u'{') || t.startsWith(u'[')) && l.contains(QLatin1String("\":")))
        return SyntaxLanguage::json;
    if (startsWithAny(l, {"select ", "insert into", "create table", "drop table", "update ", "delete from"}))
        return SyntaxLanguage::sql;
    if (l.contains(QLatin1String("def ")) && containsAny(l, {"import ", "print(", "self."}))
        return SyntaxLanguage::python;
    if (l.startsWith(QLatin1String("import ")) && containsAny(l, {"\ndef ", "\nclass "}))
        return SyntaxLanguage::python;
    if (containsAny(l, {"import foundation", "import uikit", "import swiftui", "import appkit"}))
        return SyntaxLanguage::swift;
    if (l.contains(QLatin1String("func ")) && l.contains(QLatin1String("var ")) &&
        l.contains(QLatin1String("let ")))
        return SyntaxLanguage::swift;
    if (t.startsWith(QLatin1String("---\n"))) return SyntaxLanguage::yaml;
    if (yamlLikeLines(t) >= 3) return SyntaxLanguage::yaml;
    if (t.contains(QLatin1String("\n[")) && t.contains(QLatin1String(" = "))) return SyntaxLanguage::toml;
    if (t.startsWith(u'[') && t.contains(QLatin1String("]\n")) && t.contains(u'='))
        return SyntaxLanguage::ini;
    if (t.contains(u'{') && t.contains(u'}') && containsAny(l, {"color:", "margin:", "padding:", "font-"}))
        return SyntaxLanguage::css;
    if (containsAny(l, {"function ", "document.", "export default", "import {"}))
        return SyntaxLanguage::javascript;
    if (l.contains(QLatin1String("const ")) && l.contains(QLatin1String("=>")))
        return SyntaxLanguage::javascript;
    const QString firstLine = t.section(u'\n', 0, 0);
    if (firstLine.startsWith(QLatin1String("# ")) || firstLine.startsWith(QLatin1String("## ")))
        return SyntaxLanguage::markdown;
    if (t.contains(QLatin1String("\n## ")) || t.contains(QLatin1String("\n# ")))
        return SyntaxLanguage::markdown;
    return SyntaxLanguage::none;
}

} // namespace syntaxlanguage
