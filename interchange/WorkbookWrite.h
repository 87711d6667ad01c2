// The menu as an Office Open XML workbook made with libxlsxwriter.
#pragma once

#include <cstdint>
#include <string>

#include "model/MenuModel.h"

namespace interchange {

// The workbook of a menu for an oven of `ovenType`, as bytes: a sheet
// "Menu" with the export's columns and 100 rows, every cell but the slot as
// text, in-cell validation with the oven type's limits, and a sheet "Oven"
// naming the oven type. Returns the reason of a failure, or "".
std::string WriteMenuWorkbook(const ovn::MenuItemTable& items, std::int16_t ovenType, std::string& bytes);

}  // namespace interchange
