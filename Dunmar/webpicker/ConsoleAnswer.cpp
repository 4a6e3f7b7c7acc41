#include "webpicker/ConsoleAnswer.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <cmath>

namespace {

// JSON's numbers and booleans as text: whole numbers without a fraction.
QString scalarText(const QJsonValue& value) {
    if (value.isBool()) return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble()) {
        const double d = value.toDouble();
        if (d == static_cast<double>(static_cast<qint64>(d)) && std::abs(d) < 1e15)
            return QString::number(static_cast<qint64>(d));
        return QString::number(d, 'g', 17);
    }
    return QStringLiteral("?");
}

} // namespace

ConsoleAnswer consoleAnswer(const std::optional<QJsonObject>& answer) {
    if (!answer || !answer->value(QLatin1String("result")).isObject())
        return {QStringLiteral("– no response"), ConsoleAnswer::Kind::noResponse};
    const QJsonObject r = answer->value(QLatin1String("result")).toObject();
    const QJsonValue description = answer->value(QLatin1String("exceptionDetails"))
                                       .toObject()
                                       .value(QLatin1String("exception"))
                                       .toObject()
                                       .value(QLatin1String("description"));
    if (description.isString())
        return {QStringLiteral("✕ ") + description.toString(), ConsoleAnswer::Kind::error};

    const QString type = r.value(QLatin1String("type")).toString();
    const QJsonValue value = r.value(QLatin1String("value"));
    const QJsonValue desc = r.value(QLatin1String("description"));
    QString shown;
    if (type == QLatin1String("undefined") || type == QLatin1String("null")) {
        shown = type;
    } else if (type == QLatin1String("string")) {
        shown = QLatin1Char('"') + value.toString() + QLatin1Char('"');
    } else if (type == QLatin1String("number") || type == QLatin1String("boolean")) {
        shown = value.isUndefined() ? QStringLiteral("?") : scalarText(value);
    } else if (type == QLatin1String("object")) {
        if (r.value(QLatin1String("subtype")).toString() == QLatin1String("null"))
            shown = QStringLiteral("null");
        else
            shown = desc.isString() ? desc.toString() : QStringLiteral("{…}");
    } else {
        shown = desc.isString() ? desc.toString() : type;
    }
    return {QStringLiteral("= ") + shown, ConsoleAnswer::Kind::value};
}
