// The workbook reader in-process: cell values as the import reads them, and
// thousands of mutated workbooks that must each end in rows or one problem.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "WorkbookBuilder.h"
#include "tools/ovntool/WorkbookRead.h"

namespace ovntool_test {
namespace {

using ovntool::CellText;
using ovntool::Column;
using ovntool::SheetCell;
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
        {"TimeDayAndAHalf", Kind::Number, "1.5", Column::CookTime, "1.5",
         "the number \"1.5\" is neither a time of day (below 1) nor the digits HHMM"},
        {"TimeNegative", Kind::Number, "-0.0625", Column::CookTime, "-0.0625",
         "the number \"-0.0625\" is neither a time of day (below 1) nor the digits HHMM"},
        {"TimeAsText", Kind::Text, "1:30", Column::CookTime, "1:30", ""},
        {"NameNumber", Kind::Number, "12", Column::Name, "12", ""},
        {"NameNumberInExponentForm", Kind::Number, "1E+5", Column::Name, "100000", ""},
        {"NameFraction", Kind::Number, "0.75", Column::Name, "0.75", ""},
        {"TemperatureNumber", Kind::Number, "350", Column::CookTemp, "350", ""},
        {"TemperatureFraction", Kind::Number, "350.5", Column::CookTemp, "350.5", ""},
        {"NotANumber", Kind::Number, "12abc", Column::CookTemp, "12abc", "\"12abc\" is not a number"},
        {"BooleanTrue", Kind::Boolean, "1", Column::RoastNHold, "TRUE", ""},
        {"BooleanFalse", Kind::Boolean, "0", Column::RoastNHold, "FALSE", ""},
        {"BooleanOther", Kind::Boolean, "2", Column::RoastNHold, "2", "\"2\" is not a boolean value"},
        {"ErrorValue", Kind::Error, "#N/A", Column::CookTemp, "#N/A", "the cell shows the error \"#N/A\""},
    };
    for (const Row& row : rows) {
        const auto result = CellText(SheetCell{0, row.kind, row.value}, row.column);
        EXPECT_EQ(std::pair(result.text, result.problem), std::pair(row.text, row.problem)) << row.name;
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
    const ovntool::Worksheet sheet = ovntool::ReadFirstWorksheet(ZipArchive(WorkbookParts(rows, shared), true));
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

// Byte mutations of whole archives (mostly caught by the zip layer), and
// mutations of the XML inside stored archives (which reach expat and the sheet reader).
TEST(WorkbookReader, TenThousandMutatedWorkbooksEndInRowsOrOneProblem) {
    const std::filesystem::path fixtures = OVN_SPREADSHEET_FIXTURES;
    std::vector<std::string> seeds;
    for (const char* name : {"calc-resaved.xlsx", "calc-hand-typed.xlsx"}) {
        std::ifstream file(fixtures / name, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        ASSERT_GT(seeds.back().size(), 1000u) << name;
    }
    // Only the parts the reader reads are worth mutating; the rest are dropped.
    std::vector<Parts> unpacked;
    for (const std::string& seed : seeds) {
        Parts read;
        for (auto& part : UnzipArchive(seed)) {
            for (const char* end : {".rels", "workbook.xml", "sharedStrings.xml", "sheet1.xml"}) {
                if (part.first.size() >= std::strlen(end) &&
                    part.first.compare(part.first.size() - std::strlen(end), std::string::npos, end) == 0) {
                    read.push_back(part);
                    break;
                }
            }
        }
        ASSERT_EQ(read.size(), 5u);
        unpacked.push_back(read);
    }
    const std::string tokens[] = {"<c r=\"XFD1\" t=\"s\"><v>99999</v></c>",
                                  "<row r=\"0\">",
                                  "<row r=\"1048577\">",
                                  "<!DOCTYPE x [<!ENTITY a \"b\">]>",
                                  "&a;",
                                  "&#0;",
                                  "<c t=\"e\"><v>#REF!</v></c>",
                                  "<c t=\"b\"><v>7</v></c>",
                                  "<v>1e308</v>",
                                  "<v>-0.0000001</v>",
                                  "<is><t>x</t></is>",
                                  "</row>",
                                  "<si>",
                                  "\xFF\xFE",
                                  "]]>"};

    std::mt19937 random(20261207);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    int readable = 0;
    for (int round = 0; round < 10500; ++round) {
        std::string bytes;
        if (round % 3 == 0) {
            bytes = seeds[pick(seeds.size())];
            for (std::size_t m = 1 + pick(8); m > 0; --m) {
                const std::size_t at = pick(bytes.size());
                switch (pick(3)) {
                    case 0:
                        bytes[at] = static_cast<char>(pick(256));
                        break;
                    case 1:
                        bytes.erase(at, 1 + pick(16));
                        break;
                    default:
                        bytes.resize(at);
                        break;
                }
                if (bytes.empty()) break;
            }
        } else {
            Parts parts = unpacked[pick(4) == 0 ? 0 : 1];  // the hand-typed sheet is short, and quick to read
            const auto sheet = std::find_if(parts.begin(), parts.end(),
                                            [](const auto& part) { return part.first == "xl/worksheets/sheet1.xml"; });
            std::string& xml = (pick(2) == 0 ? *sheet : parts[pick(parts.size())]).second;  // mostly the sheet
            for (std::size_t m = 1 + pick(2); m > 0 && !xml.empty(); --m) {
                const std::size_t at = pick(xml.size());
                switch (pick(4)) {
                    case 0:
                        xml[at] = static_cast<char>(pick(256));
                        break;
                    case 1:
                        xml.erase(at, 1 + pick(64));
                        break;
                    case 2:
                        xml.insert(at, tokens[pick(std::size(tokens))]);
                        break;
                    default:
                        xml.insert(at, xml.substr(pick(xml.size()), pick(256)));
                        break;
                }
            }
            bytes = ZipArchive(parts, false);
        }
        const ovntool::Worksheet sheet = ovntool::ReadFirstWorksheet(bytes);
        if (!sheet.problem.empty()) {
            ASSERT_TRUE(sheet.rows.empty()) << round;
            ASSERT_EQ(sheet.problem.find('\n'), std::string::npos) << round;
            continue;
        }
        ++readable;
        for (const ovntool::SheetRow& row : sheet.rows) {
            ASSERT_FALSE(row.cells.empty()) << round;
            for (const SheetCell& cell : row.cells) {
                ASSERT_LT(cell.column, 16384u) << round;
                for (const Column column : ovntool::kAllColumns) (void)CellText(cell, column);
            }
        }
    }
    // Most mutations break the XML (and are caught part-way through); enough leave a sheet to read.
    EXPECT_GT(readable, 300) << readable;
}

}  // namespace
}  // namespace ovntool_test
