// ovntool import CSVFILE --oven gas|electric -o OUTFILE: builds a menu from CSV,
// every row checked with the strict item rules; any problem and nothing is written.
#include <array>
#include <cerrno>
#include <ostream>
#include <string>
#include <vector>

#include "menufile/MenuStorage.h"
#include "model/Encodings.h"
#include "model/ItemRules.h"
#include "tools/ovntool/Args.h"
#include "tools/ovntool/Columns.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/Csv.h"
#include "tools/ovntool/MenuFile.h"
#include "tools/ovntool/Output.h"
#include "tools/ovntool/Text.h"

namespace ovntool::import {

namespace {

// The problems listed before the rest are only counted.
constexpr std::size_t kMaxListedProblems = 100;

class Problems {
public:
    void Add(std::size_t line, std::string_view column, const std::string& reason) {
        if (count_++ < kMaxListedProblems) {
            lines_.push_back("line " + std::to_string(line) + ": " + std::string(column) + ": " + reason);
        }
    }
    void Add(const std::string& whole) {
        if (count_++ < kMaxListedProblems) lines_.push_back(whole);
    }
    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }
    void Print(std::ostream& err) const {
        for (const std::string& line : lines_) err << line << "\n";
        if (count_ > lines_.size()) err << "\xE2\x80\xA6 and " << count_ - lines_.size() << " more problem(s)\n";
    }

private:
    std::vector<std::string> lines_;
    std::size_t count_ = 0;
};

// A line of more fields than the columns can hold is one problem, not one per field.
bool TooManyFields(const CsvRecord& record, Problems& problems) {
    if (record.fieldCount <= kMaxCsvFields) return false;
    problems.Add("line " + std::to_string(record.line) + ": " + std::to_string(record.fieldCount) +
                 " fields, at most " + std::to_string(kMaxCsvFields));
    return true;
}

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The header's columns in file order; problems go to `problems`.
std::vector<Column> ReadHeader(const CsvRecord& header, Problems& problems) {
    std::vector<Column> columns;
    if (TooManyFields(header, problems)) return columns;
    std::array<bool, kAllColumns.size()> seen{};
    for (const std::string& field : header.fields) {
        const auto decoded = Utf8ToLatin1(field);
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
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || b > 95) {
            return "character " + QuoteForMessage(std::string(1, c)) +
                   " is not allowed (space to '_', letters are upper-cased)";
        }
    }
    return "not allowed";
}

std::string TimeProblem(const std::string& time) {
    switch (ovn::ValidateItemEntry_Time(time)) {
        case 1:
            return QuoteForMessage(time) + ": hours must be 00 to 18";
        case 2:
            return QuoteForMessage(time) + ": minutes must be 00 to 59";
        case 3:
            return QuoteForMessage(time) + ": hours must be 00 to 18 and minutes 00 to 59";
        default:
            return QuoteForMessage(time) + " is not a time HHMM of four digits up to 1800";
    }
}

