#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "model/Encodings.h"

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

struct NumberRow {
    const char* name;
    std::string text;
    bool isNumber;
    std::int32_t value;
};

class NumberRule : public ::testing::TestWithParam<NumberRow> {};

TEST_P(NumberRule, AcceptsDigitsUpTo32767Only) {
    EXPECT_EQ(IsNumber(GetParam().text), GetParam().isNumber);
    EXPECT_EQ(NumberValue(GetParam().text), GetParam().value);
    EXPECT_EQ(CalculateTempInDegrees(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumberRule,
                         ::testing::Values(NumberRow{"Zero", "0", true, 0}, NumberRow{"Plain", "325", true, 325},
                                           NumberRow{"LeadingZeros", "0350", true, 350},
                                           NumberRow{"ManyLeadingZeros", std::string(200, '0') + "32767", true, 32767},
                                           NumberRow{"Largest", "32767", true, 32767},
                                           NumberRow{"OnePastLargest", "32768", false, 0},
                                           NumberRow{"Huge", std::string(60, '9'), false, 0},
                                           NumberRow{"Empty", "", false, 0}, NumberRow{"Blank", " 200", false, 0},
                                           NumberRow{"TrailingBlank", "200 ", false, 0},
                                           NumberRow{"Sign", "+200", false, 0}, NumberRow{"Minus", "-1", false, 0},
                                           NumberRow{"Point", "200.0", false, 0},
                                           NumberRow{"Exponent", "2E2", false, 0}, NumberRow{"Hex", "0x10", false, 0},
                                           NumberRow{"EmbeddedNul",
                                                     std::string("2\0"
                                                                 "0",
                                                                 3),
                                                     false, 0},
                                           NumberRow{"HighByte", "2\xB2", false, 0}),
                         RowName<NumberRow>);

struct TimeTextRow {
    const char* name;
    std::string text;
    std::int32_t seconds;
};

class TimeInSeconds : public ::testing::TestWithParam<TimeTextRow> {};

TEST_P(TimeInSeconds, HoursAndMinutesFromTheTwoHalves) {
    EXPECT_EQ(CalculateTimeInSeconds(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimeInSeconds,
    ::testing::Values(TimeTextRow{"TenMinutes", "0010", 600}, TimeTextRow{"HourAndHalf", "0130", 5400},
                      TimeTextRow{"Eighteen", "1800", 64800}, TimeTextRow{"Largest", "9999", 99 * 3600 + 99 * 60},
                      TimeTextRow{"Empty", "", 0}, TimeTextRow{"OneCharacter", "5", 5 * 3600 + 5 * 60},
                      TimeTextRow{"BadHours", "xx30", 1800}, TimeTextRow{"BadMinutes", "01-5", 3600},
                      TimeTextRow{"SixCharacters", "012345", 3600 + 45 * 60}),
    RowName<TimeTextRow>);

struct BytesRow {
    const char* name;
    std::uint8_t msb;
    std::uint8_t lsb;
    const char* temp;
    const char* time;
};

class BytesToText : public ::testing::TestWithParam<BytesRow> {};

TEST_P(BytesToText, TemperatureAndTime) {
    EXPECT_EQ(CalculateTempAsString(GetParam().msb, GetParam().lsb), GetParam().temp);
    EXPECT_EQ(CalculateTimeAsString(GetParam().msb, GetParam().lsb), GetParam().time);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, BytesToText,
    ::testing::Values(BytesRow{"Zero", 0, 0, "0", "0000"}, BytesRow{"Default", 1, 69, "325", "0005"},
                      BytesRow{"TenMinutes", 2, 88, "600", "0010"}, BytesRow{"SecondsDropped", 0, 59, "59", "0000"},
                      BytesRow{"Eighteen", 253, 32, "64800", "1800"}, BytesRow{"Largest", 255, 255, "65535", "1812"}),
    RowName<BytesRow>);

TEST(Codes, FanSpeedBothWays) {
    const struct {
        const char* text;
        std::uint8_t code;
    } rows[] = {{"OFF", 0}, {"LOW", 1}, {"HIGH", 2}};
    for (const auto& row : rows) {
        EXPECT_EQ(DetermineFanSpeed(row.text), row.code) << row.text;
        EXPECT_EQ(DetermineFanSpeedString(row.code), row.text);
    }
    for (const char* other : {"high", "", "HIGH ", "Off", "MEDIUM"}) {
        EXPECT_EQ(DetermineFanSpeed(other), 0) << other;
    }
    for (int code = 3; code < 256; ++code) {
        EXPECT_EQ(DetermineFanSpeedString(static_cast<std::uint8_t>(code)), "") << code;
    }
}

TEST(Codes, PowerLevelBothWays) {
    for (int code = 0; code <= 10; ++code) {
        const std::string text = std::to_string(code * 10);
        EXPECT_EQ(DeterminePowerLevel(text), code) << text;
        EXPECT_EQ(DeterminePowerLevelString(static_cast<std::uint8_t>(code)), text);
    }
    for (const char* other : {"05", "55", "", "010", "100%", "110", " 10"}) {
        EXPECT_EQ(DeterminePowerLevel(other), 0) << other;
    }
    for (int code = 11; code < 256; ++code) {
        EXPECT_EQ(DeterminePowerLevelString(static_cast<std::uint8_t>(code)), "") << code;
    }
}

struct SplitRow {
    const char* name;
    std::int32_t value;
    std::array<std::uint8_t, 4> longBytes;  // b3 b2 b1 b0
    std::array<std::uint8_t, 4> crcBytes;
};

class Split : public ::testing::TestWithParam<SplitRow> {};

TEST_P(Split, IntoFourBytes) {
    std::array<std::uint8_t, 4> b{};
    EXPECT_TRUE(SplitLongIntoBytes(GetParam().value, b[0], b[1], b[2], b[3]));
    EXPECT_EQ(b, GetParam().longBytes);
    EXPECT_TRUE(SplitCrcIntoBytes(GetParam().value, b[0], b[1], b[2], b[3]));
    EXPECT_EQ(b, GetParam().crcBytes);
}

INSTANTIATE_TEST_SUITE_P(Values, Split,
                         ::testing::Values(SplitRow{"Bytes0123", 66051, {0, 1, 2, 3}, {0, 0, 2, 3}},
                                           SplitRow{"MinusOne", -1, {127, 255, 255, 255}, {0, 0, 255, 255}},
                                           SplitRow{"Crc", 4660, {0, 0, 18, 52}, {0, 0, 18, 52}},
                                           SplitRow{"LargestSum", 613020, {0, 9, 90, 156}, {0, 0, 90, 156}},
                                           SplitRow{"Lowest", INT32_MIN, {0, 0, 0, 0}, {0, 0, 0, 0}}),
                         RowName<SplitRow>);

}  // namespace
}  // namespace ovn
