#pragma once

#include "app/session/SessionFormat.h"
#include "app/session/SessionRestore.h"

#include <functional>
#include <optional>

class Defaults;

// Saving and restoring the open tabs through the defaults store. While a restore runs, saves are
// skipped: a save after each rebuilt tab would replace the stored list with the part restored so
// far, and a crash halfway would lose the rest. The controller saves once when the restore ends.
class SessionStore {
public:
    explicit SessionStore(Defaults& defaults);

    Defaults& defaults() const { return defaults_; }

    // Builds the snapshot and writes it; while restoring, nothing is built or written and the
    // answer is false.
    bool save(const std::function<session::SessionSnapshot()>& build);

    // The plan of what to rebuild, or none when nothing is stored.
    std::optional<session::RestorePlan>
    restorePlan(const std::function<bool(const QString&)>& isDirectory = session::isExistingDirectory) const;

    bool isRestoring() const { return restoringDepth_ > 0; }

    // Marks a restore as running for the guard's lifetime; saves are skipped until it ends.
    class RestoreGuard {
    public:
        explicit RestoreGuard(SessionStore& store) : store_(&store) { ++store_->restoringDepth_; }
        RestoreGuard(RestoreGuard&& other) noexcept : store_(other.store_) { other.store_ = nullptr; }
        RestoreGuard(const RestoreGuard&) = delete;
        RestoreGuard& operator=(const RestoreGuard&) = delete;
        RestoreGuard& operator=(RestoreGuard&&) = delete;
        ~RestoreGuard() {
            if (store_) --store_->restoringDepth_;
        }

    private:
        SessionStore* store_;
    };
    [[nodiscard]] RestoreGuard beginRestore() { return RestoreGuard(*this); }

private:
    Defaults& defaults_;
    int restoringDepth_ = 0;
};
