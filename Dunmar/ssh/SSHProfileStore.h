#pragma once

#include "ssh/SSHProfile.h"

#include <QList>

class Defaults;

namespace sshprofiles {

inline const QString kSSHProfilesKey = QStringLiteral("sshProfiles");

// The stored list, in the order the panel shows it. A missing value, one that is not a JSON array,
// or one record that does not read gives an empty list; the stored value stays until the next save.
QList<SSHProfile> load(const Defaults& defaults);
// Stores the whole list as one JSON array text.
void save(Defaults& defaults, const QList<SSHProfile>& profiles);

} // namespace sshprofiles
