#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

// One saved SSH connection. A value: copied, never shared.
struct SSHProfile {
    QString id;
    QString label;
    QString user;
    QString host;
    qint64 port = 22;
    QString keyFile;

    // A profile with a new id (a random UUID, upper case with hyphens).
    static SSHProfile make(const QString& label, const QString& user, const QString& host, qint64 port = 22,
                           const QString& keyFile = {});

    // "user@host", with ":port" only when the port is not 22.
    QString connectionText() const;
    // The command line that opens the profile, without a line end: it is typed into a shell, so
    // every argument that could mean something to the shell is quoted. "~" in the key file stands
    // for `homeDirectory`.
    QString connectCommand(const QString& homeDirectory) const;
    // The same with the current user's home folder.
    QString connectCommand() const;

    QJsonObject toJson() const;
    // Needs all six keys with their types; anything else is no profile.
    static std::optional<SSHProfile> fromJson(const QJsonObject& object);

    bool operator==(const SSHProfile&) const = default;
};

// One argument as the shell reads it back unchanged: letters, marks, digits and "/_.-+:@" stay as
// they are, anything else goes in single quotes with every quote inside written as '\''.
QString shellQuote(const QString& argument);
