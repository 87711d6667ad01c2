// What import makes of a file's bytes: the rows of a CSV or of a workbook's
// menu sheet, each judged with the strict item rules before it becomes a slot.
#include "interchange/ImportMenu.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "interchange/Columns.h"
#include "interchange/Csv.h"
#include "interchange/Normalise.h"
#include "interchange/Text.h"
#include "interchange/WorkbookRead.h"
#include "model/Encodings.h"
#include "model/ItemRules.h"

namespace interchange {

namespace {

// The problems listed before the rest are only counted.
constexpr std::size_t kMaxListedProblems = 100;

// A CSV counts lines, a sheet rows (sheet "Menu" row 4).
class Problems {
public:
    explicit Problems(const char* unit) : unit_(unit) {}
    // Every line of a workbook's problems names the sheet.
    void SetSheet(const std::string& name) { sheet_ = "sheet " + QuoteForMessage(name) + " "; }
    std::string Where(std::size_t line) const { return sheet_ + Nearby(line); }
    // Another line of the same file or sheet.
    std::string Nearby(std::size_t line) const { return unit_ + " " + std::to_string(line); }
    void Add(std::size_t line, std::string_view column, const std::string& reason) {
        Add(Where(line) + ": " + std::string(column) + ": " + reason);
    }
    void Add(const std::string& whole) {
        if (count_++ < kMaxListedProblems) lines_.push_back(whole);
    }
    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }
    std::vector<std::string> TakeLines() { return std::move(lines_); }

private:
    std::string unit_;
    std::string sheet_;
    std::vector<std::string> lines_;
    std::size_t count_ = 0;
};

// One row of either source: a CSV record, or a sheet row as text with the
// problems its cells already have (an error value, a time that is no whole minute).
struct TableRow {
    std::size_t line = 0;
    std::vector<std::string> fields;   // the first kMaxCsvFields of them
    std::size_t fieldCount = 0;        // all of them
    std::vector<std::string> refused;  // empty, or one entry per field ("" when the field is fine)
    std::string problem;               // a fault of the whole row, which is then not judged
};

// A line of more fields than the columns can hold is one problem, not one per field.
bool TooManyFields(const TableRow& row, Problems& problems) {
    if (row.fieldCount <= kMaxCsvFields) return false;
    problems.Add(problems.Where(row.line) + ": " + std::to_string(row.fieldCount) + " fields, at most " +
                 std::to_string(kMaxCsvFields));
    return true;
}

// The header's columns in file order; problems go to `problems`.
std::vector<Column> ReadHeader(const TableRow& header, Problems& problems) {
    std::vector<Column> columns;
    if (!header.problem.empty()) {
        problems.Add(problems.Where(header.line) + ": " + header.problem);
        return columns;
    }
    if (TooManyFields(header, problems)) return columns;
    std::array<bool, kAllColumns.size()> seen{};
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        // A workbook cell refused as it was read (a formula without a result, an error) says why.
        if (!header.refused.empty() && !header.refused[i].empty()) {
            problems.Add(header.line, "(column name)", header.refused[i]);
            continue;
        }
        const auto decoded = Utf8ToLatin1(header.fields[i]);
        const auto column = decoded.ok ? ColumnByName(decoded.bytes) : std::nullopt;
        if (!column) {
            problems.Add(header.line, decoded.ok ? QuoteForMessage(decoded.bytes) : "(column name)",
                         decoded.ok ? "unknown column; the header holds slot,name,cook_temp,cook_time,fan_speed,"
                                      "power_level,roast_n_hold,hold_temp in any order"
                                    : decoded.problem);
            continue;
        }
        auto& wasSeen = seen[static_cast<std::size_t>(*column)];
        if (wasSeen) problems.Add(header.line, ColumnName(*column), "column given twice");
        wasSeen = true;
        columns.push_back(*column);
    }
    if (!seen[static_cast<std::size_t>(Column::Slot)]) problems.Add(header.line, "slot", "column missing");
    return columns;
}

