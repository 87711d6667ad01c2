#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "model/ItemRules.h"

namespace ovn {
namespace {

// Table rows print as their names in test listings.
template <typename Row>
requires requires(const Row& row) {
    row.name;
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

struct TempRow {
    const char* name;
    std::string text;
    std::int16_t ovenType;
    bool cookOk;
    bool holdOk;
};

class Temperatures : public ::testing::TestWithParam<TempRow> {};

TEST_P(Temperatures, InsideTheOvensRange) {
    EXPECT_EQ(ValidateItemEntry_COOKTemp(GetParam().text, GetParam().ovenType), GetParam().cookOk);
    EXPECT_EQ(ValidateItemEntry_HOLDTemp(GetParam().text, GetParam().ovenType), GetParam().holdOk);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, Temperatures,
    ::testing::Values(
        TempRow{"Gas99", "99", kGasOven, false, false}, TempRow{"Gas100", "100", kGasOven, false, true},
        TempRow{"Gas199", "199", kGasOven, false, true}, TempRow{"Gas200", "200", kGasOven, true, true},
        TempRow{"Gas201", "201", kGasOven, true, false}, TempRow{"Gas500", "500", kGasOven, true, false},
        TempRow{"Gas501", "501", kGasOven, false, false}, TempRow{"Electric199", "199", kElectricOven, false, true},
        TempRow{"Electric501", "501", kElectricOven, true, false},
        TempRow{"Electric600", "600", kElectricOven, true, false},
        TempRow{"Electric601", "601", kElectricOven, false, false},
        TempRow{"NoOven200", "200", kNoOvenType, false, true}, TempRow{"OtherOvenType", "300", 2, false, false},
        TempRow{"LeadingZeros", "00200", kGasOven, true, true}, TempRow{"Empty", "", kGasOven, false, false},
        TempRow{"Blank", " 200", kGasOven, false, false}, TempRow{"Decimal", "200.0", kGasOven, false, false},
        TempRow{"TooLongForSixteenBits", "99999999999", kElectricOven, false, false}),
    RowName<TempRow>);

struct TimeRow {
    const char* name;
    std::string text;
    std::int16_t code;
};

class TimeCode : public ::testing::TestWithParam<TimeRow> {};

TEST_P(TimeCode, OfTheJoinedText) {
    EXPECT_EQ(ValidateItemEntry_Time(GetParam().text), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, TimeCode,
                         ::testing::Values(TimeRow{"Zero", "0000", 0}, TimeRow{"Default", "0010", 0},
                                           TimeRow{"Eighteen", "1800", 0}, TimeRow{"EighteenOhOne", "1801", -1},
                                           TimeRow{"EighteenFiftyNine", "1859", -1}, TimeRow{"Seventeen59", "1759", 0},
                                           TimeRow{"Nineteen", "1900", 1}, TimeRow{"Sixty", "0060", 2},
                                           TimeRow{"BothBad", "1960", 3}, TimeRow{"ThreeCharacters", "010", -1},
                                           TimeRow{"FiveCharacters", "00100", -1}, TimeRow{"Empty", "", -1},
                                           TimeRow{"Letters", "01a0", -1}, TimeRow{"Blank", "01 0", -1},
                                           TimeRow{"Sign", "+010", -1}),
                         RowName<TimeRow>);

struct BoxesRow {
    const char* name;
    std::string hours;
    std::string minutes;
    bool hoursBad;
    bool minutesBad;
};

class CookTimeBoxes : public ::testing::TestWithParam<BoxesRow> {};

TEST_P(CookTimeBoxes, SayWhichBoxIsBad) {
    const CookTimeVerdict verdict = ValidateCookTimeBoxes(GetParam().hours, GetParam().minutes);
    EXPECT_EQ(verdict.hoursBad, GetParam().hoursBad);
    EXPECT_EQ(verdict.minutesBad, GetParam().minutesBad);
    EXPECT_EQ(verdict.ok(), !GetParam().hoursBad && !GetParam().minutesBad);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, CookTimeBoxes,
    ::testing::Values(BoxesRow{"Good", "01", "30", false, false}, BoxesRow{"Eighteen", "18", "00", false, false},
                      BoxesRow{"PastEighteen", "18", "01", true, true},
                      BoxesRow{"HoursTooLarge", "19", "00", true, false},
                      BoxesRow{"MinutesTooLarge", "00", "60", false, true},
                      BoxesRow{"OneDigitBoxesArePadded", "5", "7", false, false},
                      BoxesRow{"AllInTheMinutesBox", "", "0130", true, true},
                      BoxesRow{"EmptyHours", "", "30", true, false}, BoxesRow{"EmptyMinutes", "01", "", false, true},
                      BoxesRow{"EmptyHoursBadMinutes", "", "75", true, true}, BoxesRow{"BothEmpty", "", "", true, true},
                      BoxesRow{"ThreeDigitHours", "010", "0", true, false},
                      BoxesRow{"LetterInMinutes", "01", "3x", false, true}),
    RowName<BoxesRow>);

TEST(PadTimeBox, LikeLeavingTheBox) {
    const std::pair<const char*, const char*> rows[] = {{"5", "05"}, {"0", "00"}, {"12", "12"},
                                                        {"", ""},    {"x", "x"},  {"123", "123"}};
    for (const auto& [in, out] : rows) {
        EXPECT_EQ(PadTimeBox(in), out) << in;
    }
}

TEST(NameRule, LengthOnly) {
    EXPECT_TRUE(ValidateItemEntry_Name(""));
    EXPECT_TRUE(ValidateItemEntry_Name("ABCDEFGH"));
    EXPECT_TRUE(ValidateItemEntry_Name("abc{|}~\x01"));
    EXPECT_FALSE(ValidateItemEntry_Name("ABCDEFGHI"));
}

struct KeyRow {
    const char* name;
    int key;
    int numeric;       // AllowMinus false, NoDecimalPoint true, as every box passes them
    int nameWithRoom;  // AllowEnter false, 3 of 8 characters
    int nameAtLimit;   // 8 of 8
};

class KeyFilters : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeyFilters, KeepOrDrop) {
    const KeyRow& row = GetParam();
    EXPECT_EQ(NumericKeyFilter(row.key, false, true), row.numeric);
    EXPECT_EQ(NameKeyFilter(row.key, false, 3, kNameMaxLength), row.nameWithRoom);
    EXPECT_EQ(NameKeyFilter(row.key, false, 8, kNameMaxLength), row.nameAtLimit);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyFilters,
                         ::testing::Values(KeyRow{"Backspace", 8, 8, 8, 8}, KeyRow{"Delete", 127, 127, 127, 127},
                                           KeyRow{"Enter", 13, 0, 0, 0}, KeyRow{"Tab", 9, 0, 0, 0},
                                           KeyRow{"CtrlV", 22, 0, 0, 0}, KeyRow{"Nul", 0, 0, 0, 0},
                                           KeyRow{"Space", 32, 0, 32, 0}, KeyRow{"Bang", 33, 0, 33, 0},
                                           KeyRow{"Minus", '-', 0, '-', 0}, KeyRow{"Point", '.', 0, '.', 0},
                                           KeyRow{"Slash", '/', 0, '/', 0}, KeyRow{"Zero", '0', '0', '0', 0},
                                           KeyRow{"Nine", '9', '9', '9', 0}, KeyRow{"Colon", ':', 0, ':', 0},
                                           KeyRow{"At", '@', 0, '@', 0}, KeyRow{"CapitalA", 'A', 0, 'A', 0},
                                           KeyRow{"CapitalZ", 'Z', 0, 'Z', 0}, KeyRow{"Underscore", '_', 0, '_', 0},
                                           KeyRow{"Grave", '`', 0, 0, 0}, KeyRow{"SmallA", 'a', 0, 'A', 0},
                                           KeyRow{"SmallZ", 'z', 0, 'Z', 0}, KeyRow{"Brace", '{', 0, 0, 0},
                                           KeyRow{"Tilde", '~', 0, 0, 0}, KeyRow{"LatinSmallE", 0xE9, 0, 0, 0},
                                           KeyRow{"Unicode", 0x20AC, 0, 0, 0}, KeyRow{"Negative", -65, 0, 0, 0}),
                         RowName<KeyRow>);

TEST(KeyFilters, OptionalKeys) {
    EXPECT_EQ(NumericKeyFilter('-', true, true), '-');
    EXPECT_EQ(NumericKeyFilter('.', false, false), '.');
    EXPECT_EQ(NameKeyFilter(13, true, 2, 8), 13);
    EXPECT_EQ(NameKeyFilter(13, true, 8, 8), 13);
    EXPECT_EQ(NameKeyFilter('A', false, 9, 8), 0);
}

// Whole records in both strengths.
struct RecordRow {
    const char* name;
    MenuItemRecord item;
    std::int16_t ovenType;
    unsigned editorBad;
    unsigned strictBad;
};

MenuItemRecord With(void (*change)(MenuItemRecord&)) {
    MenuItemRecord item = DefaultItem();
    change(item);
    return item;
}

class RecordCheck : public ::testing::TestWithParam<RecordRow> {};

TEST_P(RecordCheck, NamesTheBadFields) {
    const RecordRow& row = GetParam();
    EXPECT_EQ(CheckItemRecord(row.item, row.ovenType, RuleStrength::Editor), row.editorBad);
    EXPECT_EQ(CheckItemRecord(row.item, row.ovenType, RuleStrength::Strict), row.strictBad);
    const std::string hours = row.item.CookTime.substr(0, 2);
    const std::string minutes = row.item.CookTime.size() > 2 ? row.item.CookTime.substr(2) : "";
    EXPECT_EQ(CheckItemFields(row.item, hours, minutes, row.ovenType, RuleStrength::Strict), row.strictBad);
}

constexpr unsigned kBothTimeBoxes = kFieldCookTimeHours | kFieldCookTimeMinutes;

INSTANTIATE_TEST_SUITE_P(
    Records, RecordCheck,
    ::testing::Values(
        RecordRow{"Default", DefaultItem(), kGasOven, 0, 0},
        RecordRow{"NoOvenType", DefaultItem(), kNoOvenType, kFieldCookTemp, kFieldCookTemp},
        RecordRow{"NineCharacterName", With([](MenuItemRecord& i) { i.Name = "ABCDEFGHI"; }), kGasOven, kFieldName,
                  kFieldName},
        RecordRow{"LowerCaseNameUpperCasesFine", With([](MenuItemRecord& i) { i.Name = "roast"; }), kGasOven, 0, 0},
        RecordRow{"BraceInName", With([](MenuItemRecord& i) { i.Name = "A{"; }), kGasOven, 0, kFieldName},
        RecordRow{"HighByteInName", With([](MenuItemRecord& i) { i.Name = "\xE9"; }), kGasOven, 0, kFieldName},
        RecordRow{"ControlInName", With([](MenuItemRecord& i) { i.Name = "A\tB"; }), kGasOven, 0, kFieldName},
        RecordRow{"ElectricTempOnGas", With([](MenuItemRecord& i) { i.CookTemp = "600"; }), kGasOven, kFieldCookTemp,
                  kFieldCookTemp},
        RecordRow{"ElectricTempOnElectric", With([](MenuItemRecord& i) { i.CookTemp = "600"; }), kElectricOven, 0, 0},
        RecordRow{"HoldIgnoredWithoutRoast", With([](MenuItemRecord& i) { i.HoldTemp = ""; }), kGasOven, 0, 0},
        RecordRow{"HoldCheckedWithRoast", With([](MenuItemRecord& i) {
                      i.HoldTemp = "201";
                      i.RoastNHold = 1;
                  }),
                  kGasOven, kFieldHoldTemp, kFieldHoldTemp},
        RecordRow{"HoursBad", With([](MenuItemRecord& i) { i.CookTime = "1900"; }), kGasOven, kFieldCookTimeHours,
                  kFieldCookTimeHours},
        RecordRow{"MinutesBad", With([](MenuItemRecord& i) { i.CookTime = "0060"; }), kGasOven, kFieldCookTimeMinutes,
                  kFieldCookTimeMinutes},
        RecordRow{"PastEighteen", With([](MenuItemRecord& i) { i.CookTime = "1801"; }), kGasOven, kBothTimeBoxes,
                  kBothTimeBoxes},
        RecordRow{"FanNotInList", With([](MenuItemRecord& i) { i.FanSpeed = "high"; }), kGasOven, 0, kFieldFanSpeed},
        RecordRow{"FanEmpty", With([](MenuItemRecord& i) { i.FanSpeed = ""; }), kGasOven, 0, kFieldFanSpeed},
        RecordRow{"PowerNotInList", With([](MenuItemRecord& i) { i.PowerLevel = "55"; }), kGasOven, 0,
                  kFieldPowerLevel},
        RecordRow{"EverythingBad", MenuItemRecord{"ABCDEFGHI{", "199", "99", "1960", "", "05", 1}, kElectricOven,
                  kFieldName | kFieldCookTemp | kFieldHoldTemp | kBothTimeBoxes,
                  kFieldName | kFieldCookTemp | kFieldHoldTemp | kBothTimeBoxes | kFieldFanSpeed | kFieldPowerLevel}),
    RowName<RecordRow>);

TEST(RecordCheck, CookTimeFromTheBoxesNotTheRecord) {
    const MenuItemRecord item = DefaultItem();
    EXPECT_EQ(CheckItemFields(item, "", "0130", kGasOven, RuleStrength::Editor), kBothTimeBoxes);
    EXPECT_EQ(CheckItemFields(item, "", "30", kGasOven, RuleStrength::Editor), unsigned{kFieldCookTimeHours});
    EXPECT_EQ(CheckItemFields(item, "1", "5", kGasOven, RuleStrength::Editor), 0u);
}

}  // namespace
}  // namespace ovn
