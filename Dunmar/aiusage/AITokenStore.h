#pragma once

#include <QString>
#include <optional>

// The sign-in token of the provider's command-line tool, which keeps it in its credentials file
// ($CLAUDE_CONFIG_DIR/.credentials.json, else ~/.claude/.credentials.json) under
// "claudeAiOauth"/"accessToken"; the environment's CLAUDE_CODE_OAUTH_TOKEN when the file has none.
namespace AITokenStore {

std::optional<QString> readClaudeCodeToken();
// The credentials file's path, as read now.
QString credentialsPath();

} // namespace AITokenStore
