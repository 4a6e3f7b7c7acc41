#include "settings/PromptThemes.h"

namespace settings {

const QStringList& promptThemeNames() {
    static const QStringList names{QStringLiteral("default"), QStringLiteral("cyberpunk"),
                                   QStringLiteral("minimal"), QStringLiteral("powerline"),
                                   QStringLiteral("retro"),   QStringLiteral("lambda"),
                                   QStringLiteral("starship")};
    return names;
}

QString promptThemeName(qint64 index) {
    const QStringList& names = promptThemeNames();
    if (index < 0 || index >= names.size()) return names.first();
    return names.at(static_cast<int>(index));
}

int promptThemeIndex(const QString& name) {
    const int index = static_cast<int>(promptThemeNames().indexOf(name));
    return index < 0 ? 0 : index;
}

QString shellSingleQuote(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString promptThemeCommand(const QString& themeName, const QString& shellConfigDir) {
    const QString loader = shellConfigDir + QStringLiteral("/themes/pk-theme-loader.sh");
    return QStringLiteral(" export PK_PROMPT_THEME=") + shellSingleQuote(themeName) +
           QStringLiteral("; source ") + shellSingleQuote(loader) + QStringLiteral("; clear\n");
}

} // namespace settings
