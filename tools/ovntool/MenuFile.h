// Reading the files the commands are given: a menu file (kept whole up to one
// byte past the menu size, measured whole) or a text file (kept whole).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "model/MenuModel.h"

namespace ovntool {

struct FileBytes {
    std::vector<std::uint8_t> bytes;  // at most the keep limit given
    std::uintmax_t size = 0;          // the whole file
};

// Reads `path` to its end, keeping at most `keep` bytes. On failure returns
// nullopt and sets `reason` to the system's text ("No such file or directory",
// "Is a directory", ...).
std::optional<FileBytes> ReadFileBytes(const std::string& path, std::size_t keep, std::string& reason);

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
