#include "menufile/MenuStorage.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <random>
#include <utility>

namespace ovn {

namespace {

testing::WriteFunction& InjectedWrite() {
    static testing::WriteFunction write;
    return write;
}

bool& TempFilesRefused() {
    static bool refused = false;
    return refused;
}

long WriteSome(int fd, const void* data, std::size_t size) {
    if (const testing::WriteFunction& write = InjectedWrite()) {
        return write(fd, data, size);
    }
    return static_cast<long>(::write(fd, data, size));
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const long written = WriteSome(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {  // 0 would loop for ever: a device that takes nothing is full
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Closes on every path; a close that fails after a write may mean lost data.
bool CloseFile(int fd) {
    return ::close(fd) == 0 || errno == EINTR;
}

// Owns one descriptor so that no early return can leak it.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    bool close() { return CloseFile(std::exchange(fd_, -1)); }

private:
    int fd_;
};

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

// Follows symbolic links until a path that is not one (it may not exist yet),
// so that a save replaces the link's target and keeps the link.
bool ResolveLinks(std::string& path, struct stat& status, bool& exists) {
    constexpr int kMaxLinks = 40;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        if (lstat(path.c_str(), &status) != 0) {
            exists = false;
            return errno == ENOENT;
        }
        if (!S_ISLNK(status.st_mode)) {
            exists = true;
            return true;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
            return false;
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : JoinPath(DirectoryOf(path), target);
    }
    return false;  // a loop of links
}

// A name that never ends in ".ovn" (so no file list of menus shows it) and
// that stays short whatever the target is called.
std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    static std::mt19937 generator{std::random_device{}()};
    return ".ovnsave-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(generator() % 1000000u) + ".tmp";
}

int CreateTemporaryFile(const std::string& directory, std::string& tempPath) {
    if (TempFilesRefused()) {
        errno = EACCES;
        return -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = JoinPath(directory, TemporaryName());
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Best effort: a file system without permissions or owners (a FAT stick) still takes the menu.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Not the owner's to give away; the mode below still applies.
    }
    if (fchmod(fd, old.st_mode & 07777) != 0) {
        // Keeps the default mode.
    }
}

// The rename is only durable once the directory entry is on the disk as well.
bool SyncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return true;  // nothing to flush through; the file itself is on the disk
    }
    const bool synced = fsync(fd) == 0 || errno == EINVAL;  // EINVAL: the file system cannot flush directories
    const bool closed = CloseFile(fd);
    return synced && closed;
}

// Writes over the old file where no temporary file may be created beside it.
// The old length is cut only after the new bytes are on the disk.
bool SaveInPlace(const std::string& target, const MenuImageBytes& image, bool& touched) {
    touched = false;
    FileHandle file(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!file.valid()) {
        return false;
    }
    touched = true;
    return WriteAll(file.get(), image.data(), image.size()) && fsync(file.get()) == 0 &&
           ftruncate(file.get(), static_cast<off_t>(image.size())) == 0 && fsync(file.get()) == 0 && file.close();
}

}  // namespace

bool MenuGet(const std::string& path, MenuImageBytes& image, const StorageErrorReporter& report,
             std::uintmax_t* fileSize) {
    const auto fail = [&] {
        if (report) {
            report("MenuGet : " + path);
        }
        return false;
    };
    if (fileSize != nullptr) {
        *fileSize = 0;
    }
    // Read-only, never created; O_NONBLOCK keeps a FIFO from hanging the open.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file.valid()) {
        return fail();
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return fail();
    }
    if (fileSize != nullptr) {
        *fileSize = static_cast<std::uintmax_t>(status.st_size);
    }
    MenuImageBytes buffer{};  // bytes a short file lacks stay 0
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const ssize_t got = ::read(file.get(), buffer.data() + filled, buffer.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return fail();
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    if (!file.close()) {
        return fail();
    }
    image = buffer;
    return true;
}

bool MenuSave(const std::string& path, const MenuImageBytes& image, const StorageErrorReporter& report) {
    const auto fail = [&](bool oldFileMayBeDamaged = false) {
        if (report) {
            std::string message = "MenuSave : " + path;
            if (oldFileMayBeDamaged) {
                message += "\r\nThe old file may be damaged.";
            }
            report(message);
        }
        return false;
    };
    if (path.empty()) {
        return fail();
    }
    std::string target = path;
    struct stat old {};
    bool exists = false;
    if (!ResolveLinks(target, old, exists)) {
        return fail();
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return fail();  // a directory, a device or a pipe is no menu file
    }
    const std::string directory = DirectoryOf(target);

    std::string tempPath;
    FileHandle temp(CreateTemporaryFile(directory, tempPath));
    if (!temp.valid()) {
        if (!exists) {
            return fail();
        }
        bool touched = false;
        if (!SaveInPlace(target, image, touched)) {
            return fail(touched);
        }
        return true;
    }
    if (exists) {
        KeepOwnerAndMode(temp.get(), old);
    }
    const bool written = WriteAll(temp.get(), image.data(), image.size()) && fsync(temp.get()) == 0;
    if (!temp.close() || !written || rename(tempPath.c_str(), target.c_str()) != 0) {
        unlink(tempPath.c_str());
        return fail();
    }
    if (!SyncDirectory(directory)) {
        return fail();
    }
    return true;
}

namespace testing {

void SetWriteFunction(WriteFunction write) {
    InjectedWrite() = std::move(write);
}

void RefuseTemporaryFiles(bool refuse) {
    TempFilesRefused() = refuse;
}

}  // namespace testing

}  // namespace ovn
