#include "editor/Formatters.h"

#include <QDir>
#include <QFileInfo>

namespace formatters {

std::optional<Formatter> externalFormatter(SyntaxLanguage language, const QString& fileExtension) {
    const QString prettierHint = QStringLiteral("npm install -g prettier");
    const auto prettier = [&](const QString& parser, const QString& file) {
        return Formatter{QStringLiteral("npx"),
                         {QStringLiteral("prettier"), QStringLiteral("--parser"), parser,
                          QStringLiteral("--stdin-filepath"), file},
                         prettierHint};
    };
    if (language == SyntaxLanguage::html)
        return prettier(QStringLiteral("html"),
                        QStringLiteral("file.") +
                            (fileExtension.isEmpty() ? QStringLiteral("html") : fileExtension));
    if (language == SyntaxLanguage::css) return prettier(QStringLiteral("css"), QStringLiteral("file.css"));
    if (language == SyntaxLanguage::javascript)
        return prettier(QStringLiteral("babel"), QStringLiteral("file.js"));
    if (language == SyntaxLanguage::python)
        return Formatter{QStringLiteral("black"),
                         {QStringLiteral("--quiet"), QStringLiteral("-")},
                         QStringLiteral("pip install black")};
    // Debian has no package of it; it comes with the Swift toolchain.
    if (language == SyntaxLanguage::swift)
        return Formatter{QStringLiteral("swift-format"),
                         {},
                         QStringLiteral("swift-format installieren (Swift-Toolchain)")};
    return std::nullopt;
}

QStringList defaultSearchDirs() {
    const QString home = QDir::homePath();
    return {home + QStringLiteral("/.nvm/current/bin"), home + QStringLiteral("/.local/bin"),
            QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/bin")};
}

std::optional<QString> findExecutable(const QString& name, const QStringList& dirs) {
    for (const QString& dir : dirs) {
        const QFileInfo candidate(dir + u'/' + name);
        if (candidate.isFile() && candidate.isExecutable()) return candidate.filePath();
    }
    return std::nullopt;
}

QString formatterPath(const QStringList& dirs, const QString& inheritedPath) {
    return dirs.join(u':') + u':' + inheritedPath;
}

} // namespace formatters
