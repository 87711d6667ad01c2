#include "menufile/MenuStorage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "menufile/PosixFile.h"

namespace ovn {

using posix::FileHandle;

std::string StorageErrorCause(const StorageError& error) {
    switch (error.code) {
        case kNotRegularFile:
            return "not a regular file";
        case kLinkInSharedDir:
            return "symbolic link of another user in a shared directory, not followed";
        default:
            return std::strerror(error.code);
    }
}

std::string StorageFailure::Text() const {
    std::string text = what + "\r\n" + StorageErrorCause(error);
    if (oldFileMayBeDamaged) {
        text += "\r\nThe old file may be damaged.";
    }
    if (!error.backupPath.empty()) {
        text += "\r\nIts copy is kept as " + error.backupPath;  // no full stop: it would read as part of the name
    }
    return text;
}

std::optional<FileBytes> ReadFileBytes(const std::string& path, std::size_t keep, StorageError& error,
                                       std::uintmax_t refuseAbove) {
    const auto fail = [&](StorageStage stage, int code) -> std::optional<FileBytes> {
        error = {stage, code};
        return std::nullopt;
    };
    // Read-only, never created; O_NONBLOCK keeps a FIFO from hanging the open.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file.valid()) {
        return fail(StorageStage::Open, errno);
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0) {
        return fail(StorageStage::Open, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return fail(StorageStage::Open, S_ISDIR(status.st_mode) ? EISDIR : kNotRegularFile);
    }
    FileBytes result;
    result.size = static_cast<std::uintmax_t>(status.st_size);
    if (result.size > refuseAbove) {
        return fail(StorageStage::Open, EFBIG);
    }
    // Sized as the file says, grown while it gives more (a file system may report 0), never past `keep`.
    keep = std::min(keep, kReadCap);
    result.bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(keep, result.size)));
    std::size_t filled = 0;
    constexpr std::size_t kGrowth = 64 * 1024;
    for (;;) {
        if (filled == result.bytes.size()) {
            if (filled == keep) {
                break;
            }
            result.bytes.resize(std::min(keep, filled + kGrowth));
        }
        const ssize_t got = ::read(file.get(), result.bytes.data() + filled, result.bytes.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return fail(StorageStage::Read, errno);
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    result.bytes.resize(filled);
    result.size = std::max<std::uintmax_t>(result.size, filled);
    if (!file.close()) {
        return fail(StorageStage::Read, errno);
    }
    return result;
}

bool MenuGet(const std::string& path, MenuImageBytes& image, const StorageErrorReporter& report,
             std::uintmax_t* fileSize) {
    if (fileSize != nullptr) {
        *fileSize = 0;
    }
    StorageError error;
    const auto file = ReadFileBytes(path, image.size(), error);
    if (!file) {
        if (report) {
            report({"MenuGet : " + path, error});
        }
        return false;
    }
    if (fileSize != nullptr) {
        *fileSize = file->size;
    }
    image.fill(0);  // bytes a short file lacks stay 0
    std::copy(file->bytes.begin(), file->bytes.end(), image.begin());
    return true;
}

bool MenuSave(const std::string& path, const MenuImageBytes& image, const StorageErrorReporter& report) {
    StorageError error;
    bool damaged = false;
    if (ReplaceFile(path, image, error, damaged)) {
        return true;
    }
    if (report) {
        report({"MenuSave : " + path, error, damaged});
    }
    return false;
}

}  // namespace ovn
