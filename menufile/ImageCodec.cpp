#include "menufile/ImageCodec.h"

#include <cstddef>

#include "menufile/Crc.h"
#include "model/Encodings.h"

namespace ovn {

namespace {

// Field widths of an item block.
constexpr std::size_t kNameBytes = 12;
constexpr std::uint32_t kSecondsMask = 0xFFFF;     // 16 bits
constexpr std::uint32_t kTemperatureMask = 0x3FF;  // 10 bits
constexpr std::uint32_t kFanMask = 0x3;            // 2 bits
constexpr std::uint32_t kPowerMask = 0xF;          // 4 bits

constexpr std::uint16_t kDefaultHoldTemp = 160;

bool ValidSlot(int slot) {
    return slot >= 0 && slot < kSlotCount;
}

std::size_t BlockStart(int slot) {
    return kFirstItemBlock + kItemBlockSize * static_cast<std::size_t>(slot);
}

std::uint32_t Masked(std::int32_t value, std::uint32_t mask) {
    return static_cast<std::uint32_t>(value) & mask;
}

}  // namespace

void FileDataFromItemMemory(const MenuItemRecord& item, MenuImageBytes& image, int slot) {
    if (!ValidSlot(slot)) {
        return;
    }
    std::uint8_t* block = image.data() + BlockStart(slot);
    for (std::size_t i = 0; i < kItemBlockSize; ++i) {
        block[i] = 0;
    }
    for (std::size_t i = 0; i < kNameBytes && i < item.Name.size(); ++i) {
        block[kNameOffset + i] = static_cast<std::uint8_t>(item.Name[i]);  // Latin-1: one byte per character
    }

    std::uint8_t b3 = 0, b2 = 0, b1 = 0, b0 = 0;
    SplitLongIntoBytes(static_cast<std::int32_t>(Masked(CalculateTimeInSeconds(item.CookTime), kSecondsMask)), b3, b2,
                       b1, b0);
    block[kSecondsOffset] = b0;
    block[kSecondsOffset + 1] = b1;

    SplitLongIntoBytes(static_cast<std::int32_t>(Masked(CalculateTempInDegrees(item.CookTemp), kTemperatureMask)), b3,
                       b2, b1, b0);
    block[kCookWordOffset] = b0;
    block[kCookWordOffset + 1] =
        static_cast<std::uint8_t>(b1 | (Masked(DetermineFanSpeed(item.FanSpeed), kFanMask) << 2) |
                                  (Masked(DeterminePowerLevel(item.PowerLevel), kPowerMask) << 4));

    if (item.RoastNHold == 1) {
        const std::uint32_t hold = Masked(CalculateTempInDegrees(item.HoldTemp), kTemperatureMask);
        block[kHoldWordOffset] = static_cast<std::uint8_t>(1u | ((hold & 0x7Fu) << 1));
        block[kHoldWordOffset + 1] = static_cast<std::uint8_t>(hold >> 7);
    }

    const std::int32_t crc = *CalculateCrc16(image, static_cast<int>(BlockStart(slot) + kCrcCoveredOffset),
                                             static_cast<int>(kCrcCoveredCount));
    SplitCrcIntoBytes(crc, b3, b2, b1, b0);
    block[kCrcOffset] = b1;
    block[kCrcOffset + 1] = b0;
}

void FileDataFromSystemMemory(MenuImageBytes& image, std::int16_t ovenType) {
    for (std::size_t i = 0; i < kSystemBlockSize; ++i) {
        image[i] = 0;
    }
    image[kOvenTypeOffset] = ovenType == kElectricOven ? 1 : 0;
    const std::int32_t sum = *CalculateByteSum(image, static_cast<int>(kSummedStart), static_cast<int>(kSummedCount));
    std::uint8_t b3 = 0, b2 = 0, b1 = 0, b0 = 0;
    SplitLongIntoBytes(sum, b3, b2, b1, b0);
    image[kSumOffset] = b0;
    image[kSumOffset + 1] = b1;
    image[kSumOffset + 2] = b2;
    image[kSumOffset + 3] = b3;
}

void FileDataToItemMemory(const MenuImageBytes& image, int slot, MenuItemRecord& item) {
    if (!ValidSlot(slot)) {
        return;
    }
    const std::uint8_t* block = image.data() + BlockStart(slot);

    item.Name.clear();
    for (std::size_t i = 0; i < kNameBytes && block[kNameOffset + i] != 0; ++i) {
        item.Name.push_back(static_cast<char>(block[kNameOffset + i]));
    }

    item.CookTime = CalculateTimeAsString(block[kSecondsOffset + 1], block[kSecondsOffset]);

    const std::uint8_t cookLow = block[kCookWordOffset];
    const std::uint8_t cookHigh = block[kCookWordOffset + 1];
    item.CookTemp = CalculateTempAsString(static_cast<std::uint8_t>(cookHigh & 3u), cookLow);
    item.FanSpeed = DetermineFanSpeedString(static_cast<std::uint8_t>((cookHigh & 12u) >> 2));
    item.PowerLevel = DeterminePowerLevelString(static_cast<std::uint8_t>((cookHigh & 240u) >> 4));

    const std::uint8_t holdLow = block[kHoldWordOffset];
    const std::uint8_t holdHigh = block[kHoldWordOffset + 1];
    item.RoastNHold = (holdLow & 1u) != 0 ? 1 : 0;
    const unsigned hold = ((holdHigh & 6u) >> 1) * 256u + ((holdLow & 254u) >> 1) + (holdHigh & 1u) * 128u;
    const unsigned shownHold = hold == 0 ? kDefaultHoldTemp : hold;
    item.HoldTemp =
        CalculateTempAsString(static_cast<std::uint8_t>(shownHold >> 8), static_cast<std::uint8_t>(shownHold & 0xFFu));
}

void FileDataToSystemMemory(const MenuImageBytes& image, SystemBlockBytes& systemBlock) {
    for (std::size_t i = 0; i < kSystemBlockSize; ++i) {
        systemBlock[i] = image[i];
    }
}

void EncodeMenu(const MenuItemTable& items, std::int16_t ovenType, MenuImageBytes& image) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        FileDataFromItemMemory(items[static_cast<std::size_t>(slot)], image, slot);
    }
    FileDataFromSystemMemory(image, ovenType);
}

void DecodeMenu(const MenuImageBytes& image, MenuItemTable& items, SystemBlockBytes& systemBlock) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        MenuItemRecord& item = items[static_cast<std::size_t>(slot)];
        ItemClear(item);
        FileDataToItemMemory(image, slot, item);
    }
    FileDataToSystemMemory(image, systemBlock);
}

std::int16_t OvenTypeOfSystemBlock(const SystemBlockBytes& systemBlock) {
    return (systemBlock[kOvenTypeOffset] & 1u) != 0 ? kElectricOven : kGasOven;
}

}  // namespace ovn
