#include "ssh/SSHProfileStore.h"

#include "platform/Defaults.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace sshprofiles {

QList<SSHProfile> load(const Defaults& defaults) {
    const QVariant stored = defaults.object(kSSHProfilesKey);
    if (stored.typeId() != QMetaType::QString) return {};
    const QJsonDocument document = QJsonDocument::fromJson(stored.toString().toUtf8());
    if (!document.isArray()) return {};
    QList<SSHProfile> profiles;
    for (const QJsonValue& value : document.array()) {
        if (!value.isObject()) return {};
        std::optional<SSHProfile> profile = SSHProfile::fromJson(value.toObject());
        if (!profile) return {};
        profiles.append(*profile);
    }
    return profiles;
}

void save(Defaults& defaults, const QList<SSHProfile>& profiles) {
    QJsonArray array;
    for (const SSHProfile& profile : profiles) array.append(profile.toJson());
    defaults.setValue(kSSHProfilesKey,
                      QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

} // namespace sshprofiles
