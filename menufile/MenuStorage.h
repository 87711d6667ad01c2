// Reading and writing menu files. A failure is handed to a callback as a value
// (what failed, at which step, the system's error code), never thrown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/MenuModel.h"

namespace ovn {

// The step at which a file operation failed.
enum class StorageStage { Open, Read, Write, Flush, Rename, Link, Permissions, Backup };

// An errno value, or one of the codes below for the faults the system has no word for.
inline constexpr int kNotRegularFile = -1;   // a FIFO, a device, a socket
inline constexpr int kLinkInSharedDir = -2;  // a link another user planted in a sticky, world-writable directory

struct StorageError {
    StorageError(StorageStage failedStage = StorageStage::Open, int errorCode = 0)
        : stage(failedStage), code(errorCode) {}
    StorageStage stage;
    int code;
    std::string backupPath;  // a write in place that failed: the copy of the old file, kept
};

// The cause in words: the system's own text for an errno value ("Permission denied",
// "No space left on device"), a few words of ours for the codes above.
std::string StorageErrorCause(const StorageError& error);

struct StorageFailure {
    std::string what;  // "MenuGet : " or "MenuSave : " followed by the path
    StorageError error;
    bool oldFileMayBeDamaged = false;  // an in-place write failed after it began
    // `what`, then the cause (and the warning about the old file, and where its copy is kept) on lines of
    // their own, joined by "\r\n".
    std::string Text() const;
};

using StorageErrorReporter = std::function<void(const StorageFailure& failure)>;

// The most any caller reads of a file; far above a menu or a menu's CSV.
inline constexpr std::size_t kReadCap = 16u * 1024 * 1024;

struct FileBytes {
    std::vector<std::uint8_t> bytes;  // the first min(size, keep) bytes
    std::uintmax_t size = 0;          // the whole file
};

// The one routine that reads a file: opened without blocking (a FIFO cannot hang
// it), regular files only (a directory gives EISDIR, anything else kNotRegularFile),
// keeping at most `keep` bytes (never more than kReadCap). A file larger than
// `refuseAbove` is refused with EFBIG before a byte is read.
std::optional<FileBytes> ReadFileBytes(const std::string& path, std::size_t keep, StorageError& error,
                                       std::uintmax_t refuseAbove = UINTMAX_MAX);

// Reads the file into `image`, which changes only after a successful read. A
// shorter file fills the rest of the image with 0 and is not a failure; a longer
// one gives its first 2409 bytes. `fileSize`, when given, receives the file's size.
bool MenuGet(const std::string& path, MenuImageBytes& image, const StorageErrorReporter& report,
             std::uintmax_t* fileSize = nullptr);

// Replaces the file with exactly `bytes`, never leaving it half written.
// Allowed exactly where this process could open the file for writing; a
// symbolic link is followed as such an open follows it, except one planted by
// another user in a sticky, world-writable directory. The bytes go to a
// temporary file beside the target (owner-only until it is complete, then the
// old file's owner and group, mode, ACL and extended attributes), flushed and
// renamed over the target. When the temporary file cannot carry all of that
// (another user's file) or the old file has more than one link, the old file
// is written in place after a flushed backup copy beside it (BackupName), which
// is removed once the new bytes are on the disk. When the directory refuses new
// files for permission the old file is written in place without a backup. On
// failure `error` says why, and `oldFileMayBeDamaged` whether an in-place write
// failed after it began (`error.backupPath` then names the copy kept).
bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes, StorageError& error,
                 bool& oldFileMayBeDamaged);

// The first name a backup copy of `path` gets: "KITCHEN1.ovn~". Where that name
// is taken (an older backup is never overwritten) "KITCHEN1.ovn.~1~", "~2~", ...
std::string BackupName(const std::string& path, int number = 0);

// ReplaceFile with the 2409 bytes of `image`; a failure goes to `report` as "MenuSave : " and the path.
bool MenuSave(const std::string& path, const MenuImageBytes& image, const StorageErrorReporter& report);

}  // namespace ovn
