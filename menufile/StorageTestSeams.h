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

namespace ovn {

// Replaces the low-level write used by ReplaceFile (same contract as POSIX write).
class ScopedWriteFunction {
public:
    using WriteFunction = std::function<long(int fd, const void* data, std::size_t size)>;
    explicit ScopedWriteFunction(WriteFunction write);
    ~ScopedWriteFunction();
    ScopedWriteFunction(const ScopedWriteFunction&) = delete;
    ScopedWriteFunction& operator=(const ScopedWriteFunction&) = delete;

private:
    WriteFunction previous_;
};

// While not 0, creating ReplaceFile's unnamed temporary file fails with this errno
// value: EACCES as in a directory that does not let the user add files, ENOSPC
// as on a full disk, EOPNOTSUPP as on a file system without unnamed files (a
// named temporary file is then made).
class ScopedTemporaryFileFailure {
public:
    explicit ScopedTemporaryFileFailure(int code);
    ~ScopedTemporaryFileFailure();
    ScopedTemporaryFileFailure(const ScopedTemporaryFileFailure&) = delete;
    ScopedTemporaryFileFailure& operator=(const ScopedTemporaryFileFailure&) = delete;

private:
    int previous_;
};

}  // namespace ovn
