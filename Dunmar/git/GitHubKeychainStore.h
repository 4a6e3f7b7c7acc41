#pragma once

#include <QString>
#include <functional>
#include <optional>

// The code-hosting token in the user's keyring (Secret Service), under the service
// "com.Dunmar.github" with the key as the account. Every value read or written is kept in memory,
// so the keyring is asked at most once per key and run. The keyring answers asynchronously; the
// calls come from the main thread and their answers arrive there, in the order of the calls.
class GitHubKeychainStore {
public:
    GitHubKeychainStore() = delete;

    static QString service() { return QStringLiteral("com.Dunmar.github"); }

    // Replaces the item; `done` learns whether the keyring took it. A refusal is not kept in memory.
    static void save(const QString& key, const QString& value, std::function<void(bool saved)> done = {});
    // The stored value, or nothing when there is none or the keyring cannot be read.
    static void load(const QString& key, std::function<void(std::optional<QString>)> done);
    // Removes the item; a missing one is no error.
    static void deleteKey(const QString& key, std::function<void()> done = {});
};
