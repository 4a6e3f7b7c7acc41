#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The one-line questions of the palette's setting commands: their texts and how an answer is read.
namespace prompts {

// "Always on Top? (off) [on/off]"
QString toggleText(const QString& title, bool current);
// "Opacity? (85%) [30-100]"
QString sliderText(const QString& title, const QString& current, int min, int max);
// "Theme? (default) [default, cyberpunk, ...]"
QString choiceText(const QString& title, const QString& current, const QStringList& options);
inline const QString kResetText = QStringLiteral("Sure? (y/n)");

// "on" or "off" in any letter case; anything else is no answer.
std::optional<bool> parseToggle(const QString& answer);
// A whole number within [min, max] after every "%" and then every "pt" is removed: an optional
// sign, then ASCII digits and nothing else.
std::optional<int> parseSlider(const QString& answer, int min, int max);
// The position of the first option equal to the answer in any letter case.
std::optional<int> parseChoice(const QString& answer, const QStringList& options);

// What a slider answer stores: the number itself for the font size, a fraction otherwise.
double sliderStoredValue(const QString& key, int number);

} // namespace prompts
