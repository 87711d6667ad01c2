#include "interchange/WorkbookWrite.h"

#include <sys/mman.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "interchange/Columns.h"
#include "interchange/Text.h"
#include "menufile/MenuStorage.h"
#include "model/ItemRules.h"

namespace interchange {

namespace {

// The column letter of a menu column ("A" for slot).
std::string Letter(Column column) {
    const auto index = std::find(kAllColumns.begin(), kAllColumns.end(), column) - kAllColumns.begin();
    return std::string(1, static_cast<char>('A' + index));
}

lxw_col_t ColumnIndex(Column column) {
    return static_cast<lxw_col_t>(Letter(column)[0] - 'A');
}

// Whole number from `low` to `high` in a text cell: VALUE reads the text as a spreadsheet would.
std::string WholeNumberFormula(Column column, int low, int high) {
    const std::string v = "VALUE(" + Letter(column) + "2)";
    return "=AND(ISNUMBER(" + v + ")," + v + "=INT(" + v + ")," + v + ">=" + std::to_string(low) + "," + v +
           "<=" + std::to_string(high) + ")";
}

void Validate(lxw_worksheet* sheet, Column column, lxw_data_validation& rule, const char* title,
              const std::string& message) {
    rule.input_title = const_cast<char*>(title);
    rule.input_message = const_cast<char*>(message.c_str());
    rule.error_title = const_cast<char*>(title);
    rule.error_message = const_cast<char*>(message.c_str());
    rule.show_input = LXW_VALIDATION_ON;
    rule.show_error = LXW_VALIDATION_ON;
    rule.ignore_blank = column == Column::Name ? LXW_VALIDATION_ON : LXW_VALIDATION_OFF;  // a name may be empty
    worksheet_data_validation_range(sheet, 1, ColumnIndex(column), ovn::kSlotCount, ColumnIndex(column), &rule);
}

// The drop-down lists of the cells (libxlsxwriter takes them as null-terminated arrays).
const char* const kFanSpeedList[] = {"OFF", "LOW", "HIGH", nullptr};
const char* const kPowerLevelList[] = {"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100", nullptr};
const char* const kRoastNHoldList[] = {"0", "1", nullptr};

std::string Range(int low, int high) {
    return std::to_string(low) + " to " + std::to_string(high);
}

// The sheet "Menu": the header row bold and frozen, a row per slot, every column but slot as text.
void WriteMenuSheet(lxw_worksheet* sheet, const ovn::MenuItemTable& items, lxw_format* bold, lxw_format* text) {
    for (const Column column : kAllColumns) {
        const std::string name(ColumnName(column));
        const lxw_col_t col = ColumnIndex(column);
        worksheet_set_column(sheet, col, col, static_cast<double>(std::max<std::size_t>(name.size() + 2, 11)),
                             column == Column::Slot ? nullptr : text);
        worksheet_write_string(sheet, 0, col, name.c_str(), bold);
        for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
            const auto row = static_cast<lxw_row_t>(slot + 1);
            if (column == Column::Slot) {
                worksheet_write_number(sheet, row, col, slot, nullptr);
            } else {
                const std::string value = Latin1ToUtf8(ColumnText(column, slot, items[static_cast<std::size_t>(slot)]));
                worksheet_write_string(sheet, row, col, value.c_str(), text);
            }
        }
    }
    worksheet_freeze_panes(sheet, 1, 0);
}

void ValidateFromList(lxw_worksheet* sheet, Column column, const char* const* list, const char* title,
                      const std::string& message) {
    lxw_data_validation rule{};
    rule.validate = LXW_VALIDATION_TYPE_LIST;
    rule.value_list = const_cast<char**>(list);
    Validate(sheet, column, rule, title, message);
}

void ValidateWholeNumber(lxw_worksheet* sheet, Column column, int low, int high, const char* title,
                         const std::string& message) {
    lxw_data_validation rule{};
    rule.validate = LXW_VALIDATION_TYPE_CUSTOM_FORMULA;
    const std::string formula = WholeNumberFormula(column, low, high);
    rule.value_formula = const_cast<char*>(formula.c_str());
    Validate(sheet, column, rule, title, message);
}

// What each cell of the sheet "Menu" takes, shown when it is clicked and checked when typed.
void AddValidations(lxw_worksheet* sheet, std::int16_t ovenType) {
    const int cookTempMax = ovn::CookTempMax(ovenType);
    lxw_data_validation name{};
    name.validate = LXW_VALIDATION_TYPE_LENGTH;
    name.criteria = LXW_VALIDATION_CRITERIA_LESS_THAN_OR_EQUAL_TO;
    name.value_number = ovn::kNameMaxLength;
    Validate(sheet, Column::Name, name, "name",
             "At most " + std::to_string(ovn::kNameMaxLength) +
                 " characters: A to Z, 0 to 9, space and ! \" # $ % & ' ( ) * + , - . / : ; < = > ? @ [ \\ ] ^ "
                 "_ (letters are upper-cased).");
    ValidateWholeNumber(
        sheet, Column::CookTemp, ovn::kCookTempMin, cookTempMax, "cook_temp",
        "A whole number " + Range(ovn::kCookTempMin, cookTempMax) + " (" + OvenTypeName(ovenType) + " oven).");
    lxw_data_validation cookTime{};
    cookTime.validate = LXW_VALIDATION_TYPE_ANY;
    Validate(sheet, Column::CookTime, cookTime, "cook_time",
             "Hours and minutes HHMM, 0000 to 1800: 0130 is 1 h 30 min.");
    ValidateFromList(sheet, Column::FanSpeed, kFanSpeedList, "fan_speed", "OFF, LOW or HIGH.");
    ValidateFromList(sheet, Column::PowerLevel, kPowerLevelList, "power_level", "0 to 100 in steps of 10.");
    ValidateFromList(sheet, Column::RoastNHold, kRoastNHoldList, "roast_n_hold",
                     "1 to roast and then hold at hold_temp, else 0.");
    ValidateWholeNumber(
        sheet, Column::HoldTemp, ovn::kHoldTempMin, ovn::kHoldTempMax, "hold_temp",
        "A whole number " + Range(ovn::kHoldTempMin, ovn::kHoldTempMax) + " (checked when roast_n_hold is 1).");
}

// The sheet "Oven": the limits depend on the oven type, which the menu file holds and the sheet names.
void WriteOvenSheet(lxw_worksheet* ovenSheet, std::int16_t ovenType, lxw_format* bold, lxw_format* text) {
    const std::string oven = OvenTypeName(ovenType);
    worksheet_set_column(ovenSheet, 0, 0, 14, nullptr);
    worksheet_set_column(ovenSheet, 1, 1, 40, nullptr);
    worksheet_write_string(ovenSheet, 0, 0, "oven_type", bold);
    worksheet_write_string(ovenSheet, 0, 1, oven.c_str(), text);
    worksheet_write_string(ovenSheet, 1, 0, "cook_temp", bold);
    worksheet_write_string(ovenSheet, 1, 1, Range(ovn::kCookTempMin, ovn::CookTempMax(ovenType)).c_str(), text);
    worksheet_write_string(ovenSheet, 2, 0, "import", bold);
    worksheet_write_string(ovenSheet, 2, 1, ("ovntool import FILE.xlsx --oven " + oven + " -o OUTFILE").c_str(), text);
}

std::string WriteWorkbookFile(const ovn::MenuItemTable& items, std::int16_t ovenType, const std::string& path) {
    lxw_workbook* book = workbook_new(path.c_str());
    if (book == nullptr) return "the workbook cannot be created";
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Menu");
    lxw_worksheet* ovenSheet = workbook_add_worksheet(book, "Oven");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    format_set_num_format(bold, "@");
    lxw_format* text = workbook_add_format(book);
    format_set_num_format(text, "@");  // what is typed stays text: "0130" is no 130, "1-2" no date

    WriteMenuSheet(sheet, items, bold, text);
    AddValidations(sheet, ovenType);
    WriteOvenSheet(ovenSheet, ovenType, bold, text);
    const lxw_error error = workbook_close(book);
    return error == LXW_NO_ERROR ? std::string() : std::string(lxw_strerror(error));
}

}  // namespace

std::string WriteMenuWorkbook(const ovn::MenuItemTable& items, std::int16_t ovenType, std::string& bytes) {
    // libxlsxwriter writes only to a named file: an unnamed one in memory, read back whole.
    const int fd = ::memfd_create("ovntool-workbook", MFD_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    std::string reason = WriteWorkbookFile(items, ovenType, path);
    ovn::StorageError error;
    const auto file = reason.empty() ? ovn::ReadFileBytes(path, ovn::kReadCap, error) : std::nullopt;
    ::close(fd);
    if (!reason.empty()) return reason;
    if (!file) return ovn::StorageErrorCause(error);
    bytes.assign(file->bytes.begin(), file->bytes.end());
    return {};
}

}  // namespace interchange
