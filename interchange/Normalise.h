// What a spreadsheet makes of the menu's values, brought back to the editor's
// forms before the strict item rules judge them. Shared by the CSV and the
// workbook import.
#pragma once

#include <string>
#include <string_view>

#include "interchange/Columns.h"

namespace interchange {

struct NormalisedValue {
    std::string text;     // the value in the editor's form (or as given, for the rules to judge)
    std::string problem;  // set when the value is refused here, before the rules
};

// cook_time: four digits HHMM as they are; one to three digits are HHMM that
// lost their leading zeros ("130" -> "0130"); "H:MM", "HH:MM", "H:MM:SS" and
// "HH:MM:SS" with seconds "00" -> "HHMM".
// fan_speed: OFF, LOW and HIGH in any letter case -> upper case.
// roast_n_hold: 0, 1, TRUE and FALSE in any letter case -> "0" or "1"; anything else is a problem.
// Other columns, and values that match no form, come back unchanged.
NormalisedValue NormaliseSpreadsheetValue(Column column, std::string_view text);

}  // namespace interchange
