#include "git/GitHubJson.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

namespace {

// An integer: JSON numbers arrive as doubles, and a fraction is no pull-request number.
std::optional<int> integer(const QJsonValue& v) {
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    if (d != static_cast<double>(static_cast<long long>(d)) || d < INT_MIN || d > INT_MAX)
        return std::nullopt;
    return static_cast<int>(d);
}

} // namespace

QList<PullRequestInfo> parsePullRequests(const QJsonDocument& answer) {
    QList<PullRequestInfo> list;
    for (const QJsonValue& v : answer.array()) {
        const QJsonObject pr = v.toObject();
        const std::optional<int> number = integer(pr.value(QLatin1String("number")));
        const QJsonValue title = pr.value(QLatin1String("title"));
        if (!number || !title.isString()) continue;
        const QJsonValue login = pr.value(QLatin1String("user")).toObject().value(QLatin1String("login"));
        list.push_back(
            {*number, title.toString(), login.isString() ? login.toString() : QStringLiteral("?")});
    }
    return list;
}

QList<RemoteCommitInfo> parseRemoteCommits(const QJsonDocument& answer) {
    QList<RemoteCommitInfo> list;
    for (const QJsonValue& v : answer.array()) {
        const QJsonObject c = v.toObject();
        const QJsonValue sha = c.value(QLatin1String("sha"));
        const QJsonValue message =
            c.value(QLatin1String("commit")).toObject().value(QLatin1String("message"));
        if (!sha.isString() || !message.isString()) continue;
        const QString text = message.toString();
        const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        list.push_back({sha.toString().left(7), lines.isEmpty() ? text : lines.first()});
    }
    return list;
}

QList<WorkflowRunInfo> parseWorkflowRuns(const QJsonDocument& answer) {
    QList<WorkflowRunInfo> list;
    for (const QJsonValue& v : answer.object().value(QLatin1String("workflow_runs")).toArray()) {
        const QJsonObject run = v.toObject();
        auto text = [&run](const char* key) { return run.value(QLatin1String(key)); };
        if (!text("name").isString() || !text("status").isString() || !text("head_branch").isString() ||
            !text("html_url").isString())
            continue;
        const QJsonValue conclusion = text("conclusion");
        list.push_back({text("name").toString(), text("status").toString(),
                        conclusion.isString() ? std::optional<QString>(conclusion.toString()) : std::nullopt,
                        text("head_branch").toString(), text("html_url").toString()});
    }
    return list;
}
