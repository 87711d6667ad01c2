// CRC-16/MODBUS by the standard's two-table method, and the 32-bit byte sum.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "model/MenuModel.h"

namespace ovn {

extern std::array<std::uint8_t, 256> CrcHiTable;
extern std::array<std::uint8_t, 256> CrcLoTable;

// Fills both tables from the generating rule. Safe to call more than once.
void BuildCrcTables();

// CRCHi * 256 + CRCLo after the last byte: the standard value with its two bytes
// exchanged ("123456789" gives 0x374B). An empty span gives 0xFFFF.
std::uint16_t CalculateCrc16(std::span<const std::uint8_t> bytes);
std::uint32_t CalculateByteSum(std::span<const std::uint8_t> bytes);

// The same over a range of an image; a range that is negative or reaches past
// the image is refused (nullopt), never read. A count of 0 gives 0xFFFF / 0.
std::optional<std::int32_t> CalculateCrc16(const MenuImageBytes& image, int start, int count);
std::optional<std::int32_t> CalculateByteSum(const MenuImageBytes& image, int start, int count);

}  // namespace ovn
