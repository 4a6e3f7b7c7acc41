#pragma once

#include <QString>
#include <optional>

struct OwnerRepo {
    QString owner;
    QString repo;
    bool operator==(const OwnerRepo&) const = default;
};

// Owner and repository of a remote URL on `host`, in the SSH form ("git@host:owner/repo.git") or
// the web form ("https://host/owner/repo.git"); nothing for a remote on another host. Only a
// trailing ".git" and trailing slashes are dropped: ".git" inside a name belongs to it.
std::optional<OwnerRepo> extractOwnerRepo(const QString& url, const QString& host);
