#include "platform/AtomicFile.h"

#include <QSaveFile>

namespace atomicfile {

namespace {
bool fail(QSaveFile& file, QString* error) {
    if (error) *error = file.errorString();
    // Without a commit the temporary file is removed and the old file stays.
    file.cancelWriting();
    return false;
}
} // namespace

bool write(const QString& path, QByteArrayView bytes, QString* error, QFileDevice::Permissions permissions) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    // Set on the temporary file, before a byte is in it.
    if (permissions && !file.setPermissions(permissions)) return fail(file, error);
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) return fail(file, error);
    // The buffered tail is written here, where a failure is still seen; commit() would ignore it.
    if (!file.flush() || file.error() != QFileDevice::NoError) return fail(file, error);
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace atomicfile
