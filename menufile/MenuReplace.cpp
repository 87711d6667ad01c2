// Replacing a menu file: through a temporary file renamed over it, or written
// in place after a backup copy where a rename would lose something.
#include <acl/libacl.h>
#include <attr/libattr.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

#include "menufile/MenuStorage.h"
#include "menufile/PosixFile.h"
#include "menufile/StorageTestSeams.h"

namespace ovn {

namespace storage_seams {

WriteFunction& Write() {
    static WriteFunction write;
    return write;
}

int& TemporaryFileFailure() {
    static int code = 0;
    return code;
}

int& AttributeChangeFailure() {
    static int code = 0;
    return code;
}

SyncFunction& Sync() {
    static SyncFunction sync;
    return sync;
}

}  // namespace storage_seams

namespace {

using posix::CreateTemporaryFile;
using posix::DirectoryOf;
using posix::FileHandle;
using posix::Flush;
using posix::JoinPath;
using posix::LinkTemporaryFile;
using posix::RemoveStaleTemporaryFiles;
using posix::SyncDirectory;
using posix::WriteAll;

// The kernel's protected-symlinks rule, applied whatever the system's setting:
// in a sticky, world-writable directory only links of this user or of the
// directory's owner are followed.
bool LinkMayBeFollowed(const std::string& link, const struct stat& linkStatus) {
    struct stat dir {};
    if (stat(DirectoryOf(link).c_str(), &dir) != 0) {
        return false;
    }
    const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
    return !shared || linkStatus.st_uid == geteuid() || linkStatus.st_uid == dir.st_uid;
}

// Follows symbolic links as an open would, until a path that is not one (it
// may not exist yet), so that a save replaces the link's target and keeps the link.
bool ResolveLinks(std::string& path, struct stat& status, bool& exists, StorageError& error) {
    constexpr int kMaxLinks = 40;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        if (lstat(path.c_str(), &status) != 0) {
            exists = false;
            error = {StorageStage::Open, errno};
            return errno == ENOENT;
        }
        if (!S_ISLNK(status.st_mode)) {
            exists = true;
            return true;
        }
        if (!LinkMayBeFollowed(path, status)) {
            error = {StorageStage::Open, kLinkInSharedDir};
            return false;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
            error = {StorageStage::Open, length < 0 ? errno : ENAMETOOLONG};
            return false;
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : JoinPath(DirectoryOf(path), target);
    }
    error = {StorageStage::Open, ELOOP};
    return false;
}

// 0666 less the umask, read without changing it where the system tells it.
mode_t NewFileMode() {
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) {
            return 0666 & ~static_cast<mode_t>(mask);
        }
    }
    const mode_t mask = umask(022);
    umask(mask);
    return 0666 & ~mask;
}

// A change of owner or mode the user may not make, or the file system cannot
// (a FAT stick; a FUSE FAT mount answers ENOSYS): the file keeps what it has.
bool IsUnsupportedChange(int code) {
    return code == EPERM || code == ENOTSUP || code == EOPNOTSUPP || code == ENOSYS;
}

// -1 with errno set while a test injects a failure, else `change()`.
template <typename Change>
int AttributeChange(Change change) {
    if (const int injected = storage_seams::AttributeChangeFailure()) {
        errno = injected;
        return -1;
    }
    return change();
}

bool GiveNewFileMode(int fd) {
    return AttributeChange([&] { return fchmod(fd, NewFileMode()); }) == 0 || IsUnsupportedChange(errno);
}

// The old file's ACL (its mode with it), where the old file has one beyond its
// mode, must arrive whole; a new file must not keep one it inherited from the directory.
bool CopyAcl(int from, int to) {
    if (AttributeChange([&] { return perm_copy_fd("old file", from, "new file", to, nullptr); }) == 0) {
        return true;
    }
    return acl_extended_fd(from) != 1 && acl_extended_fd(to) != 1;
}

// Gives the temporary file the old file's owner and group, mode, ACL and
// extended attributes (those /etc/xattr.conf does not skip), in that order: a
// new owner clears the set-id bits and file capabilities. `exact` tells whether
// the new file now carries everything; false on a failure of another kind.
// Every attribute but those /etc/xattr.conf says to skip: the ones it marks
// "permissions" (an NFSv4 ACL) go too. libattr's own attr_copy_check_permissions
// would leave those out, and the new file would silently lose them.
int CopyUnlessSkipped(const char* name, struct error_context* context) {
    return attr_copy_action(name, context) != ATTR_ACTION_SKIP;
}

