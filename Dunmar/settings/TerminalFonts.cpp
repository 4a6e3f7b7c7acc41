#include "settings/TerminalFonts.h"

#include <QFontDatabase>

namespace settings {
namespace {

struct FontChoice {
    QString label;
    QStringList families; // the installed names to look for, best first
};

const QList<FontChoice>& choices() {
    static const QList<FontChoice> list{
        {QStringLiteral("Fira Code"), {QStringLiteral("Fira Code")}},
        {QStringLiteral("JetBrains Mono"), {QStringLiteral("JetBrains Mono")}},
        {QStringLiteral("Monocraft"), {QStringLiteral("Monocraft")}},
        {QStringLiteral("Iosevka Thin"), {QStringLiteral("Iosevka Thin"), QStringLiteral("Iosevka")}},
    };
    return list;
}

} // namespace

const QStringList& terminalFontChoices() {
    static const QStringList labels = [] {
        QStringList out;
        for (const FontChoice& choice : choices()) out << choice.label;
        return out;
    }();
    return labels;
}

QString terminalFontFamily(qint64 index) {
    const QList<FontChoice>& list = choices();
    const qsizetype i = index < 0 ? 0 : std::min<qint64>(index, list.size() - 1);
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : list.at(i).families)
        if (installed.contains(family)) return family;
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

} // namespace settings
