#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

// What the script console's result line shows for the browser's answer to an evaluation.
struct ConsoleAnswer {
    enum class Kind { value, error, noResponse };
    QString text;
    Kind kind = Kind::value;
};

// `answer` is the "result" object of the browser's reply to Runtime.evaluate: the value's
// description in "result", and "exceptionDetails" when the script threw.
ConsoleAnswer consoleAnswer(const std::optional<QJsonObject>& answer);
