// The menu as an Office Open XML workbook made with libxlsxwriter.
#pragma once

#include <string>

#include "tools/ovntool/MenuFile.h"

namespace ovntool {

// The workbook as bytes: a sheet
// "Menu" with the export's columns and 100 rows, every cell but the slot as
// text, in-cell validation with the oven type's limits, and a sheet "Oven"
// naming the oven type. Returns the reason of a failure, or "".
std::string WriteMenuWorkbook(const LoadedMenu& menu, std::string& bytes);

}  // namespace ovntool
