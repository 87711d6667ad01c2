#include "model/ItemRules.h"

#include <algorithm>

#include "model/Encodings.h"

namespace ovn {

namespace {

constexpr int kHoursMax = 18;
constexpr int kMinutesMax = 59;

bool IsTwoDigitBox(std::string_view text) {
    return text.size() == 2 && IsNumber(text);
}

int ToUpperAscii(int key) {
    return (key >= 'a' && key <= 'z') ? key - ('a' - 'A') : key;
}

bool InList(std::string_view text, const auto& entries) {
    return std::find(entries.begin(), entries.end(), text) != entries.end();
}

unsigned TimeCodeToFields(std::int16_t code) {
    switch (code) {
        case kTimeGood:
            return 0;
        case kTimeHoursBad:
            return kFieldCookTimeHours;
        case kTimeMinutesBad:
            return kFieldCookTimeMinutes;
        default:  // kTimeHoursAndMinutesBad and kTimeNotATime
            return kFieldCookTimeHours | kFieldCookTimeMinutes;
    }
}

// Every check but the cook time, which the two callers take from different places.
unsigned CheckAllButCookTime(const MenuItemRecord& item, std::int16_t ovenType, RuleStrength strength) {
    unsigned bad = 0;
    if (!ValidateItemEntry_Name(item.Name)) {
        bad |= kFieldName;
    }
    if (!ValidateItemEntry_COOKTemp(item.CookTemp, ovenType)) {
        bad |= kFieldCookTemp;
    }
    if (item.RoastNHold == 1 && !ValidateItemEntry_HOLDTemp(item.HoldTemp, ovenType)) {
        bad |= kFieldHoldTemp;
    }
    if (strength == RuleStrength::Strict) {
        for (char c : item.Name) {
            if (!IsNameCharacter(ToUpperAscii(static_cast<unsigned char>(c)))) {
                bad |= kFieldName;
                break;
            }
        }
        if (!InList(item.FanSpeed, kFanSpeedEntries)) {
            bad |= kFieldFanSpeed;
        }
        if (!InList(item.PowerLevel, kPowerLevelEntries)) {
            bad |= kFieldPowerLevel;
        }
    }
    return bad;
}

}  // namespace

int CookTempMax(std::int16_t ovenType) {
    return ovenType == kElectricOven ? kElectricCookTempMax : kGasCookTempMax;
}

bool IsNameCharacter(int code) {
    return code >= ' ' && code <= '_';
}

std::string UpperCaseAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(ToUpperAscii(static_cast<unsigned char>(c)));
    }
    return upper;
}

bool ValidateItemEntry_Name(std::string_view start) {
    return start.size() <= static_cast<std::size_t>(kNameMaxLength);
}

bool ValidateItemEntry_COOKTemp(std::string_view start, std::int16_t ovntyp) {
    if (!IsNumber(start)) {
        return false;
    }
    const std::int32_t v = NumberValue(start);
    switch (ovntyp) {
        case kGasOven:
            return v >= kCookTempMin && v <= kGasCookTempMax;
        case kElectricOven:
            return v >= kCookTempMin && v <= kElectricCookTempMax;
        default:
            return false;
    }
}

bool ValidateItemEntry_HOLDTemp(std::string_view start, std::int16_t /*ovntyp: the range is the same for both*/) {
    if (!IsNumber(start)) {
        return false;
    }
    const std::int32_t v = NumberValue(start);
    return v >= kHoldTempMin && v <= kHoldTempMax;
}

std::int16_t ValidateItemEntry_Time(std::string_view start) {
    if (!IsNumber(start) || start.size() != 4) {
        return kTimeNotATime;
    }
    const std::int32_t hh = NumberValue(start.substr(0, 2));
    const std::int32_t mm = NumberValue(start.substr(2, 2));
    const bool hoursBad = hh < 0 || hh > kHoursMax;
    const bool minutesBad = mm < 0 || mm > kMinutesMax;
    if (hoursBad && minutesBad) {
        return kTimeHoursAndMinutesBad;
    }
    if (hoursBad) {
        return kTimeHoursBad;
    }
    if (minutesBad) {
        return kTimeMinutesBad;
    }
    const std::int32_t seconds = hh * 3600 + mm * 60;
    return (seconds >= 0 && seconds <= kCookTimeMaxSeconds) ? kTimeGood : kTimeNotATime;
}

CookTimeVerdict ValidateCookTimeBoxes(std::string_view hours, std::string_view minutes) {
    const std::string hh = PadTimeBox(hours);
    const std::string mm = PadTimeBox(minutes);
    CookTimeVerdict verdict;
    const bool hoursWellFormed = IsTwoDigitBox(hh);
    const bool minutesWellFormed = IsTwoDigitBox(mm);
    if (hoursWellFormed && minutesWellFormed) {
        const unsigned fields = TimeCodeToFields(ValidateItemEntry_Time(hh + mm));
        verdict.hoursBad = (fields & kFieldCookTimeHours) != 0;
        verdict.minutesBad = (fields & kFieldCookTimeMinutes) != 0;
        return verdict;
    }
    // One box cannot be read: judge the other one on its own range.
    verdict.hoursBad = !hoursWellFormed || NumberValue(hh) > kHoursMax;
    verdict.minutesBad = !minutesWellFormed || NumberValue(mm) > kMinutesMax;
    return verdict;
}

std::string PadTimeBox(std::string_view text) {
    std::string padded(text);
    if (padded.size() < 2 && IsNumber(padded)) {
        padded.insert(padded.begin(), '0');
    }
    return padded;
}

int NumericKeyFilter(int KeyChar, bool AllowMinus, bool NoDecimalPoint) {
    if (KeyChar == kKeyBackspace || KeyChar == kKeyDelete) {
        return KeyChar;
    }
    if ((KeyChar == '-' && AllowMinus) || (KeyChar == '.' && !NoDecimalPoint)) {
        return KeyChar;
    }
    if (KeyChar >= '0' && KeyChar <= '9') {
        return KeyChar;
    }
    return 0;
}

int NameKeyFilter(int KeyChar, bool AllowEnter, int CurrentLength, int MaxLength) {
    if (KeyChar == kKeyBackspace || KeyChar == kKeyDelete || (KeyChar == kKeyEnter && AllowEnter)) {
        return KeyChar;
    }
    if (CurrentLength >= MaxLength) {
        return 0;
    }
    const int upper = ToUpperAscii(KeyChar);
    return IsNameCharacter(upper) ? upper : 0;
}

unsigned CheckItemRecord(const MenuItemRecord& item, std::int16_t ovenType, RuleStrength strength) {
    return CheckAllButCookTime(item, ovenType, strength) | TimeCodeToFields(ValidateItemEntry_Time(item.CookTime));
}

unsigned CheckItemFields(const MenuItemRecord& item, std::string_view hours, std::string_view minutes,
                         std::int16_t ovenType, RuleStrength strength) {
    const CookTimeVerdict time = ValidateCookTimeBoxes(hours, minutes);
    unsigned bad = CheckAllButCookTime(item, ovenType, strength);
    if (time.hoursBad) {
        bad |= kFieldCookTimeHours;
    }
    if (time.minutesBad) {
        bad |= kFieldCookTimeMinutes;
    }
    return bad;
}

}  // namespace ovn
