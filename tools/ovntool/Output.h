// Every -o OUTFILE: replaced through the storage's one safe replace.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "model/MenuModel.h"
#include "tools/ovntool/Args.h"

namespace ovntool {

// The "--oven gas|electric -o OUTFILE" part shared by new and import.
struct OutputOptions {
    std::int16_t ovenType = ovn::kGasOven;
    std::string outPath;
};
inline const std::vector<OptionSpec> kOutputOptionSpecs = {{{"--oven"}}, {{"-o", "--output"}}};
// Reads both options from `parsed`; on a fault prints the usage error and returns nullopt.
std::optional<OutputOptions> GetOutputOptions(const ParsedArgs& parsed, std::ostream& err);

// Encodes `items` (byte 2408 = 0) and replaces OUTFILE with it. A failure is
// reported on `err`, the old file (if any) is left as it was, and the result is kExitError.
int SaveMenu(const ovn::MenuItemTable& items, const OutputOptions& options, std::ostream& err);

// Replaces OUTFILE with `bytes` (export -o). A failure goes to `err` as
// "ovntool: cannot write OUTFILE: cause", the old file (if any) is left as it was.
bool WriteOutput(const std::string& path, std::string_view bytes, std::ostream& err);

}  // namespace ovntool
