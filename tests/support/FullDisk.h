#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

// A folder whose file system can be made to run out of room.
//
// As root it is a real 64 KiB tmpfs mounted for the test, and fill() takes every free block with a
// filler file, so the next write fails with ENOSPC exactly as on a full disk. Without the right to
// mount, fill() lowers this process's file-size limit to 4 KiB instead (with SIGXFSZ ignored), so
// that writing past 4 KiB of any file fails with EFBIG: the same kind of short, failing write,
// injected by the kernel below every layer of ours. Tests write contents larger than 4 KiB so
// that both kinds fail.
class FullDisk {
public:
    FullDisk() {
        path_ = dir_.path() + QStringLiteral("/fs");
        QDir().mkpath(path_);
        mounted_ = ::geteuid() == 0 &&
                   ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~FullDisk() {
        release();
        if (mounted_) ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    QString path() const { return path_; }
    QString filePath(const QString& name) const { return path_ + QLatin1Char('/') + name; }
    bool isRealFileSystem() const { return mounted_; }

    // No room for any further byte (or, without a mount, for any byte past 4 KiB of a file).
    void fill() {
        if (mounted_) {
            QFile filler(filePath(QStringLiteral(".filler")));
            if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
            const QByteArray block(512, 'x');
            while (filler.write(block) > 0) {
            }
            for (int size = 256; size >= 1; size /= 2)
                while (filler.write(block.left(size)) > 0) {
                }
            return;
        }
        if (limited_) return;
        ::getrlimit(RLIMIT_FSIZE, &previousLimit_);
        previousXfsz_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previousLimit_;
        small.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &small);
        limited_ = true;
    }

    // Room again.
    void release() {
        if (mounted_) QFile::remove(filePath(QStringLiteral(".filler")));
        if (!limited_) return;
        ::setrlimit(RLIMIT_FSIZE, &previousLimit_);
        std::signal(SIGXFSZ, previousXfsz_);
        limited_ = false;
    }

    // The folder's files other than the filler.
    QStringList files() const {
        QStringList names = QDir(path_).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QStringLiteral(".filler"));
        return names;
    }

private:
    QTemporaryDir dir_;
    QString path_;
    bool mounted_ = false;
    bool limited_ = false;
    rlimit previousLimit_{};
    void (*previousXfsz_)(int) = SIG_DFL;
};
