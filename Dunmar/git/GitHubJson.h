#pragma once

#include "git/RemoteCache.h"

#include <QJsonDocument>

// The lists read from the service's answers. An answer of another shape gives an empty list; an
// element that lacks a required field, or has it of another type, is skipped.
QList<PullRequestInfo> parsePullRequests(const QJsonDocument& answer);
QList<RemoteCommitInfo> parseRemoteCommits(const QJsonDocument& answer);
QList<WorkflowRunInfo> parseWorkflowRuns(const QJsonDocument& answer);
