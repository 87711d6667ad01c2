// The workbook reader: cell values as the import reads them. Mutated workbooks are
// the fuzzer's (tests/fuzz/fuzz_workbook.cpp).
#include <gtest/gtest.h>

#include "WorkbookBuilder.h"
#include "interchange/WorkbookRead.h"

namespace interchange_test {
namespace {

using interchange::CellText;
using interchange::Column;
using interchange::SheetCell;
using Kind = SheetCell::Kind;

TEST(WorkbookReader, CellValuesReadAsTheCsvImportWouldReadTheirText) {
    struct Row {
        const char* name;
        Kind kind;
        std::string value;
        Column column;
        std::string text, problem;
    };
    const Row rows[] = {
        {"TimeOfDay", Kind::Number, "0.0625", Column::CookTime, "0130", ""},
        {"TimeOfDayRoundedByTheSpreadsheet", Kind::Number, "0.00347222222222222", Column::CookTime, "0005", ""},
        {"TimeOfDayLastMinute", Kind::Number, "0.999305555555556", Column::CookTime, "2359", ""},
        {"TimeOfDayNotAWholeMinute", Kind::Number, "0.0626", Column::CookTime, "0.0626",
         "the time of day \"0.0626\" is not a whole minute"},
        {"TimeZero", Kind::Number, "0", Column::CookTime, "0", ""},
        {"TimeDigits", Kind::Number, "130", Column::CookTime, "130", ""},
        {"TimeDigitsWithAFraction", Kind::Number, "130.5", Column::CookTime, "130.5",
         "the number \"130.5\" is neither a time of day (below 1) nor the digits HHMM"},
        {"TimeNegative", Kind::Number, "-0.0625", Column::CookTime, "-0.0625",
         "the number \"-0.0625\" is neither a time of day (below 1) nor the digits HHMM"},
        {"TimeAsText", Kind::Text, "1:30", Column::CookTime, "1:30", ""},
        {"NameNumber", Kind::Number, "12", Column::Name, "12", ""},
        {"NameNumberInExponentForm", Kind::Number, "1E+5", Column::Name, "100000", ""},
        {"NameFraction", Kind::Number, "0.75", Column::Name, "0.75", ""},
        {"NotANumber", Kind::Number, "12abc", Column::CookTemp, "12abc", "\"12abc\" is not a number"},
        {"BooleanTrue", Kind::Boolean, "1", Column::RoastNHold, "TRUE", ""},
        {"BooleanFalse", Kind::Boolean, "0", Column::RoastNHold, "FALSE", ""},
        {"BooleanOther", Kind::Boolean, "2", Column::RoastNHold, "2", "\"2\" is not a boolean value"},
        {"ErrorValue", Kind::Error, "#N/A", Column::CookTemp, "#N/A", "the cell shows the error \"#N/A\""},
    };
    for (const Row& row : rows) {
        const auto result = CellText(SheetCell{0, row.kind, row.value, false}, row.column);
        EXPECT_EQ(std::pair(result.text, result.problem), std::pair(row.text, row.problem)) << row.name;
    }
}

// In a cell formatted as a time, a number is a fraction of a day, whatever its size.
TEST(WorkbookReader, TimeCellsHoldFractionsOfADay) {
    const std::pair<std::string, std::string> rows[] = {
        {"0.75", "1800"},
        {"0.0625", "0130"},
        {"1", "the time \"1\" (24:00) is over 18:00"},
        {"0.50001", "the time \"0.50001\" is not a whole minute"},
        {"-0.5", "the time \"-0.5\" is negative"},
        {"1e300", "the time \"1e300\" is over 18:00"},
    };
    for (const auto& [value, expected] : rows) {
        const auto result = CellText(SheetCell{0, Kind::Number, value, true}, Column::CookTime);
        EXPECT_EQ(result.problem.empty() ? result.text : result.problem, expected) << value;
    }
}

TEST(WorkbookReader, TimeFormatsAreThoseWithHoursOrSeconds) {
    for (const char* time : {"h:mm", "[h]:mm", "[mm]:ss", "mm:ss", "yyyy-mm-dd hh:mm", "[$-409]h:mm AM/PM;@"}) {
        EXPECT_TRUE(interchange::IsTimeFormat(time)) << time;
    }
    for (const char* other : {"General", "0.00", "yyyy-mm-dd", "mm", "\"hours\" 0", "[Red]0", "0\\h", "@"}) {
        EXPECT_FALSE(interchange::IsTimeFormat(other)) << other;
    }
}

TEST(WorkbookReader, ReadsSharedInlineFormulaAndBooleanCellsWithOrWithoutReferences) {
    const std::string shared = "<sst xmlns=\"" + std::string(kMainNamespace) +
                               "\"><si><t>ROAST</t></si><si><r><t>LO</t></r><r><t>W</t></r><rPh><t>x</t></rPh></si>"
                               "<si><t>A_x0001__x005F_x0041_B_x00e9_</t></si></sst>";
    const std::string rows =
        "<row r=\"3\"><c r=\"B3\" t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c><c r=\"E3\" "
        "t=\"str\"><f>A1</f><v>0130</v></c>"
        "<c t=\"b\"><v>1</v></c><c r=\"G3\" s=\"1\"/><c "
        "t=\"inlineStr\"><is><r><t>A</t></r><r><t>B</t></r></is></c></row>"
        "<row><c><v>0.0625</v></c><c t=\"s\"><v>2</v></c><c t=\"inlineStr\"><is><t>_x001B_</t></is></c></row>";
    const interchange::Worksheet sheet = interchange::ReadMenuWorksheet(ZipArchive(WorkbookParts(rows, shared), true));
    ASSERT_EQ(sheet.problem, "");
    ASSERT_EQ(sheet.rows.size(), 2u);
    std::vector<std::tuple<std::size_t, Kind, std::string>> cells;
    for (const SheetCell& cell : sheet.rows[0].cells) cells.emplace_back(cell.column, cell.kind, cell.value);
    EXPECT_EQ(cells, (std::vector<std::tuple<std::size_t, Kind, std::string>>{{1, Kind::Text, "ROAST"},
                                                                              {2, Kind::Text, "LOW"},
                                                                              {4, Kind::Text, "0130"},
                                                                              {5, Kind::Boolean, "1"},
                                                                              {7, Kind::Text, "AB"}}));
    EXPECT_EQ(sheet.rows[1].number, 4u);
    EXPECT_EQ(sheet.rows[1].cells.at(0).value, "0.0625");
    // Characters that XML cannot hold, escaped as _xHHHH_ (libxlsxwriter writes a damaged name's bytes so).
    EXPECT_EQ(sheet.rows[1].cells.at(1).value, "A\x01_x0041_B\xC3\xA9");
    EXPECT_EQ(sheet.rows[1].cells.at(2).value, "\x1B");
}
}  // namespace
}  // namespace interchange_test
