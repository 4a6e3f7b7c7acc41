#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

struct PullRequestInfo {
    int number = 0;
    QString title;
    QString author;
    bool operator==(const PullRequestInfo&) const = default;
};

struct RemoteCommitInfo {
    QString hash;
    QString message;
    bool operator==(const RemoteCommitInfo&) const = default;
};

struct WorkflowRunInfo {
    QString name;
    QString status;
    std::optional<QString> conclusion; // none while the run is in progress
    QString branch;
    QString htmlURL;
    bool operator==(const WorkflowRunInfo&) const = default;
};

// The last lists read for one repository. An invalid `lastFetch` stands for the distant past, so
// the next fetch is never skipped.
struct RemoteCache {
    QList<PullRequestInfo> pullRequests;
    QList<RemoteCommitInfo> remoteCommits;
    QList<WorkflowRunInfo> workflowRuns;
    QDateTime lastFetch;
};