// Checks one data row; when it is good, stores it in `items`.
void ReadRow(const CsvRecord& row, const std::vector<Column>& columns, std::int16_t ovenType,
             std::array<std::size_t, ovn::kSlotCount>& slotLines, ovn::MenuItemTable& items, Problems& problems) {
    if (TooManyFields(row, problems)) return;
    if (row.fieldCount != columns.size()) {
        problems.Add("line " + std::to_string(row.line) + ": " + std::to_string(row.fieldCount) +
                     " fields, the header has " + std::to_string(columns.size()));
        return;
    }
    const std::size_t before = problems.size();
    ovn::MenuItemRecord item = ovn::DefaultItem();
    int slot = -1;
    unsigned undecodable = 0;  // fields already reported, not to be judged again
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column column = columns[i];
        const auto decoded = Utf8ToLatin1(row.fields[i]);
        if (!decoded.ok) {
            problems.Add(row.line, ColumnName(column), decoded.problem);
            undecodable |= 1u << static_cast<unsigned>(column);
            continue;
        }
        const std::string& text = decoded.bytes;
        switch (column) {
            case Column::Slot:
                if (ovn::IsNumber(text) && ovn::NumberValue(text) < ovn::kSlotCount) {
                    slot = static_cast<int>(ovn::NumberValue(text));
                } else {
                    problems.Add(row.line, "slot", QuoteForMessage(text) + " is not a slot number 0 to 99");
                }
                break;
            case Column::Name:
                item.Name = UpperCaseAscii(text);
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
            case Column::RoastNHold:
                if (text == "0" || text == "1") {
                    item.RoastNHold = static_cast<std::uint8_t>(text[0] - '0');
                } else {
                    problems.Add(row.line, "roast_n_hold", QuoteForMessage(text) + " is not 0 or 1");
                    undecodable |= 1u << static_cast<unsigned>(Column::RoastNHold);
                }
                break;
        }
    }
    if (slot >= 0) {
        std::size_t& firstLine = slotLines[static_cast<std::size_t>(slot)];
        if (firstLine != 0) {
            problems.Add(row.line, "slot",
                         "slot " + std::to_string(slot) + " is already on line " + std::to_string(firstLine));
        } else {
            firstLine = row.line;
        }
    }

    const unsigned bad = ovn::CheckItemRecord(item, ovenType, ovn::RuleStrength::Strict);
    const auto judged = [&](unsigned field, Column column) {
        return (bad & field) != 0 && (undecodable & (1u << static_cast<unsigned>(column))) == 0;
    };
    if (judged(ovn::kFieldName, Column::Name)) problems.Add(row.line, "name", NameProblem(item.Name));
    if (judged(ovn::kFieldCookTemp, Column::CookTemp)) {
        problems.Add(
            row.line, "cook_temp",
            QuoteForMessage(item.CookTemp) + " is not a whole number 200 to " +
                std::to_string(ovenType == ovn::kElectricOven ? ovn::kElectricCookTempMax : ovn::kGasCookTempMax) +
                " (" + OvenTypeName(ovenType) + " oven)");
    }
    if (judged(ovn::kFieldCookTimeHours | ovn::kFieldCookTimeMinutes, Column::CookTime)) {
        problems.Add(row.line, "cook_time", TimeProblem(item.CookTime));
    }
    if (judged(ovn::kFieldFanSpeed, Column::FanSpeed)) {
        problems.Add(row.line, "fan_speed", QuoteForMessage(item.FanSpeed) + " is not OFF, LOW or HIGH");
    }
    if (judged(ovn::kFieldPowerLevel, Column::PowerLevel)) {
        problems.Add(row.line, "power_level", QuoteForMessage(item.PowerLevel) + " is not 0, 10, 20, ... or 100");
    }
    if (judged(ovn::kFieldHoldTemp, Column::HoldTemp)) {
        problems.Add(row.line, "hold_temp",
                     QuoteForMessage(item.HoldTemp) + " is not a whole number 100 to 200 (roast_n_hold is 1)");
    }
    if (problems.size() == before && slot >= 0) items[static_cast<std::size_t>(slot)] = item;
}

}  // namespace

int Run(const Args& args, std::ostream& /*out*/, std::ostream& err) {
    const ParsedArgs parsed = ParseArgs(args, kOutputOptionSpecs);
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    if (parsed.positional.size() != 1) return UsageError(err, "import needs exactly one CSVFILE");
    const auto options = GetOutputOptions(parsed, err);
    if (!options) return kExitError;
    const std::string& csvPath = parsed.positional[0];

    // Refused before a byte is read when larger than any menu CSV can be.
    ovn::StorageError error;
    const auto file = ovn::ReadFileBytes(csvPath, ovn::kReadCap, error, ovn::kReadCap);
    if (!file) {
        err << "ovntool: " << EscapePath(csvPath) << ": " << ovn::StorageErrorCause(error)
            << (error.code == EFBIG ? " (more than " + std::to_string(ovn::kReadCap) + " bytes)" : "") << "\n";
        return kExitError;
    }

    Problems problems;
    ovn::MenuItemTable items;
    for (ovn::MenuItemRecord& item : items) ovn::ItemClear(item);
    const std::string_view text(reinterpret_cast<const char*>(file->bytes.data()), file->bytes.size());
    const CsvDocument doc = ParseCsv(text);
    if (!doc.error.empty()) {
        problems.Add(doc.error);
    } else if (doc.records.empty()) {
        problems.Add("line 1: no header line (slot,name,cook_temp,...); the file is empty");
    } else {
        const std::vector<Column> columns = ReadHeader(doc.records.front(), problems);
        if (problems.empty()) {
            std::array<std::size_t, ovn::kSlotCount> slotLines{};
            for (std::size_t r = 1; r < doc.records.size(); ++r) {
                ReadRow(doc.records[r], columns, options->ovenType, slotLines, items, problems);
            }
        }
    }
    if (!problems.empty()) {
        problems.Print(err);
        err << "ovntool: " << EscapePath(csvPath) << ": " << problems.size() << " problem(s); "
            << EscapePath(options->outPath) << " not written\n";
        return kExitBad;
    }
    return SaveMenu(items, *options, err);
}

}  // namespace ovntool::import
