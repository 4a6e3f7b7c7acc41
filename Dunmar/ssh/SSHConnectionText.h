#pragma once

#include <QString>
#include <optional>

// What the form's connection field says: "host", "user@host" or "user@host:port".
struct SSHConnectionTarget {
    QString user;
    QString host;
    qint64 port = 22;

    bool operator==(const SSHConnectionTarget&) const = default;
};

// Reads a connection text. Without "@" the user is "root"; a missing, empty or unreadable port is
// 22; a text without a host is none.
std::optional<SSHConnectionTarget> parseConnectionText(const QString& text);

// The text without blanks and tabs at either end (line breaks stay).
QString trimBlanks(const QString& text);
