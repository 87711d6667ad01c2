#include <gtest/gtest.h>

#include <ostream>
#include <string_view>
#include <vector>

#include "menufile/Crc.h"

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

// The CRC-16/MODBUS register shifted one bit at a time, returned with its two
// bytes exchanged as the table-driven routine returns it.
std::uint16_t SlowCrc16(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001u) : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return static_cast<std::uint16_t>((crc & 0xFFu) << 8 | crc >> 8);
}

struct CheckValue {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::uint16_t crc;
};

class CrcCheckValue : public ::testing::TestWithParam<CheckValue> {};

TEST_P(CrcCheckValue, MatchesPublishedValue) {
    const CheckValue& row = GetParam();
    EXPECT_EQ(CalculateCrc16(row.bytes), row.crc);
    EXPECT_EQ(SlowCrc16(row.bytes), row.crc);
}

INSTANTIATE_TEST_SUITE_P(Vectors, CrcCheckValue,
                         ::testing::Values(CheckValue{"Digits", {'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x374B},
                                           CheckValue{"abc", {'a', 'b', 'c'}, 0x4957},
                                           CheckValue{"TwentyTwoZeros", std::vector<std::uint8_t>(22, 0), 0x5B0B},
                                           CheckValue{"Empty", {}, 0xFFFF},
                                           CheckValue{"DefaultBlockBody",
                                                      {0, 0, 0, 0,    0,    0,    0,    0, 0, 0, 0,
                                                       0, 0, 0, 0x58, 0x02, 0x45, 0xA9, 0, 0, 0, 0},
                                                      0x2EDC}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CrcTables, PublishedEntries) {
    const std::array<std::uint8_t, 8> hi = {0x00, 0xC1, 0x81, 0x40, 0x01, 0xC0, 0x80, 0x41};
    const std::array<std::uint8_t, 8> lo = {0x00, 0xC0, 0xC1, 0x01, 0xC3, 0x03, 0x02, 0xC2};
    for (std::size_t i = 0; i < hi.size(); ++i) {
        EXPECT_EQ(CrcHiTable[i], hi[i]) << i;
        EXPECT_EQ(CrcLoTable[i], lo[i]) << i;
    }
    EXPECT_EQ(CrcHiTable[255], 0x40);
    EXPECT_EQ(CrcLoTable[255], 0x40);
}

TEST(CrcTables, RebuiltAfterDamage) {
    const auto hi = CrcHiTable;
    const auto lo = CrcLoTable;
    CrcHiTable.fill(0);
    CrcLoTable.fill(0);
    BuildCrcTables();
    BuildCrcTables();  // more than once changes nothing
    EXPECT_EQ(CrcHiTable, hi);
    EXPECT_EQ(CrcLoTable, lo);
}

TEST(Crc, TableDrivenAgreesWithBitByBitOnEveryLength) {
    std::vector<std::uint8_t> bytes;
    std::uint32_t seed = 12345;
    for (int length = 0; length < 600; ++length) {
        EXPECT_EQ(CalculateCrc16(bytes), SlowCrc16(bytes)) << "length " << length;
        seed = seed * 1103515245u + 12345u;
        bytes.push_back(static_cast<std::uint8_t>(seed >> 16));
    }
}

TEST(Crc, EverySingleByteChangeOfABlockBodyChangesTheCrc) {
    std::vector<std::uint8_t> body(22, 0);
    const std::uint16_t base = CalculateCrc16(body);
    for (std::size_t i = 0; i < body.size(); ++i) {
        for (int value = 1; value < 256; ++value) {
            body[i] = static_cast<std::uint8_t>(value);
            ASSERT_NE(CalculateCrc16(body), base) << i << " " << value;
        }
        body[i] = 0;
    }
}

struct ImageRange {
    const char* name;
    int start;
    int count;
    bool accepted;
};

class CrcImageRange : public ::testing::TestWithParam<ImageRange> {};

TEST_P(CrcImageRange, RefusesRangesOutsideTheImage) {
    const ImageRange& row = GetParam();
    MenuImageBytes image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7);
    }
    const auto crc = CalculateCrc16(image, row.start, row.count);
    const auto sum = CalculateByteSum(image, row.start, row.count);
    ASSERT_EQ(crc.has_value(), row.accepted);
    ASSERT_EQ(sum.has_value(), row.accepted);
    if (row.accepted) {
        const auto span = std::span<const std::uint8_t>(image).subspan(static_cast<std::size_t>(row.start),
                                                                       static_cast<std::size_t>(row.count));
        EXPECT_EQ(*crc, CalculateCrc16(span));
        EXPECT_EQ(static_cast<std::uint32_t>(*sum), CalculateByteSum(span));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CrcImageRange,
    ::testing::Values(ImageRange{"Whole", 0, 2409, true}, ImageRange{"CountZero", 5, 0, true},
                      ImageRange{"CountZeroAtEnd", 2409, 0, true}, ImageRange{"LastByte", 2408, 1, true},
                      ImageRange{"OnePastEnd", 2408, 2, false}, ImageRange{"StartPastEnd", 2410, 0, false},
                      ImageRange{"NegativeStart", -1, 3, false}, ImageRange{"NegativeCount", 4, -1, false},
                      ImageRange{"HugeCount", 1, 2147483647, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ovn
