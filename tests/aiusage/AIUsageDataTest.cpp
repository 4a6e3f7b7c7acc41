// The usage answer's parsing and the stored snapshot.
#include "aiusage/AIUsageData.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

TEST(UsageData, ResetDatesWithAndWithoutFractionsAndNothingElse) {
    const QDateTime base = QDateTime::fromString("2031-05-04T10:20:30Z", Qt::ISODate);
    const struct {
        const char* text;
        std::optional<QDateTime> date;
    } cases[] = {
        {"2031-05-04T10:20:30Z", base},
        {"2031-05-04T10:20:30.5Z", base.addMSecs(500)},
        {"2031-05-04T10:20:30.123456+00:00", base.addMSecs(123)},
        {"2031-05-04T12:20:30+02:00", base},
        {"2031-05-04 10:20:30Z", std::nullopt},
        {"2031-05-04", std::nullopt},
        {"2031-13-04T10:20:30Z", std::nullopt},
        {"soon", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(aiusage::parseResetDate(c.text), c.date) << c.text;
}

TEST(UsageData, TheStoredFormRoundTripsAndNeedsItsKeys) {
    AIUsageData data;
    data.fiveHour =
        AIUsageCategory{79.9, QDateTime::fromString("2031-05-04T10:20:30.250Z", Qt::ISODateWithMs)};
    data.sevenDayOpus = AIUsageCategory{3, std::nullopt};
    data.extraUsageEnabled = true;
    data.extraUsageUtilization = 1.5;
    data.fetchedAt = QDateTime::fromString("2001-01-01T00:01:40Z", Qt::ISODate);
    const QJsonObject json = data.toJson();
    EXPECT_DOUBLE_EQ(json.value("fetchedAt").toDouble(), 100.0) << "seconds since 2001-01-01";
    EXPECT_FALSE(json.contains("sevenDay")) << "absent windows are left out";
    EXPECT_FALSE(json.value("sevenDayOpus").toObject().contains("resetsAt"));
    EXPECT_EQ(AIUsageData::fromJson(json), data);

    const struct {
        const char* what;
        const char* json;
    } broken[] = {
        {"no fetchedAt", R"({"extraUsageEnabled":false})"},
        {"no extraUsageEnabled", R"({"fetchedAt":1})"},
        {"a window without utilization",
         R"({"extraUsageEnabled":false,"fetchedAt":1,"fiveHour":{"resetsAt":2}})"},
        {"a window that is no object", R"({"extraUsageEnabled":false,"fetchedAt":1,"sevenDay":5})"},
    };
    for (const auto& b : broken)
        EXPECT_FALSE(AIUsageData::fromJson(QJsonDocument::fromJson(b.json).object())) << b.what;
    EXPECT_TRUE(AIUsageData::fromJson(
        QJsonDocument::fromJson(R"({"extraUsageEnabled":false,"fetchedAt":1})").object()));
}

TEST(UsageData, ExtraUsageIsReadWhetherOrNotItIsOn) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const AIUsageData off = aiusage::parseUsageJSON(
        QJsonDocument::fromJson(R"({"extra_usage":{"is_enabled":false,"utilization":12.5}})").object(), now);
    EXPECT_FALSE(off.extraUsageEnabled);
    EXPECT_EQ(off.extraUsageUtilization, 12.5);
    const AIUsageData odd = aiusage::parseUsageJSON(
        QJsonDocument::fromJson(R"({"extra_usage":{"is_enabled":"yes"},"five_hour":{}})").object(), now);
    EXPECT_FALSE(odd.extraUsageEnabled);
    EXPECT_FALSE(odd.extraUsageUtilization);
    ASSERT_TRUE(odd.fiveHour);
    EXPECT_EQ(odd.fiveHour->utilization, 0);
    EXPECT_EQ(odd.fetchedAt, now);
}
