// The item checks and the key filters: one copy of the rules, used by the
// editor's validation and by the command-line import alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/MenuModel.h"

namespace ovn {

// Limits, inclusive.
inline constexpr int kNameMaxLength = 8;
inline constexpr int kCookTempMin = 200;
inline constexpr int kGasCookTempMax = 500;
inline constexpr int kElectricCookTempMax = 600;
inline constexpr int kHoldTempMin = 100;
inline constexpr int kHoldTempMax = 200;
inline constexpr int kCookTimeMaxSeconds = 64800;  // 18:00

// The highest cook temperature of the oven type (the electric oven's, or the gas oven's for any other).
int CookTempMax(std::int16_t ovenType);
// A name's characters after upper-casing: space (32) to '_' (95).
bool IsNameCharacter(int code);
// Letters a to z upper-cased, every other byte kept: what the name filter does to a key.
std::string UpperCaseAscii(std::string_view text);

bool ValidateItemEntry_Name(std::string_view start);
bool ValidateItemEntry_COOKTemp(std::string_view start, std::int16_t ovntyp);
bool ValidateItemEntry_HOLDTemp(std::string_view start, std::int16_t ovntyp);
// What ValidateItemEntry_Time finds in a cook time "HHMM".
inline constexpr std::int16_t kTimeGood = 0;
inline constexpr std::int16_t kTimeHoursBad = 1;
inline constexpr std::int16_t kTimeMinutesBad = 2;
inline constexpr std::int16_t kTimeHoursAndMinutesBad = 3;
inline constexpr std::int16_t kTimeNotATime = -1;  // not a four-character number, or past 18:00
std::int16_t ValidateItemEntry_Time(std::string_view start);

// The cook time as the window holds it, in two boxes. A one-digit box counts as
// its padded form ("5" as "05"); an empty box or one that is not two digits is bad.
struct CookTimeVerdict {
    bool hoursBad = false;
    bool minutesBad = false;
    bool ok() const { return !hoursBad && !minutesBad; }
};
CookTimeVerdict ValidateCookTimeBoxes(std::string_view hours, std::string_view minutes);

// What leaving an hours or minutes box does: a text shorter than two characters
// that is a number is written with two digits ("7" -> "07"); anything else is
// returned unchanged (so an empty box stays empty).
std::string PadTimeBox(std::string_view text);

// Character codes the filters pass through as editing keys.
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyDelete = 127;

// Return the code to use; 0 drops the key.
int NumericKeyFilter(int KeyChar, bool AllowMinus, bool NoDecimalPoint);
int NameKeyFilter(int KeyChar, bool AllowEnter, int CurrentLength, int MaxLength);

// Fields an item check can find bad, as bits.
enum ItemField : unsigned {
    kFieldName = 1u << 0,
    kFieldCookTemp = 1u << 1,
    kFieldCookTimeHours = 1u << 2,
    kFieldCookTimeMinutes = 1u << 3,
    kFieldHoldTemp = 1u << 4,
    kFieldFanSpeed = 1u << 5,
    kFieldPowerLevel = 1u << 6,
};

enum class RuleStrength {
    // The editor's checks: name length, cook temperature, cook time, and the
    // hold temperature when roast-and-hold is set. Fan, power and the name's
    // characters are not looked at.
    Editor,
    // For text from outside: also name characters 32..95 (after upper-casing),
    // fan speed and power level from their lists.
    Strict,
};

// Checks a whole slot; the cook time is the record's four-character CookTime.
// Returns the bad fields as ItemField bits (0 when the item is good).
unsigned CheckItemRecord(const MenuItemRecord& item, std::int16_t ovenType, RuleStrength strength);
// The same, with the cook time taken from the two boxes of the window instead of item.CookTime.
unsigned CheckItemFields(const MenuItemRecord& item, std::string_view hours, std::string_view minutes,
                         std::int16_t ovenType, RuleStrength strength);

}  // namespace ovn
