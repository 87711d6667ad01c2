// Writing exports to a file: the menu as an Office Open XML workbook made with
// libxlsxwriter, and any export replacing OUTFILE safely.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "tools/ovntool/MenuFile.h"

namespace ovntool {

// Replaces `path` with what `fill` writes to the temporary file whose name it
// is given (beside `path`, so that the rename is atomic); `fill` returns the
// reason of a failure, or "". The temporary file is flushed to the disk, then renamed over
// `path`; on any failure it is removed, `path` is left as it was, and the
// reason goes to `err` as "ovntool: cannot write PATH: reason".
bool ReplaceFileSafely(const std::string& path, const std::function<std::string(const std::string& tempPath)>& fill,
                       std::ostream& err);

// Writes the workbook to `path` (which it creates or truncates): a sheet
// "Menu" with the export's columns and 100 rows, every cell but the slot as
// text, in-cell validation with the oven type's limits, and a sheet "Oven"
// naming the oven type. Returns the reason of a failure, or "".
std::string WriteMenuWorkbook(const LoadedMenu& menu, const std::string& path);

}  // namespace ovntool