std::string NameProblem(const std::string& name) {
    if (name.size() > static_cast<std::size_t>(ovn::kNameMaxLength)) {
        return std::to_string(name.size()) + " characters, at most " + std::to_string(ovn::kNameMaxLength);
    }
    for (const char c : name) {
        if (!ovn::IsNameCharacter(static_cast<unsigned char>(c))) {
            return "character " + QuoteForMessage(std::string(1, c)) +
                   " is not allowed (space to '_', letters are upper-cased)";
        }
    }
    return "not allowed";
}

std::string TimeProblem(const std::string& time) {
    switch (ovn::ValidateItemEntry_Time(time)) {
        case ovn::kTimeHoursBad:
            return QuoteForMessage(time) + ": hours must be 00 to 18";
        case ovn::kTimeMinutesBad:
            return QuoteForMessage(time) + ": minutes must be 00 to 59";
        case ovn::kTimeHoursAndMinutesBad:
            return QuoteForMessage(time) + ": hours must be 00 to 18 and minutes 00 to 59";
        default:
            return QuoteForMessage(time) + " is not a time HHMM of four digits up to 1800";
    }
}

// A data row's fields as an item; what could not be read is reported here and
// left out of the rules' judgement.
struct ParsedRow {
    ovn::MenuItemRecord item = ovn::DefaultItem();
    int slot = -1;
    unsigned undecodable = 0;  // bits of the columns already reported
};

// Stores one field's text (normalised, decoded) in the row's item.
void StoreField(Column column, const std::string& text, std::size_t line, ParsedRow& parsed, Problems& problems) {
    ovn::MenuItemRecord& item = parsed.item;
    switch (column) {
        case Column::Slot:
            if (ovn::IsNumber(text) && ovn::NumberValue(text) < ovn::kSlotCount) {
                parsed.slot = static_cast<int>(ovn::NumberValue(text));
            } else {
                problems.Add(
                    line, "slot",
                    QuoteForMessage(text) + " is not a slot number 0 to " + std::to_string(ovn::kSlotCount - 1));
            }
            break;
        case Column::Name:
            item.Name = ovn::UpperCaseAscii(text);
            break;
        case Column::CookTemp:
            item.CookTemp = text;
            break;
        case Column::CookTime:
            item.CookTime = text;
            break;
        case Column::FanSpeed:
            item.FanSpeed = text;
            break;
        case Column::PowerLevel:
            item.PowerLevel = text;
            break;
        case Column::HoldTemp:
            item.HoldTemp = text;
            break;
        case Column::RoastNHold:  // "0" or "1" once normalised
            item.RoastNHold = static_cast<std::uint8_t>(text[0] - '0');
            break;
    }
}

ParsedRow ParseFields(const TableRow& row, const std::vector<Column>& columns, Problems& problems) {
    ParsedRow parsed;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column column = columns[i];
        const auto decoded = Utf8ToLatin1(row.fields[i]);
        const NormalisedValue value = NormaliseSpreadsheetValue(column, decoded.bytes);
        const std::string& refused = !row.refused.empty() && !row.refused[i].empty() ? row.refused[i]
                                     : !decoded.ok                                   ? decoded.problem
                                                                                     : value.problem;
        if (!refused.empty()) {
            problems.Add(row.line, ColumnName(column), refused);
            parsed.undecodable |= 1u << static_cast<unsigned>(column);
            continue;
        }
        StoreField(column, value.text, row.line, parsed, problems);
    }
    return parsed;
}

// A slot may stand on one row only; the first row that names it keeps it.
void ClaimSlot(int slot, std::size_t line, std::array<std::size_t, ovn::kSlotCount>& slotLines, Problems& problems) {
    if (slot < 0) return;
    std::size_t& firstLine = slotLines[static_cast<std::size_t>(slot)];
    if (firstLine != 0) {
        problems.Add(line, "slot", "slot " + std::to_string(slot) + " is already on " + problems.Nearby(firstLine));
    } else {
        firstLine = line;
    }
}

