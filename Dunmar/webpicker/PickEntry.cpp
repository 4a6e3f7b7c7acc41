#include "webpicker/PickEntry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

const std::array<PickColor, 5>& pickColors() {
    static const std::array<PickColor, 5> colors{{
        {QColor::fromRgbF(1.0f, 0.42f, 0.42f), QStringLiteral("#FF6B6B")},
        {QColor::fromRgbF(0.27f, 0.72f, 0.82f), QStringLiteral("#45B7D1")},
        {QColor::fromRgbF(0.97f, 0.86f, 0.44f), QStringLiteral("#F7DC6F")},
        {QColor::fromRgbF(0.59f, 0.81f, 0.68f), QStringLiteral("#96CEB4")},
        {QColor::fromRgbF(0.87f, 0.63f, 0.87f), QStringLiteral("#DE99DE")},
    }};
    return colors;
}

const PickColor& pickColorFor(qint64 id) {
    // A negative id (never stored by us) still lands on a colour.
    const qint64 n = static_cast<qint64>(pickColors().size());
    return pickColors()[static_cast<size_t>(((id % n) + n) % n)];
}

QByteArray encodePickRecords(const std::vector<PickEntry>& picks) {
    // Written by hand so that the members keep their order (QJsonObject sorts its keys).
    QByteArray out = "[";
    auto str = [](const QString& s) {
        QByteArray quoted = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
        return quoted.mid(1, quoted.size() - 2);
    };
    for (size_t i = 0; i < picks.size(); ++i) {
        const PickEntry& p = picks[i];
        if (i) out += ',';
        out += "{\"id\":" + QByteArray::number(p.id) + ",\"html\":" + str(p.html) + ",\"hex\":" + str(p.hex) +
               ",\"selector\":" + str(p.selector) + ",\"innerText\":" + str(p.innerText) +
               ",\"xpath\":" + str(p.xpath) + "}";
    }
    return out + "]";
}

std::optional<std::vector<PickEntry>> decodePickRecords(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) return std::nullopt;
    std::vector<PickEntry> picks;
    for (const QJsonValue& value : doc.array()) {
        if (!value.isObject()) return std::nullopt;
        const QJsonObject o = value.toObject();
        const QJsonValue id = o.value(QLatin1String("id"));
        if (!id.isDouble()) return std::nullopt;
        const double number = id.toDouble();
        if (std::trunc(number) != number || std::abs(number) > 9.0e15) return std::nullopt;
        PickEntry entry;
        entry.id = static_cast<qint64>(number);
        for (auto [key, field] :
             {std::pair{"html", &entry.html}, std::pair{"hex", &entry.hex},
              std::pair{"selector", &entry.selector}, std::pair{"innerText", &entry.innerText},
              std::pair{"xpath", &entry.xpath}}) {
            const QJsonValue member = o.value(QLatin1String(key));
            if (!member.isString()) return std::nullopt;
            *field = member.toString();
        }
        entry.color = pickColorFor(entry.id).color;
        picks.push_back(std::move(entry));
    }
    return picks;
}
