#include "menufile/Crc.h"

#include <cstddef>

namespace ovn {

namespace {

constexpr std::uint16_t kReflectedPolynomial = 0xA001;

// T(i): the reflected CRC-16 table entry of i for the polynomial 0xA001.
constexpr std::uint16_t ReflectedEntry(unsigned index) {
    std::uint16_t value = static_cast<std::uint16_t>(index);
    for (int bit = 0; bit < 8; ++bit) {
        const bool carry = (value & 1u) != 0;
        value = static_cast<std::uint16_t>(value >> 1);
        if (carry) {
            value ^= kReflectedPolynomial;
        }
    }
    return value;
}

// The high-order table holds the low byte of T(i), the low-order table its high byte.
constexpr std::array<std::uint8_t, 256> MakeHiTable() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned i = 0; i < table.size(); ++i) {
        table[i] = static_cast<std::uint8_t>(ReflectedEntry(i) & 0xFFu);
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> MakeLoTable() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned i = 0; i < table.size(); ++i) {
        table[i] = static_cast<std::uint8_t>(ReflectedEntry(i) >> 8);
    }
    return table;
}

bool InsideImage(int start, int count) {
    const long long end = static_cast<long long>(start) + count;
    return start >= 0 && count >= 0 && end <= static_cast<long long>(kImageSize);
}

}  // namespace

// Filled when the program is loaded (constant initialisation), so no CRC can
// ever be computed over unbuilt tables, whatever the start-up order.
std::array<std::uint8_t, 256> CrcHiTable = MakeHiTable();
std::array<std::uint8_t, 256> CrcLoTable = MakeLoTable();

void BuildCrcTables() {
    CrcHiTable = MakeHiTable();
    CrcLoTable = MakeLoTable();
}

std::uint16_t CalculateCrc16(std::span<const std::uint8_t> bytes) {
    std::uint8_t crcHi = 0xFF;
    std::uint8_t crcLo = 0xFF;
    for (std::uint8_t byte : bytes) {
        const std::uint8_t index = crcHi ^ byte;
        crcHi = crcLo ^ CrcHiTable[index];
        crcLo = CrcLoTable[index];
    }
    return static_cast<std::uint16_t>(crcHi * 256u + crcLo);
}

std::uint32_t CalculateByteSum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    for (std::uint8_t byte : bytes) {
        sum += byte;
    }
    return sum;
}

std::optional<std::int32_t> CalculateCrc16(const MenuImageBytes& image, int start, int count) {
    if (!InsideImage(start, count)) {
        return std::nullopt;
    }
    return CalculateCrc16(
        std::span<const std::uint8_t>(image).subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(count)));
}

std::optional<std::int32_t> CalculateByteSum(const MenuImageBytes& image, int start, int count) {
    if (!InsideImage(start, count)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(CalculateByteSum(std::span<const std::uint8_t>(image).subspan(
        static_cast<std::size_t>(start), static_cast<std::size_t>(count))));
}

}  // namespace ovn
