// The POSIX plumbing that reading and replacing a menu file share: a
// descriptor that cannot leak, whole writes, paths, directory flushes,
// temporary files. Internal
// to menufile/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace ovn::posix {

// Writes all `size` bytes, retrying after signals, through the write seam of
// StorageTestSeams.h. On failure errno holds the cause.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size);

// fsync, or the flush a test put in its place (StorageTestSeams.h).
int Flush(int fd);

// Closes on every path; a close that fails after a write may mean lost data.
bool CloseFile(int fd);

// Owns one descriptor so that no early return can leak it.
class FileHandle {
public:
    explicit FileHandle(int fd = -1) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Drop(); }
    void reset(int fd) {
        Drop();
        fd_ = fd;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    bool close() { return CloseFile(std::exchange(fd_, -1)); }

private:
    void Drop();
    int fd_;
};

// The directory part of a path ("." for a bare name).
std::string DirectoryOf(const std::string& path);

std::string JoinPath(const std::string& directory, const std::string& name);

// Flushes a directory's entries to the disk; a file system that cannot flush
// directories counts as done.
bool SyncDirectory(const std::string& directory);

// Removes the temporary files of earlier saves whose process no longer runs.
void RemoveStaleTemporaryFiles(const std::string& directory);

// An owner-only temporary file in `directory`: unnamed where the file system has
// them (`tempPath` empty), else named (`tempPath` its path). -1 with errno set on failure.
int CreateTemporaryFile(const std::string& directory, std::string& tempPath);

// Names an unnamed temporary file, just before the rename.
bool LinkTemporaryFile(int fd, const std::string& directory, std::string& tempPath);

}  // namespace ovn::posix
