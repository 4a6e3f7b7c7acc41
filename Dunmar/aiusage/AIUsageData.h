#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <optional>

// One usage window: how much of its allowance is used, in percent, and when it starts afresh.
struct AIUsageCategory {
    double utilization = 0;
    std::optional<QDateTime> resetsAt;

    bool operator==(const AIUsageCategory&) const = default;
};

// One answer of the usage endpoint.
struct AIUsageData {
    std::optional<AIUsageCategory> fiveHour;
    std::optional<AIUsageCategory> sevenDay;
    std::optional<AIUsageCategory> sevenDayOpus;
    std::optional<AIUsageCategory> sevenDaySonnet;
    bool extraUsageEnabled = false;
    std::optional<double> extraUsageUtilization;
    QDateTime fetchedAt;

    bool operator==(const AIUsageData&) const = default;

    // The stored form: the field names as keys, absent windows left out, dates as seconds since
    // 2001-01-01 00:00:00 UTC. Reading needs "extraUsageEnabled", "fetchedAt" and every present
    // window's "utilization".
    QJsonObject toJson() const;
    static std::optional<AIUsageData> fromJson(const QJsonObject& object);
};

namespace aiusage {

// The endpoint's answer: "five_hour", "seven_day", "seven_day_opus", "seven_day_sonnet" and
// "extra_usage"; other keys are ignored. `fetchedAt` is `now`.
AIUsageData parseUsageJSON(const QJsonObject& object, const QDateTime& now);
// An ISO 8601 date-time with or without fractional seconds; none for anything else.
std::optional<QDateTime> parseResetDate(const QString& text);

// Seconds since 2001-01-01 00:00:00 UTC, the epoch of the stored dates.
double toReferenceSeconds(const QDateTime& date);
QDateTime fromReferenceSeconds(double seconds);

} // namespace aiusage
