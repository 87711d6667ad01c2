// What import makes of a file's bytes, apart from any file (the command and the
// fuzzers share it): a CSV, or the menu's sheet of an .xlsx workbook (known by
// its content), every row judged with the oven's strict item rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/MenuModel.h"

namespace interchange {

struct ImportedMenu {
    ovn::MenuItemTable items;           // the menu, when there is no problem
    std::vector<std::string> problems;  // the first 100, one line each ("line N: column: reason",
                                        // "sheet \"Menu\" row N: column: reason")
    std::size_t problemCount = 0;       // all of them
};

// `fileName` only tells whether the user named an .xlsx file; `sheetName`, when
// not empty, is the workbook's sheet to read (ReadMenuWorksheet).
ImportedMenu ImportMenu(std::string_view bytes, std::int16_t ovenType, std::string_view fileName,
                        std::string_view sheetName = {});

}  // namespace interchange
