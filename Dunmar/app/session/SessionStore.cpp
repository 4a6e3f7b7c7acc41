#include "app/session/SessionStore.h"

#include "platform/Defaults.h"

SessionStore::SessionStore(Defaults& defaults) : defaults_(defaults) {}

bool SessionStore::save(const std::function<session::SessionSnapshot()>& build) {
    if (isRestoring() || !build) return false;
    session::writeSession(defaults_, build());
    return true;
}

std::optional<session::RestorePlan>
SessionStore::restorePlan(const std::function<bool(const QString&)>& isDirectory) const {
    return session::planRestore(defaults_, isDirectory);
}
