#include "editor/DiskStamp.h"

#include "editor/TextFileCheck.h"
#include "platform/RegularFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <sys/stat.h>
#include <time.h>

namespace diskstamp {
namespace {

// Timestamps are only as fine as the file system keeps them (whole seconds on some): a file
// modified less than this long before it was looked at may be written again unseen.
constexpr qint64 kDoubtNs = 2'000'000'000;

qint64 ns(const timespec& t) {
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::optional<struct stat> statOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return st;
}

} // namespace

QByteArray digestOf(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

std::optional<Stamp> take(const QString& path, const QByteArray& digest) {
    const std::optional<struct stat> st = statOf(path);
    if (!st) return std::nullopt;
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Stamp{qint64(st->st_size), ns(st->st_mtim), ns(st->st_ctim), quint64(st->st_ino), ns(now), digest};
}

std::optional<Stamp> takeWithContent(const QString& path) {
    std::optional<Stamp> stamp = take(path, QByteArray());
    if (!stamp || stamp->size > textfile::kOpenLimit) return stamp;
    // Bounded as it is read too: the file may grow after its size was looked at.
    if (const std::optional<QByteArray> bytes = regularfile::read(path, nullptr, textfile::kOpenLimit))
        stamp->digest = digestOf(*bytes);
    return stamp;
}

Change compare(const QString& path, Stamp& recorded) {
    timespec before {};
    ::clock_gettime(CLOCK_REALTIME, &before);
    const std::optional<struct stat> st = statOf(path);
    if (!st) return Change::gone;
    if (qint64(st->st_size) != recorded.size) return Change::changed;
    const bool looksSame = ns(st->st_mtim) == recorded.mtimeNs && ns(st->st_ctim) == recorded.ctimeNs &&
                           quint64(st->st_ino) == recorded.inode;
    const bool inDoubt = recorded.takenNs - recorded.mtimeNs < kDoubtNs;
    if (looksSame && !inDoubt) return Change::same;
    // A file larger than the editor reads cannot hold what the editor read from it.
    if (st->st_size > textfile::kOpenLimit) return Change::changed;
    const std::optional<QByteArray> bytes = regularfile::read(path, nullptr, textfile::kOpenLimit);
    if (!bytes) return Change::changed;
    if (digestOf(*bytes) != recorded.digest) return Change::changed;
    // The content is what the editor holds: the look of the file before it was read stands for
    // that content from now on, so the next test is a quick one again.
    recorded = Stamp{qint64(st->st_size), ns(st->st_mtim), ns(st->st_ctim), quint64(st->st_ino), ns(before),
                     recorded.digest};
    return Change::same;
}

} // namespace diskstamp
