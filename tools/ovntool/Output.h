// Every -o OUTFILE goes through here: "-" is standard output; any other file
// is checked not to be a file this run read (the output that is the input is
// refused before a byte is written), then replaced through the storage's one
// safe replace.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/MenuModel.h"
#include "tools/ovntool/Args.h"

namespace ovntool {

// The "--oven gas|electric -o OUTFILE" part shared by new and import.
struct OutputOptions {
    std::int16_t ovenType = ovn::kGasOven;
    std::string outPath;
};
inline const std::vector<OptionRule> kOutputOptions = {{{"--oven"}}, {{"-o", "--output"}}};
// Reads both options from `parsed`; on a fault prints the usage error and returns nullopt.
std::optional<OutputOptions> GetOutputOptions(const ParsedArgs& parsed, std::ostream& err);

// Encodes `items` (byte 2408 = 0) and writes it as OUTFILE (WriteOutput). A
// failure is reported on `err`, the old file (if any) is left as it was, and
// the result is kExitError.
int SaveMenu(const ovn::MenuItemTable& items, const OutputOptions& options, std::ostream& out, std::ostream& err);

// Binary output (a menu image, a workbook) never goes to a terminal.
enum class OutputKind { Text, Binary };

// Writes `bytes` to `out` for "-", else replaces the file `path` with them. A
// failure goes to `err` ("ovntool: K.ovn: the output is the input file",
// "ovntool: cannot write OUTFILE: cause"); the old file (if any) is left as it was.
bool WriteOutput(const std::string& path, std::string_view bytes, OutputKind kind, std::ostream& out,
                 std::ostream& err);

}  // namespace ovntool
