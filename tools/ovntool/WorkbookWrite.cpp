#include "tools/ovntool/WorkbookWrite.h"

#include <sys/mman.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "menufile/MenuStorage.h"
#include "model/ItemRules.h"
#include "tools/ovntool/Columns.h"
#include "tools/ovntool/Text.h"

namespace ovntool {

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

std::string WriteWorkbookFile(const LoadedMenu& menu, const std::string& path) {
    lxw_workbook* book = workbook_new(path.c_str());
    if (book == nullptr) return "the workbook cannot be created";
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Menu");
    lxw_worksheet* ovenSheet = workbook_add_worksheet(book, "Oven");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    format_set_num_format(bold, "@");
    lxw_format* text = workbook_add_format(book);
    format_set_num_format(text, "@");  // what is typed stays text: "0130" is no 130, "1-2" no date

    const bool electric = menu.ovenType == ovn::kElectricOven;
    const int cookTempMax = electric ? ovn::kElectricCookTempMax : ovn::kGasCookTempMax;
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
                const std::string value =
                    Latin1ToUtf8(ColumnText(column, slot, menu.items[static_cast<std::size_t>(slot)]));
                worksheet_write_string(sheet, row, col, value.c_str(), text);
            }
        }
    }
    worksheet_freeze_panes(sheet, 1, 0);

    const std::string oven = OvenTypeName(menu.ovenType);
    lxw_data_validation name{};
    name.validate = LXW_VALIDATION_TYPE_LENGTH;
    name.criteria = LXW_VALIDATION_CRITERIA_LESS_THAN_OR_EQUAL_TO;
    name.value_number = ovn::kNameMaxLength;
    Validate(sheet, Column::Name, name, "name",
             "At most 8 characters: A to Z, 0 to 9, space and ! \" # $ % & ' ( ) * + , - . / : ; < = > ? @ [ \\ ] ^ "
             "_ (letters are upper-cased).");
    lxw_data_validation cookTemp{};
    cookTemp.validate = LXW_VALIDATION_TYPE_CUSTOM_FORMULA;
    const std::string cookTempFormula = WholeNumberFormula(Column::CookTemp, ovn::kCookTempMin, cookTempMax);
    cookTemp.value_formula = const_cast<char*>(cookTempFormula.c_str());
    Validate(sheet, Column::CookTemp, cookTemp, "cook_temp",
             "A whole number 200 to " + std::to_string(cookTempMax) + " (" + oven + " oven).");
    lxw_data_validation cookTime{};
    cookTime.validate = LXW_VALIDATION_TYPE_ANY;
    Validate(sheet, Column::CookTime, cookTime, "cook_time",
             "Hours and minutes HHMM, 0000 to 1800: 0130 is 1 h 30 min.");
    const char* fanSpeeds[] = {"OFF", "LOW", "HIGH", nullptr};
    lxw_data_validation fan{};
    fan.validate = LXW_VALIDATION_TYPE_LIST;
    fan.value_list = const_cast<char**>(fanSpeeds);
    Validate(sheet, Column::FanSpeed, fan, "fan_speed", "OFF, LOW or HIGH.");
    const char* powerLevels[] = {"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100", nullptr};
    lxw_data_validation power{};
    power.validate = LXW_VALIDATION_TYPE_LIST;
    power.value_list = const_cast<char**>(powerLevels);
    Validate(sheet, Column::PowerLevel, power, "power_level", "0 to 100 in steps of 10.");
    const char* flags[] = {"0", "1", nullptr};
    lxw_data_validation roast{};
    roast.validate = LXW_VALIDATION_TYPE_LIST;
    roast.value_list = const_cast<char**>(flags);
    Validate(sheet, Column::RoastNHold, roast, "roast_n_hold", "1 to roast and then hold at hold_temp, else 0.");
    lxw_data_validation hold{};
    hold.validate = LXW_VALIDATION_TYPE_CUSTOM_FORMULA;
    const std::string holdFormula = WholeNumberFormula(Column::HoldTemp, ovn::kHoldTempMin, ovn::kHoldTempMax);
    hold.value_formula = const_cast<char*>(holdFormula.c_str());
    Validate(sheet, Column::HoldTemp, hold, "hold_temp", "A whole number 100 to 200 (checked when roast_n_hold is 1).");

    // The limits depend on the oven type, which the menu file holds and the sheet names.
    worksheet_set_column(ovenSheet, 0, 0, 14, nullptr);
    worksheet_set_column(ovenSheet, 1, 1, 40, nullptr);
    worksheet_write_string(ovenSheet, 0, 0, "oven_type", bold);
    worksheet_write_string(ovenSheet, 0, 1, oven.c_str(), text);
    worksheet_write_string(ovenSheet, 1, 0, "cook_temp", bold);
    worksheet_write_string(ovenSheet, 1, 1, ("200 to " + std::to_string(cookTempMax)).c_str(), text);
    worksheet_write_string(ovenSheet, 2, 0, "import", bold);
    worksheet_write_string(ovenSheet, 2, 1, ("ovntool import FILE.xlsx --oven " + oven + " -o OUTFILE").c_str(), text);

    const lxw_error error = workbook_close(book);
    return error == LXW_NO_ERROR ? std::string() : std::string(lxw_strerror(error));
}

}  // namespace

std::string WriteMenuWorkbook(const LoadedMenu& menu, std::string& bytes) {
    // libxlsxwriter writes only to a named file: an unnamed one in memory, read back whole.
    const int fd = ::memfd_create("ovntool-workbook", MFD_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    std::string reason = WriteWorkbookFile(menu, path);
    ovn::StorageError error;
    const auto file = reason.empty() ? ovn::ReadFileBytes(path, ovn::kReadCap, error) : std::nullopt;
    ::close(fd);
    if (!reason.empty()) return reason;
    if (!file) return ovn::StorageErrorCause(error);
    bytes.assign(file->bytes.begin(), file->bytes.end());
    return {};
}

}  // namespace ovntool
