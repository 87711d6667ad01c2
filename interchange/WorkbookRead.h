// Reading the menu's worksheet of an Office Open XML workbook (ECMA-376), as a
// spreadsheet or libxlsxwriter writes it: a zip archive read with libzip, its
// XML parts streamed through expat. Every limit below keeps a hostile file to
// one problem in bounded time and memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/Columns.h"
#include "interchange/Normalise.h"

namespace interchange {

// A part (the sheet, the shared strings) may unpack to at most this many bytes.
inline constexpr std::size_t kMaxWorkbookPartBytes = 64u * 1024 * 1024;
// A menu sheet holds 101 rows of 8 cells; these leave room for other sheets' text.
inline constexpr std::size_t kMaxSharedStrings = 200000;
inline constexpr std::size_t kMaxSheetCells = 100000;

struct SheetCell {
    // NoResult: a formula without a stored result. StaleResult: a formula whose
    // stored result the workbook itself asks to recalculate on opening.
    enum class Kind { Text, Number, Boolean, Error, NoResult, StaleResult };
    std::size_t column = 0;  // 0 for A
    Kind kind = Kind::Text;
    std::string value;        // UTF-8 text; a number as written ("0.0625"); a boolean "0" or "1"
    bool timeFormat = false;  // the cell's number format shows a time (hours, minutes or seconds)
};

struct SheetRow {
    std::size_t number = 0;        // the sheet's row number, from 1
    std::vector<SheetCell> cells;  // only cells that hold a value, left to right
};

struct Worksheet {
    std::string name;            // the sheet read; empty when none could be chosen
    std::vector<SheetRow> rows;  // rows with at least one value, top to bottom
    std::string problem;         // why the workbook cannot be read; empty when it was
};

// True for the local file header of a zip archive, which every workbook starts with.
bool LooksLikeZipArchive(std::string_view bytes);

// Reads the worksheet a person would take for the menu: `sheetName` when it is
// not empty (any letter case, hidden or not); else the worksheet named "Menu"
// (any letter case); else the only visible worksheet. Otherwise the problem
// names the visible sheets and how to choose one.
Worksheet ReadMenuWorksheet(std::string_view bytes, std::string_view sheetName = {});

// Whether a number format shows a time: a built-in time or date-time format, or
// a format code with hours or seconds (elapsed [h], [m] and [s] included).
bool IsTimeFormat(std::string_view formatCode);

// A cell's value as the text the CSV import would have read in that column:
// text as it is; a boolean as TRUE or FALSE; a whole number as its digits (12
// is "12"); in cook_time a number below 1 as the time of day it shows ("0130"
// for 0.0625, a whole minute required), and in a cell formatted as a time any
// number as a fraction of a day (1 is 24:00, refused). Errors, formulas without
// a trustworthy result and other numbers in cook_time are problems.
NormalisedValue CellText(const SheetCell& cell, Column column);

}  // namespace interchange
