// Test seams of the menu file storage: faults a test injects into ReplaceFile
// for as long as the override lives, restored by its destructor (the style of
// ui::ModalScript), so that no test leaves a fault behind for the next.
//
//   ovn::ScopedWriteFunction full([](int, const void*, std::size_t) { return errno = ENOSPC, -1L; });
//   ovn::ScopedTemporaryFileFailure refused(EACCES);
//   EXPECT_FALSE(ovn::MenuSave(path, image, report));
//
// Overrides nest: the inner one wins while it lives, then the outer one is back.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>

namespace ovn {

// The low-level write ReplaceFile uses (same contract as POSIX write).
using WriteFunction = std::function<long(int fd, const void* data, std::size_t size)>;

// The flush to the disk ReplaceFile uses, of files and directories (same contract as POSIX fsync).
using SyncFunction = std::function<int(int fd)>;

namespace storage_seams {
// What ReplaceFile reads: an empty function means the real write, 0 no failure.
WriteFunction& Write();
int& TemporaryFileFailure();
int& AttributeChangeFailure();
SyncFunction& Sync();
}  // namespace storage_seams

template <typename T, T& (*Slot)()>
class ScopedOverride {
public:
    explicit ScopedOverride(T value) : previous_(std::exchange(Slot(), std::move(value))) {}
    ~ScopedOverride() { Slot() = std::move(previous_); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    T previous_;
};

// Replaces the low-level write used by ReplaceFile.
using ScopedWriteFunction = ScopedOverride<WriteFunction, &storage_seams::Write>;

// Replaces the flush used by ReplaceFile: to watch when a save makes its steps durable.
using ScopedSyncFunction = ScopedOverride<SyncFunction, &storage_seams::Sync>;

// While not 0, creating ReplaceFile's unnamed temporary file fails with this errno
// value: EACCES as in a directory that does not let the user add files, ENOSPC
// as on a full disk, EOPNOTSUPP as on a file system without unnamed files (a
// named temporary file is then made).
using ScopedTemporaryFileFailure = ScopedOverride<int, &storage_seams::TemporaryFileFailure>;

// While not 0, giving the temporary file an owner, a mode or an ACL fails with
// this errno value: ENOSYS as on a FUSE FAT mount, EPERM as for another user's group.
using ScopedAttributeChangeFailure = ScopedOverride<int, &storage_seams::AttributeChangeFailure>;

}  // namespace ovn
