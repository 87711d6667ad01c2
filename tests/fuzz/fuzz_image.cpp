// Any bytes a menu file may hold (0 to 4000 of them), read as the editor reads
// them: the image must decode, the decoded menu must encode into an image that
// passes every check, and decode -> encode must then be a fixed point.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "menufile/Crc.h"
#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool tablesBuilt = (ovn::BuildCrcTables(), true);
    (void)tablesBuilt;
    if (size > 4000) return 0;
    (void)ovn::CheckMenuImage(std::span<const std::uint8_t>(data, size));

    ovn::MenuImageBytes image{};  // a short file leaves the rest 0, a long one gives its head
    std::copy_n(data, std::min(size, image.size()), image.begin());
    ovn::MenuItemTable items;
    ovn::SystemBlockBytes system{};
    ovn::DecodeMenu(image, items, system);
    const std::int16_t oven = ovn::OvenTypeOfSystemBlock(system);

    ovn::MenuImageBytes encoded = image;
    ovn::EncodeMenu(items, oven, encoded);
    if (!ovn::CheckMenuImage(encoded).ok() || encoded[ovn::kTrailingByte] != image[ovn::kTrailingByte]) std::abort();

    ovn::MenuItemTable again;
    ovn::DecodeMenu(encoded, again, system);
    if (ovn::OvenTypeOfSystemBlock(system) != oven) std::abort();
    ovn::MenuImageBytes twice = encoded;
    ovn::EncodeMenu(again, oven, twice);
    ovn::MenuItemTable thrice;
    ovn::DecodeMenu(twice, thrice, system);
    if (twice != encoded || thrice != again) std::abort();
    return 0;
}
