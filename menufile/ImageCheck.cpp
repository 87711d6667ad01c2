#include "menufile/ImageCheck.h"

#include <algorithm>

#include "menufile/Crc.h"
#include "menufile/ImageCodec.h"
#include "model/MenuModel.h"

namespace ovn {

ImageCheckResult CheckMenuImage(std::span<const std::uint8_t> fileBytes) {
    MenuImageBytes image{};
    std::copy_n(fileBytes.begin(), std::min(fileBytes.size(), kImageSize), image.begin());

    ImageCheckResult result;
    result.size = fileBytes.size();
    result.sizeOk = fileBytes.size() == kImageSize;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::size_t start = kFirstItemBlock + kItemBlockSize * static_cast<std::size_t>(slot);
        const std::uint16_t crc =
            CalculateCrc16(std::span<const std::uint8_t>(image).subspan(start + kCrcCoveredOffset, kCrcCoveredCount));
        const std::size_t crcAt = start + kCrcOffset;
        const auto stored = static_cast<std::uint16_t>(image[crcAt] * 256u + image[crcAt + 1]);
        if (crc != stored) {
            result.badSlots.push_back(slot);
        }
    }
    result.storedSum = static_cast<std::uint32_t>(image[kSumOffset]) |
                       static_cast<std::uint32_t>(image[kSumOffset + 1]) << 8 |
                       static_cast<std::uint32_t>(image[kSumOffset + 2]) << 16 |
                       static_cast<std::uint32_t>(image[kSumOffset + 3]) << 24;
    result.computedSum = CalculateByteSum(std::span<const std::uint8_t>(image).subspan(kSummedStart, kSummedCount));
    return result;
}

}  // namespace ovn
