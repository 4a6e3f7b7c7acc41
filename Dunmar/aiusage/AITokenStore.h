#pragma once

#include "platform/RegularFile.h"

#include <QString>
#include <optional>

// The sign-in token of the provider's command-line tool, which keeps it in its credentials file
// ($CLAUDE_CONFIG_DIR/.credentials.json, else ~/.claude/.credentials.json) under
// "claudeAiOauth"/"accessToken"; the environment's CLAUDE_CODE_OAUTH_TOKEN when the file has none.
namespace AITokenStore {

// The file holds one small JSON object; anything larger is not the tool's file.
inline constexpr qint64 kMaxCredentialsBytes = 64 * 1024;

// What a reading found out about the credentials file, for the monitor's log.
struct Notes {
    QString refused;          // why a file that is there was not read (a FIFO, a device, too large)
    regularfile::Facts facts; // of the file that was read
};

std::optional<QString> readClaudeCodeToken(Notes* notes = nullptr);
// The credentials file's path, as read now.
QString credentialsPath();

} // namespace AITokenStore
