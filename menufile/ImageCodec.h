// The menu image layout in both directions: 100 item blocks of 24 bytes sealed
// with a CRC-16, and the 8-byte system block with the oven type and byte sum.
// Byte 2408 is never written by the encoders and never summed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/MenuModel.h"

namespace ovn {

// Offsets inside an item block (its CRC is stored high byte first).
inline constexpr std::size_t kCrcOffset = 0;
inline constexpr std::size_t kNameOffset = 4;
inline constexpr std::size_t kSecondsOffset = 16;
inline constexpr std::size_t kCookWordOffset = 18;
inline constexpr std::size_t kHoldWordOffset = 20;
inline constexpr std::size_t kCrcCoveredOffset = 2;
inline constexpr std::size_t kCrcCoveredCount = 22;

// Offsets inside the system block (the sum is stored low byte first).
inline constexpr std::size_t kSumOffset = 0;
inline constexpr std::size_t kOvenTypeOffset = 5;
inline constexpr std::size_t kSummedStart = 4;
inline constexpr std::size_t kSummedCount = 2404;

// Encodes `item` into the block of `slot` (0..99) and seals it with its CRC.
// Values wider than their fields are masked, so neighbouring bits never change.
void FileDataFromItemMemory(const MenuItemRecord& item, MenuImageBytes& image, int slot);
// Writes bytes 0..7: the byte sum of bytes 4..2407 and the oven type (byte 5:
// 1 for electric, 0 otherwise). Call after all 100 item blocks are encoded.
void FileDataFromSystemMemory(MenuImageBytes& image, std::int16_t ovenType);
// Sets all seven fields of `item` from the block of `slot`. Accepts any bytes.
void FileDataToItemMemory(const MenuImageBytes& image, int slot, MenuItemRecord& item);
void FileDataToSystemMemory(const MenuImageBytes& image, SystemBlockBytes& systemBlock);

// All 100 blocks in ascending order, then the system block.
void EncodeMenu(const MenuItemTable& items, std::int16_t ovenType, MenuImageBytes& image);
// Every slot cleared to its defaults and decoded, then the system block copied.
void DecodeMenu(const MenuImageBytes& image, MenuItemTable& items, SystemBlockBytes& systemBlock);
// The oven type a file's system block names: bit 0 of byte 5 set = electric.
std::int16_t OvenTypeOfSystemBlock(const SystemBlockBytes& systemBlock);

}  // namespace ovn