bool CarryOldAttributes(int fd, int oldFd, const struct stat& old, bool& exact) {
    if (AttributeChange([&] { return fchown(fd, old.st_uid, old.st_gid); }) != 0) {
        AttributeChange([&] { return fchown(fd, uid_t(-1), old.st_gid); });  // at least the group, where ours
    }
    if (AttributeChange([&] { return fchmod(fd, old.st_mode & 07777); }) != 0 && !IsUnsupportedChange(errno)) {
        return false;
    }
    const bool copied =
        CopyAcl(oldFd, fd) && attr_copy_fd("old file", oldFd, "new file", fd, CopyUnlessSkipped, nullptr) == 0;
    struct stat now {};
    if (fstat(fd, &now) != 0) {
        return false;
    }
    exact = copied && now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
            (now.st_mode & 07777) == (old.st_mode & 07777);
    return true;
}

bool IsPermissionRefusal(int code) {
    return code == EACCES || code == EPERM;
}

// Writes over the old file, through the descriptor opened for writing at the
// start, where no temporary file may be used. The old length is cut only after
// the new bytes are on the disk.
bool WriteInPlace(int fd, std::span<const std::uint8_t> bytes, StorageError& error) {
    if (!WriteAll(fd, bytes.data(), bytes.size())) {
        error = {StorageStage::Write, errno};
        return false;
    }
    if (Flush(fd) != 0 || ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || Flush(fd) != 0) {
        error = {StorageStage::Flush, errno};
        return false;
    }
    return true;
}

bool SaveInPlace(FileHandle& file, std::span<const std::uint8_t> bytes, StorageError& error) {
    if (!WriteInPlace(file.get(), bytes, error)) {
        return false;
    }
    if (!file.close()) {
        error = {StorageStage::Flush, errno};
        return false;
    }
    return true;
}

// The target as its links resolve, and the old file when there is one.
struct OldFile {
    std::string target;
    struct stat status {};
    bool exists = false;
    FileHandle handle;      // opened for writing: kept for a save in place
    bool readable = false;  // and for reading, for a backup copy
};

// The system's own check: the old file must open for writing as it stands
// (its mode, a read-only file system, root's exemptions). Nothing is written yet.
bool OpenOldFile(const std::string& path, OldFile& old, StorageError& error) {
    if (path.empty()) {
        error = {StorageStage::Open, ENOENT};
        return false;
    }
    old.target = path;
    if (!ResolveLinks(old.target, old.status, old.exists, error)) {
        return false;
    }
    if (old.exists && !S_ISREG(old.status.st_mode)) {
        error = {StorageStage::Open, S_ISDIR(old.status.st_mode) ? EISDIR : kNotRegularFile};
        return false;
    }
    if (old.exists) {
        constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
        old.handle.reset(::open(old.target.c_str(), O_RDWR | kFlags));
        old.readable = old.handle.valid();
        if (!old.readable && errno == EACCES) {
            old.handle.reset(::open(old.target.c_str(), O_WRONLY | kFlags));
        }
        if (!old.handle.valid() || fstat(old.handle.get(), &old.status) != 0) {
            error = {StorageStage::Open, errno};
            return false;
        }
    }
    return true;
}

// Writes the bytes into the temporary file, flushes them, gives it what the old
// file had (or a new file's mode) and a name; on failure removes it (when it
// has a name). Where it cannot carry everything the old file had, `exact` is
// false and it is removed, unnamed if it had no name yet.
bool FillTemporaryFile(FileHandle& temp, std::string& tempPath, const std::string& directory,
                       std::span<const std::uint8_t> bytes, const OldFile& old, bool& exact, StorageError& error) {
    const auto failAndRemove = [&](StorageStage stage, int code) {
        error = {stage, code};
        if (!tempPath.empty()) {
            unlink(tempPath.c_str());
        }
        return false;
    };
    if (!WriteAll(temp.get(), bytes.data(), bytes.size())) {
        return failAndRemove(StorageStage::Write, errno);
    }
    if (Flush(temp.get()) != 0) {
        return failAndRemove(StorageStage::Flush, errno);
    }
    const bool given =
        old.exists ? CarryOldAttributes(temp.get(), old.handle.get(), old.status, exact) : GiveNewFileMode(temp.get());
    if (!given) {
        return failAndRemove(StorageStage::Permissions, errno);
    }
    if (!exact) {
        if (!tempPath.empty()) {
            unlink(tempPath.c_str());
        }
        temp.close();
        return true;
    }
    if (Flush(temp.get()) != 0) {  // the mode and owner as well
        return failAndRemove(StorageStage::Flush, errno);
    }
    if (tempPath.empty() && !LinkTemporaryFile(temp.get(), directory, tempPath)) {
        return failAndRemove(StorageStage::Link, errno);
    }
    if (!temp.close()) {
        return failAndRemove(StorageStage::Flush, errno);
    }
    return true;
}

