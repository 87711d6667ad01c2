#include <gtest/gtest.h>

#include <vector>

#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"

namespace ovn {
namespace {

MenuImageBytes DefaultImage() {
    MenuItemTable items;
    items.fill(DefaultItem());
    MenuImageBytes image{};
    EncodeMenu(items, kElectricOven, image);
    return image;
}

TEST(CheckMenuImage, AnEncodedMenuIsWhole) {
    const MenuImageBytes image = DefaultImage();
    const ImageCheckResult result = CheckMenuImage(image);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.size, kImageSize);
    EXPECT_EQ(result.storedSum, 59401u);
    EXPECT_EQ(result.computedSum, 59401u);
}

TEST(CheckMenuImage, DamagedBlockWithTheSumMadeRightAgain) {
    MenuImageBytes image = DefaultImage();
    image[kFirstItemBlock + 24 * 3 + 5] = 'X';   // slot 3's name
    image[kFirstItemBlock + 24 * 71 + 18] ^= 1;  // slot 71's cook temperature
    FileDataFromSystemMemory(image, kElectricOven);
    const ImageCheckResult result = CheckMenuImage(image);
    EXPECT_TRUE(result.sizeOk);
    EXPECT_TRUE(result.sumOk());
    EXPECT_EQ(result.badSlots, (std::vector<int>{3, 71}));
    EXPECT_FALSE(result.ok());
}

TEST(CheckMenuImage, DamagedCrcBytesBreakTheBlockAndTheSum) {
    MenuImageBytes image = DefaultImage();
    image[kFirstItemBlock + 24 * 99 + 1] = 0xDD;  // was 0xDC
    const ImageCheckResult result = CheckMenuImage(image);
    EXPECT_EQ(result.badSlots, (std::vector<int>{99}));
    EXPECT_EQ(result.storedSum, 59401u);
    EXPECT_EQ(result.computedSum, 59401u + 1u);
    EXPECT_FALSE(result.sumOk());
}

TEST(CheckMenuImage, TrailingByteIsCoveredByNoCheck) {
    MenuImageBytes image = DefaultImage();
    image[kTrailingByte] = 0xEE;
    EXPECT_TRUE(CheckMenuImage(image).ok());
}

TEST(CheckMenuImage, ShortAndLongFiles) {
    const MenuImageBytes image = DefaultImage();
    std::vector<std::uint8_t> bytes(image.begin(), image.end());
    bytes.push_back(0x11);
    ImageCheckResult result = CheckMenuImage(bytes);
    EXPECT_EQ(result.size, 2410u);
    EXPECT_FALSE(result.sizeOk);
    EXPECT_TRUE(result.badSlots.empty());
    EXPECT_TRUE(result.sumOk());

    bytes.resize(kFirstItemBlock + 24 * 10);  // slots 10 to 99 missing, read as zeros
    result = CheckMenuImage(bytes);
    EXPECT_FALSE(result.sizeOk);
    EXPECT_EQ(result.badSlots.size(), 90u);
    EXPECT_EQ(result.badSlots.front(), 10);
    EXPECT_FALSE(result.sumOk());

    result = CheckMenuImage({});
    EXPECT_EQ(result.size, 0u);
    EXPECT_EQ(result.badSlots.size(), 100u);
    EXPECT_TRUE(result.sumOk());  // 0 stored, 0 computed
    EXPECT_FALSE(result.ok());
}

}  // namespace
}  // namespace ovn
