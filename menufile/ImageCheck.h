// Whether a file's bytes hold a whole, intact menu: its size, every item
// block's CRC and the byte sum. The editor warns after a load; the
// command-line tool's `check` reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ovn {

struct ImageCheckResult {
    std::size_t size = 0;           // bytes given
    bool sizeOk = false;            // exactly 2409
    std::vector<int> badSlots;      // slots 0..99 whose block CRC is wrong, ascending
    std::uint32_t storedSum = 0;    // bytes 0..3, little-endian
    std::uint32_t computedSum = 0;  // sum of bytes 4..2407
    bool sumOk() const { return storedSum == computedSum; }
    bool ok() const { return sizeOk && badSlots.empty() && sumOk(); }
};

// Bytes missing from a short file count as 0, as a read of it would leave them;
// bytes after 2409 are ignored.
ImageCheckResult CheckMenuImage(std::span<const std::uint8_t> fileBytes);

}  // namespace ovn
