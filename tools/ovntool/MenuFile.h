// Reading the files the commands are given, through the storage's one reader:
// a menu file (kept up to one byte past the menu size, measured whole) or a text
// file. "-" is standard input, as in other Unix tools.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "menufile/MenuStorage.h"
#include "model/MenuModel.h"

namespace ovntool {

using ovn::FileBytes;

// Reads `path` (ovn::ReadFileBytes), or standard input for "-" (refused past
// ovn::kReadCap bytes), keeping at most `keep` bytes. On failure returns nullopt
// and sets `reason` to the cause ("No such file or directory", "Is a directory",
// "not a regular file", "File too large (more than 16777216 bytes)", ...).
// Every file read is remembered, so that no output replaces it (Output.h).
std::optional<FileBytes> ReadFileBytes(const std::string& path, std::size_t keep, std::string& reason,
                                       std::uintmax_t refuseAbove = UINTMAX_MAX);

// The input's name for messages: "standard input" for "-", else the path escaped (EscapePath).
std::string InputName(const std::string& path);

// Whether `path` is a file this run has read: the same device and inode, so
// also through a symbolic or a hard link.
bool IsAnInputFile(const std::string& path);
// Forgets the files read; a run of the tool begins with it.
void ForgetInputFiles();

// A menu file that is exactly 2409 bytes long, decoded as the editor reads it.
struct LoadedMenu {
    ovn::MenuImageBytes image{};
    ovn::MenuItemTable items{};
    ovn::SystemBlockBytes systemBlock{};
    std::int16_t ovenType = ovn::kGasOven;
};

// For show, export and diff: a file of any other size, or one that cannot be
// read, gets a message on `err` and nullopt. A file that fails its checks is
// still decoded, with a warning on `err`.
std::optional<LoadedMenu> LoadMenuForViewing(const std::string& path, std::ostream& err);

}  // namespace ovntool
