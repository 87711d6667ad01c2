// Reading the files the commands are given, through the storage's one reader:
// a menu file (kept up to one byte past the menu size, measured whole) or a text file.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "menufile/MenuStorage.h"
#include "model/MenuModel.h"

namespace ovntool {

using ovn::FileBytes;

// Reads `path`, keeping at most `keep` bytes (ovn::ReadFileBytes). On failure
// returns nullopt and sets `reason` to the cause ("No such file or directory",
// "Is a directory", "not a regular file", ...).
std::optional<FileBytes> ReadFileBytes(const std::string& path, std::size_t keep, std::string& reason,
                                       std::uintmax_t refuseAbove = UINTMAX_MAX);

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
