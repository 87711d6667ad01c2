// Any bytes as a CSV file given to import, for either oven: read and judged
// exactly as the command does, never written. A menu it accepts must encode
// into an image that passes every check; every problem is one line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "menufile/Crc.h"
#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"
#include "tools/ovntool/Import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool tablesBuilt = (ovn::BuildCrcTables(), true);
    (void)tablesBuilt;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const std::int16_t oven : {ovn::kGasOven, ovn::kElectricOven}) {
        const ovntool::ImportedMenu menu = ovntool::ImportMenu(bytes, oven, "in.csv");
        if (menu.problems.size() != std::min<std::size_t>(menu.problemCount, 100)) std::abort();
        for (const std::string& line : menu.problems) {
            if (line.empty() || line.find('\n') != std::string::npos) std::abort();  // one line each, escaped
        }
        if (menu.problemCount > 0) continue;
        ovn::MenuImageBytes image{};
        ovn::EncodeMenu(menu.items, oven, image);
        if (!ovn::CheckMenuImage(image).ok()) std::abort();
    }
    return 0;
}