// The strict item rules' verdict on a parsed row, in words, one problem per bad field.
void DescribeRuleProblems(const ParsedRow& parsed, std::size_t line, std::int16_t ovenType, Problems& problems) {
    const ovn::MenuItemRecord& item = parsed.item;
    const unsigned bad = ovn::CheckItemRecord(item, ovenType, ovn::RuleStrength::Strict);
    const auto judged = [&](unsigned field, Column column) {
        return (bad & field) != 0 && (parsed.undecodable & (1u << static_cast<unsigned>(column))) == 0;
    };
    const auto wholeNumber = [](int low, int high) {
        return " is not a whole number " + std::to_string(low) + " to " + std::to_string(high);
    };
    if (judged(ovn::kFieldName, Column::Name)) problems.Add(line, "name", NameProblem(item.Name));
    if (judged(ovn::kFieldCookTemp, Column::CookTemp)) {
        problems.Add(line, "cook_temp",
                     QuoteForMessage(item.CookTemp) + wholeNumber(ovn::kCookTempMin, ovn::CookTempMax(ovenType)) +
                         " (" + OvenTypeName(ovenType) + " oven)");
    }
    if (judged(ovn::kFieldCookTimeHours | ovn::kFieldCookTimeMinutes, Column::CookTime)) {
        problems.Add(line, "cook_time", TimeProblem(item.CookTime));
    }
    if (judged(ovn::kFieldFanSpeed, Column::FanSpeed)) {
        problems.Add(line, "fan_speed", QuoteForMessage(item.FanSpeed) + " is not OFF, LOW or HIGH");
    }
    if (judged(ovn::kFieldPowerLevel, Column::PowerLevel)) {
        problems.Add(line, "power_level", QuoteForMessage(item.PowerLevel) + " is not 0, 10, 20, ... or 100");
    }
    if (judged(ovn::kFieldHoldTemp, Column::HoldTemp)) {
        problems.Add(line, "hold_temp",
                     QuoteForMessage(item.HoldTemp) + wholeNumber(ovn::kHoldTempMin, ovn::kHoldTempMax) +
                         " (roast_n_hold is 1)");
    }
}

// Checks one data row; when it is good, stores it in `items`.
void ReadRow(const TableRow& row, const std::vector<Column>& columns, std::int16_t ovenType,
             std::array<std::size_t, ovn::kSlotCount>& slotLines, ovn::MenuItemTable& items, Problems& problems) {
    if (!row.problem.empty()) {
        problems.Add(problems.Where(row.line) + ": " + row.problem);
        return;
    }
    if (TooManyFields(row, problems)) return;
    if (row.fieldCount != columns.size()) {
        problems.Add(problems.Where(row.line) + ": " + std::to_string(row.fieldCount) + " fields, the header has " +
                     std::to_string(columns.size()));
        return;
    }
    const std::size_t before = problems.size();
    const ParsedRow parsed = ParseFields(row, columns, problems);
    ClaimSlot(parsed.slot, row.line, slotLines, problems);
    DescribeRuleProblems(parsed, row.line, ovenType, problems);
    if (problems.size() == before && parsed.slot >= 0) items[static_cast<std::size_t>(parsed.slot)] = parsed.item;
}

// The CSV's records as rows; the first is the header. A fault goes to `problems`.
std::vector<TableRow> CsvRows(std::string_view text, Problems& problems) {
    CsvDocument doc = ParseCsv(text);
    if (!doc.error.empty()) {
        problems.Add(doc.error);
        return {};
    }
    std::vector<TableRow> rows;
    for (CsvRecord& record : doc.records)
        rows.push_back({record.line, std::move(record.fields), record.fieldCount, {}, {}});
    return rows;
}

// "A" for column 0, "XFD" for 16383.
std::string ColumnLetters(std::size_t column) {
    std::string letters;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters;
}

