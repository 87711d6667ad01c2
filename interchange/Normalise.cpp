#include "interchange/Normalise.h"

#include <algorithm>

#include "interchange/Text.h"
#include "model/ItemRules.h"

namespace interchange {

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

NormalisedValue CookTime(std::string_view text) {
    if (AllDigits(text) && text.size() <= 4) return {std::string(4 - text.size(), '0') + std::string(text), ""};
    // A spreadsheet shows a time of day as H:MM or H:MM:SS.
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return {std::string(text), ""};
    const std::string_view hours = text.substr(0, colon);
    const std::string_view rest = text.substr(colon + 1);
    const std::string_view minutes = rest.substr(0, rest.find(':'));
    const bool withSeconds = rest.size() > minutes.size();
    const std::string_view seconds = withSeconds ? rest.substr(minutes.size() + 1) : std::string_view();
    if (!AllDigits(hours) || hours.size() > 2 || !AllDigits(minutes) || minutes.size() != 2 ||
        (withSeconds && (!AllDigits(seconds) || seconds.size() != 2))) {
        return {std::string(text), QuoteForMessage(text) + " is not a time HHMM, H:MM or H:MM:SS"};
    }
    if (withSeconds && seconds != "00") {
        return {std::string(text), QuoteForMessage(text) + ": seconds must be 00 (a menu keeps whole minutes)"};
    }
    return {std::string(2 - hours.size(), '0') + std::string(hours) + std::string(minutes), ""};
}

}  // namespace

NormalisedValue NormaliseSpreadsheetValue(Column column, std::string_view text) {
    switch (column) {
        case Column::CookTime:
            return CookTime(text);
        case Column::FanSpeed: {
            const std::string upper = ovn::UpperCaseAscii(text);
            return {upper == "OFF" || upper == "LOW" || upper == "HIGH" ? upper : std::string(text), ""};
        }
        case Column::RoastNHold: {
            const std::string upper = ovn::UpperCaseAscii(text);
            if (upper == "0" || upper == "FALSE") return {"0", ""};
            if (upper == "1" || upper == "TRUE") return {"1", ""};
            return {std::string(text), QuoteForMessage(text) + " is not 0 or 1 (or FALSE or TRUE)"};
        }
        default:
            return {std::string(text), ""};
    }
}

}  // namespace interchange
