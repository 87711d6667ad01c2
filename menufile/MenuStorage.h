// Reading and writing menu files. Failures are reported through a callback with
// the text to show ("MenuGet : " / "MenuSave : " followed by the path), never thrown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/MenuModel.h"

namespace ovn {

using StorageErrorReporter = std::function<void(const std::string& message)>;

// Reads the file read-only into a local buffer; `image` changes only after a
// successful read. A shorter file fills the rest of the image with 0 and is not
// a failure; a longer one gives its first 2409 bytes. A missing file or a
// directory is a failure. `fileSize`, when given, receives the file's size.
bool MenuGet(const std::string& path, MenuImageBytes& image, const StorageErrorReporter& report,
             std::uintmax_t* fileSize = nullptr);

// Replaces the file with exactly the 2409 bytes of `image`, never leaving a
// half-written menu: temporary file beside the target, flushed, renamed over it
// (a symbolic link's target is replaced, an existing file keeps its mode).
// Falls back to writing in place when the directory refuses the temporary file.
bool MenuSave(const std::string& path, const MenuImageBytes& image, const StorageErrorReporter& report);

namespace testing {
// Replaces the low-level write used by MenuSave (same contract as POSIX write);
// pass an empty function to restore the real one.
using WriteFunction = std::function<long(int fd, const void* data, std::size_t size)>;
void SetWriteFunction(WriteFunction write);
// While true, MenuSave cannot create its temporary file (as in a directory that
// does not let the user add files) and takes the in-place road.
void RefuseTemporaryFiles(bool refuse);
}  // namespace testing

}  // namespace ovn
