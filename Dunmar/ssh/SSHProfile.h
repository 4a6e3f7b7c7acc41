#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringView>
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
    // Whether the profile may be typed into a shell at all: no field holds a control character (a
    // line editor would act on it as a key: Control-U, Control-C and a carriage return turn one
    // field into commands of its own), and neither the user nor the host starts with "-", which
    // ssh would take for an option. Stored profiles come from a file anyone may have edited.
    bool isValid() const;
    // The command line that opens the profile, without a line end, or none for a profile that is
    // not valid. It is typed into a shell, so every argument that could mean something to the
    // shell is quoted, and "--" ends ssh's options before the destination. "~" in the key file
    // stands for `homeDirectory`.
    std::optional<QString> connectCommand(const QString& homeDirectory) const;
    // The same with the current user's home folder.
    std::optional<QString> connectCommand() const;

    QJsonObject toJson() const;
    // Needs all six keys with their types; anything else is no profile.
    static std::optional<SSHProfile> fromJson(const QJsonObject& object);

    bool operator==(const SSHProfile&) const = default;
};

// Whether the text holds a C0 control, DEL or a C1 control: characters that a terminal or a
// shell's line editor acts on instead of taking them as text.
bool hasControlCharacters(QStringView text);

// One argument as the shell reads it back unchanged: letters, marks, digits and "/_.-+:@" stay as
// they are, anything else goes in single quotes with every quote inside written as '\''.
QString shellQuote(const QString& argument);
