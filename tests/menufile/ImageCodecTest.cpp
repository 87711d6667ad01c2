#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <vector>

#include "menufile/Crc.h"
#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"
#include "model/Encodings.h"
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

using Block = std::array<std::uint8_t, kItemBlockSize>;

constexpr Block kDefaultBlock = {0x2E, 0xDC, 0,    0,                             // CRC, reserved
                                 0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // empty name
                                 0x58, 0x02, 0x45, 0xA9, 0, 0, 0, 0};
constexpr Block kRoastBlock = {0xDB, 0x6E, 0x00, 0x00, 0x52, 0x4F, 0x41, 0x53, 0x54, 0x00, 0x00, 0x00,
                               0x00, 0x00, 0x00, 0x00, 0x18, 0x15, 0x5E, 0x85, 0x41, 0x01, 0x00, 0x00};

std::size_t BlockStart(int slot) {
    return kFirstItemBlock + kItemBlockSize * static_cast<std::size_t>(slot);
}

Block BlockOf(const MenuImageBytes& image, int slot) {
    Block block{};
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(BlockStart(slot)), block.size(), block.begin());
    return block;
}

void PutBlock(MenuImageBytes& image, int slot, const Block& block) {
    std::copy(block.begin(), block.end(), image.begin() + static_cast<std::ptrdiff_t>(BlockStart(slot)));
}

MenuItemRecord Roast() {
    MenuItemRecord item = DefaultItem();
    item.Name = "ROAST";
    item.CookTemp = "350";
    item.CookTime = "0130";
    item.FanSpeed = "LOW";
    item.PowerLevel = "80";
    item.RoastNHold = 1;
    item.HoldTemp = "160";
    return item;
}

MenuItemTable DefaultTable() {
    MenuItemTable items;
    items.fill(DefaultItem());
    return items;
}

MenuItemRecord Decoded(const MenuImageBytes& image, int slot) {
    MenuItemRecord item = DefaultItem();
    FileDataToItemMemory(image, slot, item);
    return item;
}

struct DefaultImageRow {
    const char* name;
    std::int16_t ovenType;
    SystemBlockBytes systemBlock;
};

class DefaultImage : public ::testing::TestWithParam<DefaultImageRow> {};

TEST_P(DefaultImage, EveryByteMatches) {
    MenuImageBytes image{};
    EncodeMenu(DefaultTable(), GetParam().ovenType, image);
    MenuImageBytes expected{};
    std::copy(GetParam().systemBlock.begin(), GetParam().systemBlock.end(), expected.begin());
    for (int slot = 0; slot < kSlotCount; ++slot) {
        PutBlock(expected, slot, kDefaultBlock);
    }
    EXPECT_EQ(image, expected);
    EXPECT_TRUE(CheckMenuImage(image).ok());
}

