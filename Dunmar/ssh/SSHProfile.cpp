#include "ssh/SSHProfile.h"

#include <QDir>
#include <QJsonValue>
#include <QUuid>
#include <cmath>

namespace {

bool isSafeForShell(QChar::Category category) {
    switch (category) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
        return true;
    default:
        return false;
    }
}

bool needsQuoting(const QString& text) {
    static const QString kSafePunctuation = QStringLiteral("/_.-+:@");
    // By code point, so that a letter outside the basic plane counts as a letter.
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80 && kSafePunctuation.contains(QChar(c))) continue;
        if (!isSafeForShell(QChar::category(c))) return true;
    }
    return false;
}

} // namespace

bool hasControlCharacters(QStringView text) {
    // Every C0 and C1 control is one UTF-16 unit, so no surrogate pair needs decoding.
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) return true;
    }
    return false;
}

QString shellQuote(const QString& argument) {
    if (!needsQuoting(argument)) return argument;
    QString quoted = argument;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

SSHProfile SSHProfile::make(const QString& label, const QString& user, const QString& host, qint64 port,
                            const QString& keyFile) {
    SSHProfile p;
    p.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    p.label = label;
    p.user = user;
    p.host = host;
    p.port = port;
    p.keyFile = keyFile;
    return p;
}

QString SSHProfile::connectionText() const {
    QString text = user + QLatin1Char('@') + host;
    if (port != 22) text += QLatin1Char(':') + QString::number(port);
    return text;
}

bool SSHProfile::isValid() const {
    for (const QString* field : {&label, &user, &host, &keyFile})
        if (hasControlCharacters(*field)) return false;
    return !user.startsWith(QLatin1Char('-')) && !host.startsWith(QLatin1Char('-'));
}

std::optional<QString> SSHProfile::connectCommand(const QString& homeDirectory) const {
    if (!isValid()) return std::nullopt;
    QString command = QStringLiteral("ssh");
    if (port != 22) command += QStringLiteral(" -p ") + QString::number(port);
    if (!keyFile.isEmpty()) {
        QString home = homeDirectory;
        while (home.size() > 1 && home.endsWith(QLatin1Char('/'))) home.chop(1);
        QString path = keyFile;
        path.replace(QLatin1Char('~'), home);
        // The option's value is the next argument whatever it starts with; only the home folder
        // could still bring a control character in.
        command += QStringLiteral(" -i ") + shellQuote(path);
    }
    // The two are quoted apart, so "@" stands outside any quotes.
    command += QStringLiteral(" -- ") + shellQuote(user) + QLatin1Char('@') + shellQuote(host);
    if (hasControlCharacters(command)) return std::nullopt;
    return command;
}

std::optional<QString> SSHProfile::connectCommand() const {
    return connectCommand(QDir::homePath());
}

QJsonObject SSHProfile::toJson() const {
    return QJsonObject{{QStringLiteral("id"), id},     {QStringLiteral("label"), label},
                       {QStringLiteral("user"), user}, {QStringLiteral("host"), host},
                       {QStringLiteral("port"), port}, {QStringLiteral("keyFile"), keyFile}};
}

std::optional<SSHProfile> SSHProfile::fromJson(const QJsonObject& object) {
    SSHProfile p;
    for (auto [key, field] :
         {std::pair{"id", &p.id}, std::pair{"label", &p.label}, std::pair{"user", &p.user},
          std::pair{"host", &p.host}, std::pair{"keyFile", &p.keyFile}}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isString()) return std::nullopt;
        *field = value.toString();
    }
    // The port is a whole number; JSON keeps every number as a double, so one with a fraction or
    // beyond the exact integers is no port.
    const QJsonValue port = object.value(QLatin1String("port"));
    if (!port.isDouble()) return std::nullopt;
    const double number = port.toDouble();
    constexpr double kExactLimit = 9007199254740992.0; // 2^53
    if (std::fabs(number) > kExactLimit || number != std::trunc(number)) return std::nullopt;
    p.port = port.toInteger();
    return p;
}
