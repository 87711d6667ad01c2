#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <tuple>

#include "model/Encodings.h"
#include "model/ItemRules.h"
#include "model/MenuModel.h"
#include "model/Startup.h"

namespace ovn {
namespace {

constexpr unsigned kBothTimeBoxes = kFieldCookTimeHours | kFieldCookTimeMinutes;
// The fields the editor checks (its boxes), and those the strict rules add (its two lists).
constexpr unsigned kEditorFields = kFieldName | kFieldCookTemp | kBothTimeBoxes | kFieldHoldTemp;
constexpr unsigned kAllFields = kEditorFields | kFieldFanSpeed | kFieldPowerLevel;

TEST(Encodings, NumbersAndTimeTexts) {
    const std::string largest = std::string(200, '0') + "32767", huge(60, '9'), nul{'2', '\0', '0'};
    const std::pair<std::string, std::int32_t> numbers[] = {
        {"0", 0},     {largest, 32767}, {"32768", -1}, {huge, -1},  {"", -1},  {" 200", -1},  {"200 ", -1},
        {"+200", -1}, {"-1", -1},       {"200.0", -1}, {"2E2", -1}, {nul, -1}, {"2\xB2", -1},
    };
    for (const auto& [text, value] : numbers) {
        EXPECT_EQ(IsNumber(text), value >= 0) << text;
        EXPECT_EQ(NumberValue(text), std::max(value, 0)) << text;
        EXPECT_EQ(CalculateTempInDegrees(text), std::max(value, 0)) << text;
    }
    const std::pair<const char*, std::int32_t> times[] = {
        {"0130", 5400}, {"1800", 64800}, {"9999", 99 * 3600 + 99 * 60}, {"", 0}, {"5", 5 * 3600 + 5 * 60},
        {"xx30", 1800}, {"01-5", 3600},  {"012345", 3600 + 45 * 60},
    };
    for (const auto& [text, seconds] : times) EXPECT_EQ(CalculateTimeInSeconds(text), seconds) << text;
}

TEST(ItemRules, NameTemperatureAndTimeTexts) {
    EXPECT_TRUE(ValidateItemEntry_Name(""));
    EXPECT_TRUE(ValidateItemEntry_Name("abc{|}~\x01"));
    EXPECT_FALSE(ValidateItemEntry_Name("ABCDEFGHI"));
    const std::int16_t gas = kGasOven, elec = kElectricOven, none = kNoOvenType;
    const std::tuple<const char*, std::int16_t, bool, bool> rows[] = {
        {"99", gas, 0, 0},    {"100", gas, 0, 1},  {"199", gas, 0, 1},  {"200", gas, 1, 1},
        {"201", gas, 1, 0},   {"500", gas, 1, 0},  {"501", gas, 0, 0},  {"199", elec, 0, 1},
        {"600", elec, 1, 0},  {"601", elec, 0, 0}, {"200", none, 0, 1}, {"300", 2, 0, 0},
        {"00200", gas, 1, 1}, {"", gas, 0, 0},     {" 200", gas, 0, 0}, {"99999999999", elec, 0, 0},
    };
    for (const auto& [text, oven, cookOk, holdOk] : rows) {
        EXPECT_EQ(ValidateItemEntry_COOKTemp(text, oven), cookOk) << text << " oven " << oven;
        EXPECT_EQ(ValidateItemEntry_HOLDTemp(text, oven), holdOk) << text << " oven " << oven;
    }
    const std::pair<const char*, std::int16_t> times[] = {
        {"0000", 0}, {"1759", 0},   {"1800", 0}, {"1801", -1}, {"1900", 1},  {"0060", 2},  {"1960", 3},
        {"010", -1}, {"00100", -1}, {"", -1},    {"01a0", -1}, {"01 0", -1}, {"+010", -1},
    };
    for (const auto& [text, code] : times) EXPECT_EQ(ValidateItemEntry_Time(text), code) << text;
}

TEST(ItemRules, CookTimeBoxesSayWhichIsBad) {
    const std::tuple<const char*, const char*, bool, bool> rows[] = {
        {"18", "00", false, false}, {"18", "01", true, true},  {"19", "00", true, false}, {"00", "60", false, true},
        {"5", "7", false, false},   {"", "0130", true, true},  {"", "30", true, false},   {"01", "", false, true},
        {"", "", true, true},       {"010", "0", true, false}, {"01", "3x", false, true},
    };
    for (const auto& [hours, minutes, hoursBad, minutesBad] : rows) {
        const CookTimeVerdict verdict = ValidateCookTimeBoxes(hours, minutes);
        EXPECT_EQ(verdict.hoursBad, hoursBad) << hours << ":" << minutes;
        EXPECT_EQ(verdict.minutesBad, minutesBad) << hours << ":" << minutes;
        EXPECT_EQ(verdict.ok(), !hoursBad && !minutesBad);
    }
    const std::pair<const char*, const char*> pads[] = {{"5", "05"}, {"0", "00"}, {"", ""}, {"x", "x"}, {"123", "123"}};
    for (const auto& [in, out] : pads) EXPECT_EQ(PadTimeBox(in), out) << in;
}

TEST(ItemRules, KeyFilters) {
    // key; numeric box (no minus, no point); name box with 3 of 8 characters, then with 8 of 8
    const std::array<int, 4> rows[] = {
        {8, 8, 8, 8},       {127, 127, 127, 127}, {13, 0, 0, 0},    {0, 0, 0, 0},      {31, 0, 0, 0},
        {32, 0, 32, 0},     {'-', 0, '-', 0},     {'.', 0, '.', 0}, {'/', 0, '/', 0},  {'0', '0', '0', 0},
        {'9', '9', '9', 0}, {':', 0, ':', 0},     {'_', 0, '_', 0}, {'`', 0, 0, 0},    {'a', 0, 'A', 0},
        {'z', 0, 'Z', 0},   {'{', 0, 0, 0},       {0xE9, 0, 0, 0},  {0x20AC, 0, 0, 0}, {-65, 0, 0, 0},
    };
    for (const auto& [key, numeric, nameWithRoom, nameAtLimit] : rows) {
        EXPECT_EQ(NumericKeyFilter(key, false, true), numeric) << key;
        EXPECT_EQ(NameKeyFilter(key, false, 3, kNameMaxLength), nameWithRoom) << key;
        EXPECT_EQ(NameKeyFilter(key, false, 8, kNameMaxLength), nameAtLimit) << key;
    }
    EXPECT_EQ(NumericKeyFilter('-', true, true), '-') << "a minus where allowed";
    EXPECT_EQ(NumericKeyFilter('.', false, false), '.') << "a point where allowed";
    EXPECT_EQ(NameKeyFilter(13, true, 8, 8), 13) << "Enter where allowed";
    EXPECT_EQ(NameKeyFilter('A', false, 9, 8), 0) << "a name already past its limit";
}

MenuItemRecord Item(const char* name, const char* temp, const char* hold, const char* time, const char* fan = "HIGH",
                    const char* power = "100", std::uint8_t roast = 0) {
    return {name, temp, hold, time, fan, power, roast};
}

TEST(ItemRules, RecordCheckNamesTheBadFields) {
    const std::tuple<const char*, MenuItemRecord, std::int16_t, unsigned, unsigned> rows[] = {
        {"Default", DefaultItem(), kGasOven, 0, 0},
        {"NoOvenType", DefaultItem(), kNoOvenType, kFieldCookTemp, kFieldCookTemp},
        {"LowerCaseFine", Item("roast", "325", "160", "0010"), kGasOven, 0, 0},
        {"BraceInName", Item("A{", "325", "160", "0010"), kGasOven, 0, kFieldName},
        {"ControlInName", Item("A\tB", "325", "160", "0010"), kGasOven, 0, kFieldName},
        {"ElectricOnElectric", Item("", "600", "160", "0010"), kElectricOven, 0, 0},
        {"HoldIgnoredWithoutRoast", Item("", "325", "", "0010"), kGasOven, 0, 0},
        {"HoldCheckedWithRoast", Item("", "325", "201", "0010", "HIGH", "100", 1), kGasOven, kFieldHoldTemp,
         kFieldHoldTemp},
        {"FanEmpty", Item("", "325", "160", "0010", ""), kGasOven, 0, kFieldFanSpeed},
        {"PowerNotInList", Item("", "325", "160", "0010", "HIGH", "55"), kGasOven, 0, kFieldPowerLevel},
        {"AllBad", Item("ABCDEFGHI{", "199", "99", "1960", "", "05", 1), kElectricOven, kEditorFields, kAllFields},
    };
    for (const auto& [name, item, oven, editorBad, strictBad] : rows) {
        EXPECT_EQ(CheckItemRecord(item, oven, RuleStrength::Editor), editorBad) << name;
        EXPECT_EQ(CheckItemRecord(item, oven, RuleStrength::Strict), strictBad) << name;
        const std::string hours = item.CookTime.substr(0, 2), minutes = item.CookTime.substr(2);
        EXPECT_EQ(CheckItemFields(item, hours, minutes, oven, RuleStrength::Strict), strictBad) << name;
    }
}

namespace fs = std::filesystem;

TEST(Startup, DefaultMenuDirectoryFollowsHome) {
    const passwd* entry = getpwuid(getuid());
    const std::string passwordHome = entry != nullptr ? entry->pw_dir : "";
    const char* saved = std::getenv("HOME");
    const std::string oldHome = saved ? saved : "";
    const std::pair<const char*, std::string> rows[] = {
        {"/home/cook", "/home/cook/OVENS"}, {"/home/cook/", "/home/cook/OVENS"}, {"/", "/OVENS"},
        {"", passwordHome + "/OVENS"},      {nullptr, passwordHome + "/OVENS"},
    };
    for (const auto& [home, expected] : rows) {
        if (home) {
            setenv("HOME", home, 1);
        } else {
            unsetenv("HOME");
        }
        EXPECT_EQ(DefaultMenuDirectory(), expected) << (home ? home : "(unset)");
    }
    if (saved) {
        setenv("HOME", oldHome.c_str(), 1);
    } else {
        unsetenv("HOME");
    }
}

TEST(Startup, PrepareMenuDirectoryCreatesOnlyWhatIsMissing) {
    std::string pattern = (fs::temp_directory_path() / "ovn-startup-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path temp = pattern;
    std::ofstream(temp / "FILE") << "x";
    fs::create_symlink(temp / "nowhere", temp / "LINK");
    const auto errorOf = [&](const std::string& relative) {
        try {
            PrepareMenuDirectory((temp / relative).string());
        } catch (const std::system_error& error) {
            return error.code().value();
        }
        return 0;
    };
    const std::pair<const char*, int> rows[] = {
        {"OVENS", 0}, {"OVENS", 0}, {"FILE", 0}, {"LINK", 0}, {"missing/OVENS", ENOENT}, {"FILE/OVENS", ENOTDIR},
    };
    for (const auto& [relative, error] : rows) EXPECT_EQ(errorOf(relative), error) << relative;
    EXPECT_EQ(errorOf(std::string(300, 'O')), ENAMETOOLONG);
    EXPECT_TRUE(fs::is_directory(temp / "OVENS"));
    EXPECT_TRUE(fs::is_regular_file(temp / "FILE"));
    EXPECT_FALSE(fs::exists(temp / "missing"));
    fs::remove_all(temp);
}

TEST(Startup, RunStartupStopsAtTheFirstFailureAndReportsItOnce) {
    std::string ran;  // the steps that ran, in order
    std::string marker;
    std::vector<std::string> reports;
    const auto report = [&](const std::string& text) { reports.push_back(text); };
    const auto step = [&ran](const char* name) { return StartupStep{name, [&ran, name] { ran += name; }}; };
    EXPECT_TRUE(RunStartup({step("1"), step("2"), step("3")}, report, &marker));
    EXPECT_EQ(ran, "123");
    EXPECT_EQ(marker, "3");
    ran.clear();
    const auto prepare = [] { throw std::system_error(ENOENT, std::generic_category()); };
    EXPECT_FALSE(RunStartup({step("1"), {"2", prepare}, step("3")}, report, &marker));
    EXPECT_EQ(ran, "1");
    EXPECT_EQ(marker, "2");  // the step that failed
    EXPECT_FALSE(RunStartup({{"1", [] { throw std::runtime_error("out of memory"); }}}, report));
    EXPECT_FALSE(RunStartup({{"1", [] { throw 42; }}}, report));
    EXPECT_FALSE(RunStartup({{"1", [] { throw std::runtime_error("no reporter"); }}}, {}));
    EXPECT_EQ(reports, (std::vector<std::string>{"\r\nInitialization Error #" + std::generic_category().message(ENOENT),
                                                 "\r\nInitialization Error #out of memory",
                                                 "\r\nInitialization Error #Unknown error"}));
}

}  // namespace
}  // namespace ovn