INSTANTIATE_TEST_SUITE_P(OvenTypes, DefaultImage,
                         ::testing::Values(DefaultImageRow{"Gas", kGasOven, {0x08, 0xE8, 0, 0, 0, 0, 0, 0}},
                                           DefaultImageRow{"Electric", kElectricOven, {0x09, 0xE8, 0, 0, 0, 1, 0, 0}},
                                           DefaultImageRow{
                                               "NoneCountsAsGas", kNoOvenType, {0x08, 0xE8, 0, 0, 0, 0, 0, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImageCodec, RoastBlock) {
    MenuImageBytes image{};
    FileDataFromItemMemory(Roast(), image, 42);
    EXPECT_EQ(BlockOf(image, 42), kRoastBlock);
    EXPECT_EQ(Decoded(image, 42), Roast());
}

TEST(ImageCodec, EncodingWritesOnlyItsOwnBlockAndNeverTheTrailingByte) {
    MenuImageBytes image;
    image.fill(0xA5);
    FileDataFromItemMemory(DefaultItem(), image, 99);
    EXPECT_EQ(BlockOf(image, 99), kDefaultBlock);
    EXPECT_EQ(image[BlockStart(99) - 1], 0xA5);
    EXPECT_EQ(image[kTrailingByte], 0xA5);
    FileDataFromSystemMemory(image, kGasOven);
    EXPECT_EQ(image[kTrailingByte], 0xA5);  // carried over, not summed
    EXPECT_EQ(static_cast<std::int32_t>(image[0] | image[1] << 8 | image[2] << 16 | image[3] << 24),
              CalculateByteSum(image, 4, 2404));
}

TEST(ImageCodec, RoastOffClearsTheHoldWordWhateverTheBlockHeld) {
    MenuImageBytes image;
    image.fill(0xFF);
    MenuItemRecord item = Roast();
    item.RoastNHold = 0;
    FileDataFromItemMemory(item, image, 3);
    EXPECT_EQ(image[BlockStart(3) + 20], 0);
    EXPECT_EQ(image[BlockStart(3) + 21], 0);
    const MenuItemRecord back = Decoded(image, 3);
    EXPECT_EQ(back.HoldTemp, "160");
    EXPECT_EQ(back.RoastNHold, 0);
}

// Decoding a hand-made block: the hold word and the name field.
struct DecodeRow {
    const char* name;
    std::vector<std::pair<int, std::uint8_t>> bytes;  // block offset, value; the rest 0
    MenuItemRecord expected;
};

MenuItemRecord Fields(std::string name, std::string cookTemp, std::string holdTemp, std::string cookTime,
                      std::string fan, std::string power, std::uint8_t roast) {
    return MenuItemRecord{std::move(name),
                          std::move(cookTemp),
                          std::move(holdTemp),
                          std::move(cookTime),
                          std::move(fan),
                          std::move(power),
                          roast};
}

class DecodeEdge : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(DecodeEdge, GivesTheFields) {
    MenuImageBytes image{};
    for (const auto& [offset, value] : GetParam().bytes) {
        image[BlockStart(7) + static_cast<std::size_t>(offset)] = value;
    }
    EXPECT_EQ(Decoded(image, 7), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, DecodeEdge,
    ::testing::Values(
        DecodeRow{"AllZero", {}, Fields("", "0", "160", "0000", "OFF", "0", 0)},
        DecodeRow{"FlagWithHoldZero", {{20, 0x01}}, Fields("", "0", "160", "0000", "OFF", "0", 1)},
        DecodeRow{"HoldWithoutFlag", {{20, 0x40}, {21, 0x01}}, Fields("", "0", "160", "0000", "OFF", "0", 0)},
        DecodeRow{"HoldWithoutFlagNot160", {{20, 0x90}, {21, 0x01}}, Fields("", "0", "200", "0000", "OFF", "0", 0)},
        DecodeRow{"HoldAllTenBits", {{20, 0xFF}, {21, 0xFF}}, Fields("", "0", "1023", "0000", "OFF", "0", 1)},
        DecodeRow{"TwelveCharacterName",
                  {{4, 'A'},
                   {5, 'B'},
                   {6, 'C'},
                   {7, 'D'},
                   {8, 'E'},
                   {9, 'F'},
                   {10, 'G'},
                   {11, 'H'},
                   {12, 'I'},
                   {13, 'J'},
                   {14, 'K'},
                   {15, 'L'},
                   {16, 0x3B}},
                  Fields("ABCDEFGHIJKL", "0", "160", "0000", "OFF", "0", 0)},
        DecodeRow{
            "ZeroEndsTheName", {{4, 'A'}, {5, 'B'}, {6, 0}, {7, 'C'}}, Fields("AB", "0", "160", "0000", "OFF", "0", 0)},
        DecodeRow{"HighBytesInName",
                  {{4, 0xE9}, {5, 0xFF}, {6, 0x80}},
                  Fields("\xE9\xFF\x80", "0", "160", "0000", "OFF", "0", 0)},
        DecodeRow{"SecondsDropped", {{16, 59}}, Fields("", "0", "160", "0000", "OFF", "0", 0)},
        DecodeRow{"LongestTime", {{16, 0xFF}, {17, 0xFF}}, Fields("", "0", "160", "1812", "OFF", "0", 0)},
        DecodeRow{"FanThreePowerFifteen", {{18, 0xFF}, {19, 0xFF}}, Fields("", "1023", "160", "0000", "", "", 0)},
        DecodeRow{"PowerEleven", {{19, 0xB4}}, Fields("", "0", "160", "0000", "LOW", "", 0)},
        DecodeRow{"ReservedBytesIgnored",
                  {{0, 0xFF}, {1, 0xFF}, {2, 0xFF}, {3, 0xFF}, {22, 0xFF}, {23, 0xFF}},
                  Fields("", "0", "160", "0000", "OFF", "0", 0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageCodec, HighNameBytesRoundTrip) {
    MenuImageBytes image{};
    MenuItemRecord item = DefaultItem();
    item.Name = "\x80\xA0\xE9\xFF";
    FileDataFromItemMemory(item, image, 0);
    EXPECT_EQ(image[BlockStart(0) + 4], 0x80);
    EXPECT_EQ(image[BlockStart(0) + 7], 0xFF);
    EXPECT_EQ(Decoded(image, 0).Name, item.Name);
}

TEST(ImageCodec, OnlyBitZeroOfByteFiveNamesTheOven) {
    const std::array<std::pair<std::uint8_t, std::int16_t>, 4> rows = {
        {{0, kGasOven}, {1, kElectricOven}, {2, kGasOven}, {3, kElectricOven}}};
    for (const auto& [byte5, oven] : rows) {
        SystemBlockBytes block{};
        block[5] = byte5;
        EXPECT_EQ(OvenTypeOfSystemBlock(block), oven) << int(byte5);
    }
}

TEST(ImageCodec, DecodeMenuClearsEverySlotAndCopiesTheSystemBlock) {
    MenuImageBytes image{};
    EncodeMenu(DefaultTable(), kElectricOven, image);
    PutBlock(image, 5, kRoastBlock);
    MenuItemTable items;
    items.fill(Fields("junk", "1", "2", "3", "4", "5", 9));
    SystemBlockBytes system{};
    DecodeMenu(image, items, system);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(items[static_cast<std::size_t>(slot)], slot == 5 ? Roast() : DefaultItem()) << slot;
    }
    EXPECT_EQ(system, (SystemBlockBytes{0x09, 0xE8, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(OvenTypeOfSystemBlock(system), kElectricOven);
}

// Valid slots come back as they went in, apart from the documented exceptions.
TEST(ImageCodec, ValidItemsRoundTrip) {
    struct Row {
        const char* name;
        MenuItemRecord in;
        MenuItemRecord out;
    };
    const Row rows[] = {
        {"Default", DefaultItem(), DefaultItem()},
        {"Roast", Roast(), Roast()},
        {"LeadingZeros", Fields("A", "0350", "0150", "0000", "OFF", "0", 1),
         Fields("A", "350", "150", "0000", "OFF", "0", 1)},
        {"HoldForgottenWhenRoastOff", Fields("B", "600", "200", "1800", "HIGH", "100", 0),
         Fields("B", "600", "160", "1800", "HIGH", "100", 0)},
        {"EightCharacters", Fields("[\\]^_ @9", "200", "100", "1759", "LOW", "10", 1),
         Fields("[\\]^_ @9", "200", "100", "1759", "LOW", "10", 1)},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(CheckItemRecord(row.in, kElectricOven, RuleStrength::Strict), 0u) << row.name;
        MenuImageBytes image{};
        FileDataFromItemMemory(row.in, image, 50);
        EXPECT_EQ(Decoded(image, 50), row.out) << row.name;
    }
}

// Values too wide for their fields are cut to the field, never spilling into a neighbour.
TEST(ImageCodec, WideValuesAreMaskedToTheirFields) {
    MenuImageBytes image{};
    MenuItemRecord item = Fields("ABCDEFGHIJKLMNOP", "2047", "1500", "9999", "LOW", "90", 1);
    FileDataFromItemMemory(item, image, 1);
    const Block block = BlockOf(image, 1);
    EXPECT_EQ(std::string(block.begin() + 4, block.begin() + 16), "ABCDEFGHIJKL");
    const unsigned seconds = block[16] | block[17] << 8;
    EXPECT_EQ(seconds, (99u * 3600u + 99u * 60u) & 0xFFFFu);
    const unsigned cookWord = block[18] | block[19] << 8;
    EXPECT_EQ(cookWord & 0x3FFu, 2047u & 0x3FFu);
    EXPECT_EQ((cookWord >> 10) & 3u, 1u);  // LOW untouched by the temperature
    EXPECT_EQ(cookWord >> 12, 9u);         // 90 untouched
    const unsigned holdWord = block[20] | block[21] << 8;
    EXPECT_EQ(holdWord, 1u + 2u * (1500u & 0x3FFu));
    EXPECT_EQ(holdWord >> 11, 0u);
    EXPECT_EQ(block[22], 0);
    EXPECT_EQ(block[23], 0);
    EXPECT_TRUE(CheckMenuImage(image).badSlots.size() == 99u);  // only slot 1 sealed; the zero blocks are not
}

// A damaged slot re-encodes into its own bytes: every field decoded from a block
// fits its width, so re-encoding gives the same bits as far as they have text.
TEST(ImageCodec, DamagedSlotReencodesWithoutTouchingNeighbours) {
    MenuImageBytes image{};
    EncodeMenu(DefaultTable(), kGasOven, image);
    for (std::size_t i = BlockStart(10); i < BlockStart(11); ++i) {
        image[i] = 0xFF;
    }
    MenuItemTable items;
    SystemBlockBytes system{};
    DecodeMenu(image, items, system);
    MenuImageBytes again = image;
    EncodeMenu(items, OvenTypeOfSystemBlock(system), again);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slot != 10) {
            EXPECT_EQ(BlockOf(again, slot), kDefaultBlock) << slot;
        }
    }
    const Block damaged = BlockOf(again, 10);
    EXPECT_EQ(std::string(damaged.begin() + 4, damaged.begin() + 16), std::string(12, '\xFF'));
    EXPECT_EQ(damaged[16] | damaged[17] << 8, (18 * 3600 + 12 * 60));  // 65535 s shown as 18:12
    EXPECT_EQ(damaged[18], 0xFF);
    EXPECT_EQ(damaged[19], 0x03);  // fan 3 and power 15 have no text and come back as 0
    EXPECT_EQ(damaged[20], 0xFF);
    EXPECT_EQ(damaged[21], 0x07);
    EXPECT_TRUE(CheckMenuImage(again).ok());
}

TEST(ImageCodec, TrailingByteOfAReadFileIsCarriedOver) {
    MenuImageBytes image{};
    image[kTrailingByte] = 0x5A;
    MenuItemTable items;
    SystemBlockBytes system{};
    DecodeMenu(image, items, system);
    EncodeMenu(items, kGasOven, image);
    EXPECT_EQ(image[kTrailingByte], 0x5A);
    EXPECT_EQ(CalculateByteSum(image, 4, 2404), static_cast<std::int32_t>(image[0] | image[1] << 8 | image[2] << 16));
}

// What a decoded slot looks like after one more encode and decode: texts the
// file has no code for take the lowest setting, a hold temperature without the
// flag is not stored.
MenuItemRecord Normalised(MenuItemRecord item) {
    if (item.FanSpeed.empty()) item.FanSpeed = "OFF";
    if (item.PowerLevel.empty()) item.PowerLevel = "0";
    if (item.RoastNHold != 1) item.HoldTemp = "160";
    return item;
}

// Random images, decoded and re-encoded: nothing may crash, a slot re-encodes
// into its own block only, and a re-encoded menu is a fixed point.
TEST(ImageCodec, RandomImagesDecodeAndReencode) {
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    constexpr int kImages = 100000;
    MenuImageBytes image{};
    MenuItemTable items;
    MenuItemTable again;
    SystemBlockBytes system{};
    for (int round = 0; round < kImages; ++round) {
        for (std::size_t i = 0; i < image.size(); i += 8) {
            const std::uint64_t bits = next();
            for (std::size_t j = 0; j < 8 && i + j < image.size(); ++j) {
                image[i + j] = static_cast<std::uint8_t>(bits >> (8 * j));
            }
        }
        // One slot of every image in depth; the whole menu every 100th image,
        // which keeps the loop quick under the sanitizers.
        const int slot = static_cast<int>(next() % kSlotCount);
        MenuItemRecord item = DefaultItem();
        FileDataToItemMemory(image, slot, item);
        MenuImageBytes encoded = image;
        FileDataFromItemMemory(item, encoded, slot);
        MenuItemRecord back = DefaultItem();
        FileDataToItemMemory(encoded, slot, back);
        ASSERT_EQ(back, Normalised(item)) << "image " << round << " slot " << slot;
        const auto blockBegin = static_cast<std::ptrdiff_t>(BlockStart(slot));
        const auto blockEnd = static_cast<std::ptrdiff_t>(BlockStart(slot + 1));
        ASSERT_TRUE(std::equal(image.begin(), image.begin() + blockBegin, encoded.begin())) << round;
        ASSERT_TRUE(std::equal(image.begin() + blockEnd, image.end(), encoded.begin() + blockEnd)) << round;
        if (round % 100 == 0) {
            DecodeMenu(image, items, system);
            EncodeMenu(items, OvenTypeOfSystemBlock(system), encoded);
            ASSERT_TRUE(CheckMenuImage(encoded).ok()) << "image " << round;
            DecodeMenu(encoded, again, system);
            MenuImageBytes twice = encoded;
            EncodeMenu(again, OvenTypeOfSystemBlock(system), twice);
            ASSERT_EQ(twice, encoded) << "image " << round;
        }
    }
}

}  // namespace
}  // namespace ovn
