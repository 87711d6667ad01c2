// A cell as text: which number formats show a time, and what the import reads
// in a cell of each kind.
#include <charconv>
#include <cmath>

#include "interchange/Text.h"
#include "interchange/WorkbookRead.h"
#include "model/ItemRules.h"

namespace interchange {

bool IsTimeFormat(std::string_view code) {
    bool time = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {  // literal text
            const std::size_t close = code.find('"', i + 1);
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '\\' || c == '_' || c == '*') {  // the next character is literal, a space or a fill
            ++i;
        } else if (c == '[') {  // a colour, a condition or a locale; [h], [mm], [ss] are elapsed time
            const std::size_t close = std::min(code.find(']', i), code.size());
            const std::string inside = ovn::UpperCaseAscii(code.substr(i + 1, close - i - 1));
            time |= !inside.empty() && inside.find_first_not_of(inside[0]) == std::string::npos &&
                    (inside[0] == 'H' || inside[0] == 'M' || inside[0] == 'S');
            i = close;
        } else if (c == 'h' || c == 'H' || c == 's' || c == 'S') {
            time = true;
        }
    }
    return time;
}

namespace {

// A whole number of minutes as HHMM (hours may pass 99).
std::string Hhmm(long long minutes) {
    const std::string digits = std::to_string(minutes / 60 * 100 + minutes % 60);
    return std::string(4 - std::min<std::size_t>(4, digits.size()), '0') + digits;
}

// A number of days in whole minutes, or nullopt when it is not (a spreadsheet keeps about 15 digits).
std::optional<long long> WholeMinutes(double days) {
    const double minutes = days * 24 * 60;
    const double rounded = std::round(minutes);
    if (std::fabs(minutes - rounded) > 1e-6 * std::max(1.0, minutes)) return std::nullopt;
    return static_cast<long long>(rounded);
}

// A time cell's number as a cook time: a fraction of a day, in whole minutes, up to 18:00.
NormalisedValue DurationText(const std::string& written, double days) {
    constexpr double kMaxDays = 18.0 / 24;
    const std::string quoted = QuoteForMessage(written);
    if (days < 0) return {written, "the time " + quoted + " is negative"};
    if (days > 1e6) return {written, "the time " + quoted + " is over 18:00"};
    const auto minutes = WholeMinutes(days);
    if (!minutes) return {written, "the time " + quoted + " is not a whole minute"};
    if (days > kMaxDays) {
        const std::string hhmm = Hhmm(*minutes);
        const std::string shown = hhmm.substr(0, hhmm.size() - 2) + ":" + hhmm.substr(hhmm.size() - 2);
        return {written, "the time " + quoted + " (" + shown + ") is over 18:00"};
    }
    return {Hhmm(*minutes), ""};
}

}  // namespace

NormalisedValue CellText(const SheetCell& cell, Column column) {
    switch (cell.kind) {
        case SheetCell::Kind::Text:
            return {cell.value, ""};
        case SheetCell::Kind::Boolean:
            if (cell.value == "0" || cell.value == "1") return {cell.value == "1" ? "TRUE" : "FALSE", ""};
            return {cell.value, QuoteForMessage(cell.value) + " is not a boolean value"};
        case SheetCell::Kind::Error:
            return {cell.value, "the cell shows the error " + QuoteForMessage(cell.value)};
        case SheetCell::Kind::NoResult:
            return {"", "the formula has no calculated result; open and save the workbook in a spreadsheet first"};
        case SheetCell::Kind::StaleResult:
            return {"",
                    "the workbook asks for its formulas to be recalculated, so the stored result may be stale; "
                    "open and save the workbook in a spreadsheet first"};
        case SheetCell::Kind::Number:
            break;
    }
    double number = 0;
    const char* end = cell.value.data() + cell.value.size();
    const auto [stop, error] = std::from_chars(cell.value.data(), end, number);
    if (error != std::errc() || stop != end || !std::isfinite(number)) {
        return {cell.value, QuoteForMessage(cell.value) + " is not a number"};
    }
    const bool whole = number >= 0 && number < 1e15 && number == std::floor(number);
    if (column == Column::CookTime && cell.timeFormat) return DurationText(cell.value, number);
    if (column == Column::CookTime && number >= 0 && number < 1 && !whole) {
        // A time of day is a fraction of 24 hours.
        const auto minutes = WholeMinutes(number);
        if (!minutes) return {cell.value, "the time of day " + QuoteForMessage(cell.value) + " is not a whole minute"};
        return {Hhmm(*minutes), ""};
    }
    if (whole) return {std::to_string(static_cast<long long>(number)), ""};
    if (column == Column::CookTime) {
        return {cell.value, "the number " + QuoteForMessage(cell.value) +
                                " is neither a time of day (below 1) nor the digits HHMM"};
    }
    return {cell.value, ""};  // as written; the item rules refuse it
}

}  // namespace interchange
