#include "app/process/SingleInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace instancelock {

namespace {
bool isAbsolute(const char* path) {
    return path && path[0] == '/';
}

std::string withoutTrailingSlashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string joined(const std::string& folder, const char* name) {
    return folder == "/" ? std::string("/") + name : folder + "/" + name;
}

// mkdir -p with mode 0700 for every folder it makes.
void makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
}
} // namespace

std::string lockFolderFor(const char* xdgRuntimeDir, const char* xdgCacheHome, const char* home) {
    if (isAbsolute(xdgRuntimeDir)) return withoutTrailingSlashes(xdgRuntimeDir);
    if (isAbsolute(xdgCacheHome)) return joined(withoutTrailingSlashes(xdgCacheHome), "dunmar");
    return joined(withoutTrailingSlashes(isAbsolute(home) ? home : "/tmp"), ".cache/dunmar");
}

std::string defaultLockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    // A variable naming a missing folder would make the open fail and the program never start.
    if (runtime && (::stat(runtime, &st) != 0 || !S_ISDIR(st.st_mode) || !ensurePrivateFolder(runtime)))
        runtime = nullptr;
    return lockFolderFor(runtime, std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
}

bool ensurePrivateFolder(const std::string& folder, std::string* problem) {
    const auto fail = [&](const std::string& why) {
        if (problem) *problem = why;
        return false;
    };
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        makeFolders(folder);
        if (::lstat(folder.c_str(), &st) != 0)
            return fail("cannot create " + folder + ": " + std::strerror(errno));
    }
    if (!S_ISDIR(st.st_mode)) return fail(folder + " is not a folder");
    if (st.st_uid != ::getuid()) return fail(folder + " belongs to another user");
    if (st.st_mode & (S_IWGRP | S_IWOTH)) return fail(folder + " may be written by other users");
    return true;
}

std::string lockFilePath(const std::string& folder) {
    return joined(folder, "Dunmar.lock");
}

std::string socketFilePath(const std::string& folder) {
    return joined(folder, "Dunmar.sock");
}

int acquire(const std::string& path, std::string* problem) {
    // Close-on-exec: a shell started by the program must not inherit the lock and keep it after
    // the program has ended. No-follow: a link planted under our name is not followed.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        struct stat st {};
        if (problem && ::lstat(path.c_str(), &st) == 0 && st.st_uid != ::getuid())
            *problem = "the lock file " + path + " belongs to another user";
        else if (problem)
            *problem = "cannot open the lock file " + path + ": " + std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_uid != ::getuid()) {
        ::close(fd);
        if (problem) *problem = "the lock file " + path + " belongs to another user";
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool askToShow(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool sent = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const std::size_t length = sizeof kShowMessage - 1;
        sent = ::send(fd, kShowMessage, length, MSG_NOSIGNAL) == ssize_t(length);
    }
    ::close(fd);
    return sent;
}

} // namespace instancelock
