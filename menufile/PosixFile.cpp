#include "menufile/PosixFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "menufile/StorageTestSeams.h"

namespace ovn::posix {

namespace {

long WriteSome(int fd, const void* data, std::size_t size) {
    if (const WriteFunction& write = storage_seams::Write()) {
        return write(fd, data, size);
    }
    return static_cast<long>(::write(fd, data, size));
}

// Every name a temporary file gets carries the saving process's id, so that a
// later save can tell the leftovers of a killed save from a save in progress.
// The name never ends in ".ovn", so no list of menus shows it.
constexpr char kTempPrefix[] = ".ovnsave-";

std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    return kTempPrefix + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

// The process id in a temporary file's name, or 0 for any other name.
pid_t PidOfTemporaryName(const char* name) {
    const std::size_t prefix = sizeof kTempPrefix - 1;
    if (std::strncmp(name, kTempPrefix, prefix) != 0) {
        return 0;
    }
    long pid = 0;
    unsigned number = 0;
    char end[8] = {};
    if (std::sscanf(name + prefix, "%ld-%u.%7s", &pid, &number, end) != 3 || std::strcmp(end, "tmp") != 0 || pid <= 0 ||
        pid > INT_MAX) {
        return 0;
    }
    return static_cast<pid_t>(pid);
}

}  // namespace

int Flush(int fd) {
    if (const SyncFunction& sync = storage_seams::Sync()) {
        return sync(fd);
    }
    return fsync(fd);
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const long written = WriteSome(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written == 0) {  // would loop for ever: a device that takes nothing is full
            errno = ENOSPC;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CloseFile(int fd) {
    return ::close(fd) == 0 || errno == EINTR;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    return directory.back() == '/' ? directory + name : directory + "/" + name;
}

void FileHandle::Drop() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

// The rename is only durable once the directory entry is on the disk as well.
bool SyncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return true;  // nothing to flush through; the file itself is on the disk
    }
    if (Flush(fd) != 0 && errno != EINVAL) {  // EINVAL: the file system cannot flush directories
        const int code = errno;
        ::close(fd);
        errno = code;
        return false;
    }
    return CloseFile(fd);
}

// Removes the temporary files of earlier saves whose process no longer runs.
// A process alive under another user answers EPERM and keeps its file.
void RemoveStaleTemporaryFiles(const std::string& directory) {
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        const pid_t pid = PidOfTemporaryName(entry->d_name);
        if (pid > 0 && pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH) {
            unlinkat(dirfd(dir), entry->d_name, 0);
        }
    }
    closedir(dir);
}

// An unnamed file where the file system has them, else a named one; owner-only either way.
int CreateTemporaryFile(const std::string& directory, std::string& tempPath) {
    tempPath.clear();
    const int injected = storage_seams::TemporaryFileFailure();
    const int fd =
        injected != 0 ? (errno = injected, -1) : ::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
        return fd;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = JoinPath(directory, TemporaryName());
        const int named = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (named >= 0 || errno != EEXIST) {
            return named;
        }
    }
    return -1;
}

// Names an unnamed temporary file, just before the rename.
bool LinkTemporaryFile(int fd, const std::string& directory, std::string& tempPath) {
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = JoinPath(directory, TemporaryName());
        if (linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, tempPath.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno == ENOENT && linkat(fd, "", AT_FDCWD, tempPath.c_str(), AT_EMPTY_PATH) == 0) {
            return true;  // no /proc: the privileged way
        }
        if (errno != EEXIST) {
            break;
        }
    }
    tempPath.clear();
    return false;
}

}  // namespace ovn::posix