// A new file for the backup copy beside the old one, under the first free
// backup name: an older backup may be the only good copy of a failed save.
int CreateBackupFile(const std::string& target, std::string& backupPath) {
    constexpr int kMaxBackups = 100;
    for (int number = 0; number < kMaxBackups; ++number) {
        backupPath = BackupName(target, number);
        const int fd = ::open(backupPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Copies the whole old file into the backup and flushes it; errno holds the cause of a failure.
bool CopyOldFile(int from, int to) {
    std::uint8_t buffer[64 * 1024];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = pread(from, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return Flush(to) == 0;
        }
        if (!WriteAll(to, buffer, static_cast<std::size_t>(got))) {
            return false;
        }
        offset += got;
    }
}

// Writes the old file in place, after a flushed backup copy beside it that is
// removed once the new bytes are on the disk and kept when they are not. A
// directory that refuses the backup for permission gets the write in place
// without one; any other failure of the backup leaves the old file untouched.
bool SaveInPlaceAfterBackup(OldFile& old, std::span<const std::uint8_t> bytes, StorageError& error, bool& damaged) {
    const std::string directory = DirectoryOf(old.target);
    std::string backupPath;
    FileHandle backup(CreateBackupFile(old.target, backupPath));
    if (!backup.valid()) {
        error = {StorageStage::Backup, errno};
        if (!IsPermissionRefusal(error.code)) {
            return false;
        }
        damaged = true;
        return SaveInPlace(old.handle, bytes, error);
    }
    errno = EACCES;  // an old file this user may write but not read cannot be copied
    if (!old.readable || !CopyOldFile(old.handle.get(), backup.get()) || !backup.close() || !SyncDirectory(directory)) {
        error = {StorageStage::Backup, errno};
        unlink(backupPath.c_str());
        return false;
    }
    damaged = true;
    if (!SaveInPlace(old.handle, bytes, error)) {
        error.backupPath = backupPath;
        return false;
    }
    unlink(backupPath.c_str());
    SyncDirectory(directory);  // the new bytes are safe; a backup name left behind harms nothing
    return true;
}

// The whole save; on failure `error` says why and `damaged` whether the old file was touched.
bool SaveFile(const std::string& path, std::span<const std::uint8_t> bytes, StorageError& error, bool& damaged) {
    OldFile old;
    if (!OpenOldFile(path, old, error)) {
        return false;
    }
    const std::string directory = DirectoryOf(old.target);
    RemoveStaleTemporaryFiles(directory);
    if (old.exists && old.status.st_nlink > 1) {
        return SaveInPlaceAfterBackup(old, bytes, error, damaged);  // a rename would part the names
    }

    std::string tempPath;
    FileHandle temp(CreateTemporaryFile(directory, tempPath));
    if (!temp.valid()) {
        error = {StorageStage::Open, errno};
        if (!old.exists || !IsPermissionRefusal(error.code)) {
            return false;
        }
        damaged = true;
        return SaveInPlace(old.handle, bytes, error);
    }
    bool exact = true;
    if (!FillTemporaryFile(temp, tempPath, directory, bytes, old, exact, error)) {
        return false;
    }
    if (!exact) {
        return SaveInPlaceAfterBackup(old, bytes, error, damaged);
    }
    if (rename(tempPath.c_str(), old.target.c_str()) != 0) {
        const int code = errno;
        error = {StorageStage::Rename, code};
        unlink(tempPath.c_str());
        if (!old.exists || !IsPermissionRefusal(code)) {
            return false;
        }
        return SaveInPlaceAfterBackup(old, bytes, error, damaged);  // a sticky directory: written, not replaced
    }
    if (!SyncDirectory(directory)) {
        error = {StorageStage::Flush, errno};
        return false;
    }
    return true;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes, StorageError& error,
                 bool& oldFileMayBeDamaged) {
    bool damaged = false;
    const bool saved = SaveFile(path, bytes, error, damaged);
    oldFileMayBeDamaged = !saved && damaged && error.stage != StorageStage::Open;
    return saved;
}

std::string BackupName(const std::string& path, int number) {
    return number == 0 ? path + "~" : path + ".~" + std::to_string(number) + "~";
}

}  // namespace ovn
