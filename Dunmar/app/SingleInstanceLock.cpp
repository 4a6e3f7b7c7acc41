#include "app/SingleInstanceLock.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace instancelock {

std::string lockFilePath(const char* xdgRuntimeDir, uid_t uid) {
    if (xdgRuntimeDir && xdgRuntimeDir[0] == '/') {
        std::string dir(xdgRuntimeDir);
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return dir == "/" ? "/Dunmar.lock" : dir + "/Dunmar.lock";
    }
    return "/tmp/Dunmar-" + std::to_string(uid) + ".lock";
}

std::string defaultLockFilePath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    // A variable naming a missing folder would make the open fail and the program never start.
    if (runtime && (::stat(runtime, &st) != 0 || !S_ISDIR(st.st_mode))) runtime = nullptr;
    return lockFilePath(runtime, ::getuid());
}

int acquire(const std::string& path) {
    // Close-on-exec: a shell started by the program must not inherit the lock and keep it after
    // the program has ended. No-follow: in the shared fallback folder another user could plant a
    // link under our name.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace instancelock
