#include "palette/SettingPrompts.h"

#include "settings/SettingsKeys.h"

namespace prompts {

QString toggleText(const QString& title, bool current) {
    return title + QStringLiteral("? (") + (current ? QStringLiteral("on") : QStringLiteral("off")) +
           QStringLiteral(") [on/off]");
}

QString sliderText(const QString& title, const QString& current, int min, int max) {
    return title + QStringLiteral("? (") + current + QStringLiteral(") [") + QString::number(min) +
           QLatin1Char('-') + QString::number(max) + QLatin1Char(']');
}

QString choiceText(const QString& title, const QString& current, const QStringList& options) {
    return title + QStringLiteral("? (") + current + QStringLiteral(") [") +
           options.join(QStringLiteral(", ")) + QLatin1Char(']');
}

std::optional<bool> parseToggle(const QString& answer) {
    const QString a = answer.toLower();
    if (a == QLatin1String("on")) return true;
    if (a == QLatin1String("off")) return false;
    return std::nullopt;
}

std::optional<int> parseSlider(const QString& answer, int min, int max) {
    QString a = answer;
    a.remove(QLatin1Char('%'));
    a.remove(QStringLiteral("pt"));
    // Only ASCII digits after an optional sign: toInt alone would also take spaces and other digits.
    int start = (a.startsWith(QLatin1Char('+')) || a.startsWith(QLatin1Char('-'))) ? 1 : 0;
    bool digits = a.size() > start;
    for (int i = start; i < a.size() && digits; ++i)
        digits = a[i] >= QLatin1Char('0') && a[i] <= QLatin1Char('9');
    int number = -1;
    if (digits) {
        bool ok = false;
        const int parsed = a.toInt(&ok, 10);
        if (ok) number = parsed;
    }
    if (number < min || number > max) return std::nullopt;
    return number;
}

std::optional<int> parseChoice(const QString& answer, const QStringList& options) {
    const QString a = answer.toLower();
    for (int i = 0; i < options.size(); ++i)
        if (options[i].toLower() == a) return i;
    return std::nullopt;
}

double sliderStoredValue(const QString& key, int number) {
    return key == settings::kTerminalFontSize.name ? double(number) : number / 100.0;
}

} // namespace prompts
