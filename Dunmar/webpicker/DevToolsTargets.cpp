#include "webpicker/DevToolsTargets.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <vector>

namespace devtools {

namespace {

// The list as objects; none when the body is not an array of objects.
std::optional<std::vector<QJsonObject>> targetList(const QByteArray& body) {
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (!doc.isArray()) return std::nullopt;
    std::vector<QJsonObject> targets;
    for (const QJsonValue& v : doc.array()) {
        if (!v.isObject()) return std::nullopt;
        targets.push_back(v.toObject());
    }
    return targets;
}

bool isUsablePage(const QJsonObject& target) {
    const QJsonValue type = target.value(QLatin1String("type"));
    const QJsonValue url = target.value(QLatin1String("url"));
    if (!type.isString() || !url.isString() || type.toString() != QLatin1String("page")) return false;
    const QString address = url.toString();
    return address.startsWith(QLatin1String("http://")) || address.startsWith(QLatin1String("https://")) ||
           address == QLatin1String("about:blank");
}

// Chromium's list writes page titles HTML-escaped (its EscapeForHTML: & < > " '), the other members
// as they are; the title is the page's own text again once those five are undone.
QString unescapedTitle(const QString& listed) {
    static const std::pair<QLatin1String, QChar> kEntities[] = {
        {QLatin1String("&amp;"), QLatin1Char('&')},  {QLatin1String("&lt;"), QLatin1Char('<')},
        {QLatin1String("&gt;"), QLatin1Char('>')},   {QLatin1String("&quot;"), QLatin1Char('"')},
        {QLatin1String("&#39;"), QLatin1Char('\'')},
    };
    QString out;
    out.reserve(listed.size());
    for (qsizetype i = 0; i < listed.size();) {
        bool replaced = false;
        if (listed[i] == QLatin1Char('&')) {
            for (const auto& [entity, character] : kEntities) {
                if (QStringView(listed).mid(i).startsWith(entity)) {
                    out += character;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += listed[i++];
    }
    return out;
}

std::optional<QString> webSocketOf(const QJsonObject& target) {
    const QJsonValue ws = target.value(QLatin1String("webSocketDebuggerUrl"));
    if (!ws.isString()) return std::nullopt;
    return ws.toString();
}

} // namespace

std::optional<QString> chooseTargetWebSocket(const QByteArray& listBody,
                                             const std::optional<QString>& preferredTargetId) {
    const auto targets = targetList(listBody);
    if (!targets) return std::nullopt;
    std::vector<QJsonObject> candidates;
    for (const QJsonObject& t : *targets)
        if (isUsablePage(t)) candidates.push_back(t);
    if (candidates.empty()) return std::nullopt;
    if (preferredTargetId) {
        for (const QJsonObject& t : candidates) {
            const QJsonValue id = t.value(QLatin1String("id"));
            if (id.isString() && id.toString() == *preferredTargetId) {
                if (auto ws = webSocketOf(t)) return ws;
                break;
            }
        }
    }
    return webSocketOf(candidates.front());
}

std::optional<QString> targetHost(const QByteArray& listBody, const QString& targetId) {
    const auto targets = targetList(listBody);
    if (!targets) return std::nullopt;
    for (const QJsonObject& t : *targets) {
        const QJsonValue id = t.value(QLatin1String("id"));
        if (!id.isString() || id.toString() != targetId) continue;
        const QJsonValue url = t.value(QLatin1String("url"));
        if (!url.isString()) return std::nullopt;
        const QString address = url.toString();
        if (address.isEmpty() || address == QLatin1String("about:blank")) return QString();
        const QUrl parsed(address, QUrl::StrictMode);
        if (parsed.isValid() && !parsed.host().isEmpty()) return parsed.host();
        return address;
    }
    return std::nullopt;
}

std::optional<QString> newTargetWebSocket(const QByteArray& body) {
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (!doc.isObject()) return std::nullopt;
    return webSocketOf(doc.object());
}

std::optional<QString> targetIdOfWebSocket(const QString& webSocketUrl) {
    const QUrl url(webSocketUrl, QUrl::StrictMode);
    if (!url.isValid()) return std::nullopt;
    const QString id = url.fileName();
    if (id.isEmpty()) return std::nullopt;
    return id;
}

QString waitingStatusText(int remaining) {
    return QStringLiteral("Waiting for Chrome") + QString(4 - (remaining & 3), QLatin1Char('.'));
}

std::optional<QString> navigationUrl(const QString& typed) {
    qsizetype begin = 0, end = typed.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(typed[begin])) ++begin;
    while (end > begin && blank(typed[end - 1])) --end;
    QString text = typed.mid(begin, end - begin);
    if (text.isEmpty()) return std::nullopt;
    if (!text.contains(QLatin1String("://"))) {
        const bool local = text.startsWith(QLatin1String("localhost")) ||
                           text.startsWith(QLatin1String("127.0.0.1")) ||
                           text.startsWith(QLatin1String("0.0.0.0"));
        text.prepend(local ? QLatin1String("http://") : QLatin1String("https://"));
    }
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    return text;
}

std::optional<std::vector<ListedPage>> listedPages(const QByteArray& listBody) {
    const auto targets = targetList(listBody);
    if (!targets) return std::nullopt;
    std::vector<ListedPage> pages;
    for (const QJsonObject& t : *targets) {
        if (t.value(QLatin1String("type")).toString() != QLatin1String("page")) continue;
        pages.push_back({t.value(QLatin1String("id")).toString(),
                         unescapedTitle(t.value(QLatin1String("title")).toString()),
                         t.value(QLatin1String("url")).toString(),
                         t.value(QLatin1String("webSocketDebuggerUrl")).toString()});
    }
    return pages;
}

std::optional<QString> targetUrl(const QByteArray& listBody, const std::optional<QString>& targetId) {
    const auto targets = targetList(listBody);
    if (!targets) return std::nullopt;
    for (const QJsonObject& t : *targets) {
        const QJsonValue id = t.value(QLatin1String("id"));
        const bool match = id.isString() ? targetId && id.toString() == *targetId : !targetId;
        if (!match) continue;
        const QJsonValue url = t.value(QLatin1String("url"));
        if (!url.isString()) return std::nullopt;
        return url.toString();
    }
    return std::nullopt;
}

} // namespace devtools
