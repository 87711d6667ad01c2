// Any bytes as a CSV file given to import, for either oven: read and judged
// exactly as the command does, never written (see ImportChecks.h).
#include <string_view>

#include "ImportChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BuildCrcTablesOnce();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const std::int16_t oven : {ovn::kGasOven, ovn::kElectricOven}) {
        CheckImportedMenu(interchange::ImportMenu(bytes, oven, "in.csv"), oven);
    }
    return 0;
}
