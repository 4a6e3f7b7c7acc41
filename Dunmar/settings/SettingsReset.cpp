#include "settings/SettingsReset.h"

#include "platform/Defaults.h"
#include "platform/PrivateFolder.h"
#include "platform/StateFolder.h"
#include "settings/Autostart.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace settings {
namespace {

// Removes a file or a folder with everything in it. A symbolic link is removed itself: emptying
// the folder it points to would delete data that is not ours.
void removePath(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile()) {
        QFile::remove(path);
        return;
    }
    if (info.isDir()) QDir(path).removeRecursively();
}

} // namespace

QString configDirectory() {
    return statefolder::path();
}

void resetToDefaults(Defaults& defaults, SettingsHost& host) {
    const QString config = configDirectory();
    removePath(config);
    privatefolder::ensure(config);

    autostart::remove();

    for (const QString& key : defaults.storedKeys()) defaults.removeObject(key);

    host.deleteCodeHostingToken();

    // What the former product kept outside the folders above.
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString preferences = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!caches.isEmpty()) {
        removePath(caches + QStringLiteral("/com.k9rt.dunmar"));
        removePath(caches + QStringLiteral("/pocketShell"));
    }
    if (!preferences.isEmpty()) removePath(preferences + QStringLiteral("/pocketShell.plist"));

    for (const SettingKey* key : allSettings()) defaults.setValue(key->name, key->defaultValue);
    defaults.synchronize();

    host.resetPanes();
    host.closeTabsForReset();
    host.restartFirstShell();
    host.resetWindow();
    host.finishReset();
}

} // namespace settings
