#include "app/process/ProgramFolder.h"

#include "platform/PrivateFolder.h"

#include <QFile>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace programfolder {

namespace {

fs::path fsPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

bool isEmptyFolder(const fs::path& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec) && fs::is_empty(folder, ec) && !ec;
}

// Copies `from` beside `to` and renames the copy into place; `from` is removed only after that.
bool copyAcross(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::path staging = to;
    staging += ".moving";
    fs::remove_all(staging, ec); // the remains of an attempt that was interrupted
    ec.clear();
    fs::copy(from, staging, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (!ec) fs::rename(staging, to, ec);
    if (ec) {
        fs::remove_all(staging, ec);
        return false;
    }
    fs::remove_all(from, ec);
    return true;
}

// Moves one entry; a rename where both are on one file system, else a copy.
bool moveEntry(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return true;
    return ec == std::errc::cross_device_link && copyAcross(from, to);
}

} // namespace

QString earlierPath(const QString& home) {
    return home + QStringLiteral("/.glimmerdock");
}

QString formerPath(const QString& home) {
    return home + QStringLiteral("/.pocketshell");
}

bool ensurePrivate(const QString& stateFolder, QString* problem) {
    if (!privatefolder::ensure(stateFolder, problem)) return false;
    privatefolder::restrictTree(stateFolder);
    return true;
}

Move moveEarlierFolder(const QString& home, const QString& stateFolder) {
    std::error_code ec;
    const fs::path earlier = fsPath(earlierPath(home));
    const fs::path current = fsPath(stateFolder);
    if (!fs::is_directory(fs::symlink_status(earlier, ec))) return Move::nothingToMove;
    if (!ensurePrivate(stateFolder)) return Move::failed;

    // Still empty: the whole folder goes in one step (a rename replaces an empty folder).
    if (isEmptyFolder(current) && moveEntry(earlier, current)) {
        ensurePrivate(stateFolder);
        return Move::moved;
    }
    // The state folder already holds files (the usage monitor's log, say): entry by entry.
    bool kept = false;
    bool failed = false;
    for (auto it = fs::directory_iterator(earlier, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const fs::path target = current / it->path().filename();
        std::error_code missing;
        if (fs::exists(fs::symlink_status(target, missing))) {
            kept = true;
            continue;
        }
        if (!moveEntry(it->path(), target)) failed = true;
    }
    if (ec || failed) return Move::failed;
    if (kept) return Move::partlyMoved;
    fs::remove(earlier, ec);
    return Move::moved;
}

Takeover takeOverFormerFolder(const QString& home, const QString& stateFolder) {
    std::error_code ec;
    const fs::path former = fsPath(formerPath(home));
    const fs::path current = fsPath(stateFolder);
    if (!fs::is_directory(former, ec)) return Takeover::nothingToTakeOver;
    if (fs::exists(fs::symlink_status(current, ec)) && !isEmptyFolder(current)) return Takeover::folderInUse;
    if (!ensurePrivate(stateFolder)) return Takeover::failed;
    // The rename into place replaces only an empty folder: one that filled up meanwhile keeps its
    // content, and the copy is dropped.
    if (!copyAcross(former, current)) return Takeover::failed;
    ensurePrivate(stateFolder);
    return Takeover::tookOver;
}

} // namespace programfolder
