#include "aiusage/AIUsageData.h"

#include <QJsonValue>
#include <QRegularExpression>
#include <cmath>

namespace aiusage {

namespace {

// 2001-01-01 00:00:00 UTC in milliseconds since 1970.
constexpr qint64 kReferenceEpochMs = 978307200000LL;

const char* const kCategoryKeys[] = {"fiveHour", "sevenDay", "sevenDayOpus", "sevenDaySonnet"};

std::optional<AIUsageCategory> parseCategory(const QJsonObject& object, const char* key) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isObject()) return std::nullopt;
    const QJsonObject window = value.toObject();
    AIUsageCategory category;
    const QJsonValue utilization = window.value(QLatin1String("utilization"));
    if (utilization.isDouble()) category.utilization = utilization.toDouble();
    const QJsonValue resets = window.value(QLatin1String("resets_at"));
    if (resets.isString()) category.resetsAt = parseResetDate(resets.toString());
    return category;
}

} // namespace

double toReferenceSeconds(const QDateTime& date) {
    return double(date.toMSecsSinceEpoch() - kReferenceEpochMs) / 1000.0;
}

QDateTime fromReferenceSeconds(double seconds) {
    return QDateTime::fromMSecsSinceEpoch(kReferenceEpochMs + qint64(std::llround(seconds * 1000.0)),
                                          Qt::UTC);
}

std::optional<QDateTime> parseResetDate(const QString& text) {
    // The internet date-time form: a full date, "T", a full time with optional fractional seconds
    // (any number of digits), and "Z" or an offset. Qt reads more than that, so the form is checked
    // first.
    static const QRegularExpression kForm(
        QStringLiteral(R"(^(\d{4}-\d{2}-\d{2}[Tt]\d{2}:\d{2}:\d{2})(\.\d+)?([Zz]|[+-]\d{2}:\d{2})$)"));
    const QRegularExpressionMatch match = kForm.match(text);
    if (!match.hasMatch()) return std::nullopt;
    // Qt keeps milliseconds; finer digits are cut rather than refused.
    QString fraction = match.captured(2);
    if (fraction.size() > 4) fraction.truncate(4);
    QString zone = match.captured(3);
    if (zone.compare(QLatin1String("z"), Qt::CaseInsensitive) == 0) zone = QStringLiteral("Z");
    const QString normal = match.captured(1).toUpper() + fraction + zone;
    const QDateTime date = QDateTime::fromString(normal, Qt::ISODateWithMs);
    if (!date.isValid()) return std::nullopt;
    return date.toUTC();
}

AIUsageData parseUsageJSON(const QJsonObject& object, const QDateTime& now) {
    AIUsageData data;
    data.fiveHour = parseCategory(object, "five_hour");
    data.sevenDay = parseCategory(object, "seven_day");
    data.sevenDayOpus = parseCategory(object, "seven_day_opus");
    data.sevenDaySonnet = parseCategory(object, "seven_day_sonnet");
    const QJsonValue extra = object.value(QLatin1String("extra_usage"));
    if (extra.isObject()) {
        const QJsonObject e = extra.toObject();
        const QJsonValue enabled = e.value(QLatin1String("is_enabled"));
        data.extraUsageEnabled = enabled.isBool() && enabled.toBool();
        const QJsonValue utilization = e.value(QLatin1String("utilization"));
        if (utilization.isDouble()) data.extraUsageUtilization = utilization.toDouble();
    }
    data.fetchedAt = now;
    return data;
}

} // namespace aiusage

namespace {

std::optional<AIUsageCategory>* categoryField(AIUsageData& data, int i) {
    std::optional<AIUsageCategory>* fields[] = {&data.fiveHour, &data.sevenDay, &data.sevenDayOpus,
                                                &data.sevenDaySonnet};
    return fields[i];
}

} // namespace

QJsonObject AIUsageData::toJson() const {
    QJsonObject object;
    const std::optional<AIUsageCategory>* fields[] = {&fiveHour, &sevenDay, &sevenDayOpus, &sevenDaySonnet};
    for (int i = 0; i < 4; ++i) {
        const std::optional<AIUsageCategory>& category = *fields[i];
        if (!category) continue;
        QJsonObject window{{QStringLiteral("utilization"), category->utilization}};
        if (category->resetsAt)
            window.insert(QStringLiteral("resetsAt"), aiusage::toReferenceSeconds(*category->resetsAt));
        object.insert(QLatin1String(aiusage::kCategoryKeys[i]), window);
    }
    object.insert(QStringLiteral("extraUsageEnabled"), extraUsageEnabled);
    if (extraUsageUtilization) object.insert(QStringLiteral("extraUsageUtilization"), *extraUsageUtilization);
    object.insert(QStringLiteral("fetchedAt"), aiusage::toReferenceSeconds(fetchedAt));
    return object;
}

std::optional<AIUsageData> AIUsageData::fromJson(const QJsonObject& object) {
    AIUsageData data;
    for (int i = 0; i < 4; ++i) {
        const QJsonValue value = object.value(QLatin1String(aiusage::kCategoryKeys[i]));
        if (value.isUndefined() || value.isNull()) continue;
        if (!value.isObject()) return std::nullopt;
        const QJsonObject window = value.toObject();
        const QJsonValue utilization = window.value(QLatin1String("utilization"));
        if (!utilization.isDouble()) return std::nullopt;
        AIUsageCategory category;
        category.utilization = utilization.toDouble();
        const QJsonValue resets = window.value(QLatin1String("resetsAt"));
        if (resets.isDouble())
            category.resetsAt = aiusage::fromReferenceSeconds(resets.toDouble());
        else if (!resets.isUndefined() && !resets.isNull())
            return std::nullopt;
        *categoryField(data, i) = category;
    }
    const QJsonValue enabled = object.value(QLatin1String("extraUsageEnabled"));
    const QJsonValue fetched = object.value(QLatin1String("fetchedAt"));
    if (!enabled.isBool() || !fetched.isDouble()) return std::nullopt;
    data.extraUsageEnabled = enabled.toBool();
    const QJsonValue extra = object.value(QLatin1String("extraUsageUtilization"));
    if (extra.isDouble())
        data.extraUsageUtilization = extra.toDouble();
    else if (!extra.isUndefined() && !extra.isNull())
        return std::nullopt;
    data.fetchedAt = aiusage::fromReferenceSeconds(fetched.toDouble());
    return data;
}