// The sheet's rows as text, each as wide as the header (the first row): an
// empty cell is an empty field. A row is judged before it is widened: a value
// right of the header, or (in the header) past column 64, is one problem.
std::vector<TableRow> SheetRows(const Worksheet& sheet) {
    std::vector<TableRow> rows;
    for (const SheetRow& sheetRow : sheet.rows) {
        TableRow row{sheetRow.number, {}, 0, {}, {}};
        std::size_t last = 0;  // the rightmost cell's column
        for (const SheetCell& cell : sheetRow.cells) last = std::max(last, cell.column);
        const bool header = rows.empty();
        const std::size_t width = header ? std::min(last + 1, kMaxCsvFields) : rows.front().fields.size();
        if (last >= width) {
            row.problem = "a value in column " + ColumnLetters(last) + ", past " +
                          (header ? "column " + ColumnLetters(width - 1) + " (a menu's sheet has at most " +
                                        std::to_string(kMaxCsvFields) + " columns)"
                                  : "the header's last column " + ColumnLetters(width - 1));
            rows.push_back(std::move(row));
            continue;
        }
        row.fields.resize(width);
        row.fieldCount = width;
        row.refused.resize(width);
        for (const SheetCell& cell : sheetRow.cells) {
            const auto header = rows.empty() ? std::nullopt : ColumnByName(rows.front().fields[cell.column]);
            const NormalisedValue text = CellText(cell, header.value_or(Column::Name));
            row.fields[cell.column] = text.text;
            row.refused[cell.column] = text.problem;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

ImportedMenu ImportMenu(std::string_view text, std::int16_t ovenType, std::string_view fileName,
                        std::string_view sheetName) {
    const bool workbook = LooksLikeZipArchive(text);
    Problems problems(workbook ? "row" : "line");
    ImportedMenu result;
    for (ovn::MenuItemRecord& item : result.items) ovn::ItemClear(item);
    const bool xlsxName = fileName.size() >= 5 && ovn::UpperCaseAscii(fileName.substr(fileName.size() - 5)) == ".XLSX";
    if (text.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        // The compound file of the old binary workbooks, and of every password-protected one.
        problems.Add("an old binary (.xls) or password-protected workbook; save it as .xlsx without a password");
    } else if (xlsxName && !workbook) {
        problems.Add("the file is not an .xlsx workbook (no zip archive)");
    } else if (!workbook && !sheetName.empty()) {
        problems.Add("--sheet chooses a sheet of a workbook; this file is text, not an .xlsx workbook");
    } else {
        std::vector<TableRow> rows;
        if (workbook) {
            const Worksheet sheet = ReadMenuWorksheet(text, sheetName);
            if (!sheet.name.empty()) problems.SetSheet(sheet.name);
            if (!sheet.problem.empty()) {
                problems.Add((sheet.name.empty() ? "" : "sheet " + QuoteForMessage(sheet.name) + ": ") + sheet.problem);
            }
            rows = SheetRows(sheet);
        } else {
            const Utf16Decoded utf16 = DecodeUtf16(text);
            if (utf16.problem.empty()) {
                rows = CsvRows(utf16.utf16 ? std::string_view(utf16.utf8) : text, problems);
            } else {
                problems.Add(utf16.problem);
            }
        }
        if (!problems.empty()) {  // the file could not be read as rows at all
        } else if (rows.empty()) {
            problems.Add(problems.Where(1) + ": no header " + (workbook ? "row" : "line") +
                         " (slot,name,cook_temp,...); the " + (workbook ? "sheet" : "file") + " is empty");
        } else {
            const std::vector<Column> columns = ReadHeader(rows.front(), problems);
            if (problems.empty()) {
                std::array<std::size_t, ovn::kSlotCount> slotLines{};
                for (std::size_t r = 1; r < rows.size(); ++r) {
                    ReadRow(rows[r], columns, ovenType, slotLines, result.items, problems);
                }
            }
        }
    }
    result.problemCount = problems.size();
    result.problems = problems.TakeLines();
    return result;
}

}  // namespace interchange
