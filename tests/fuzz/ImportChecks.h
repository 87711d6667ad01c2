// What every import must give, whatever its input: at most 100 problems kept, each
// one line (escaped), and a menu it accepts encodes into an image that passes every check.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "interchange/ImportMenu.h"
#include "menufile/Crc.h"
#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"

inline void BuildCrcTablesOnce() {
    static const bool built = (ovn::BuildCrcTables(), true);
    (void)built;
}

inline void CheckImportedMenu(const interchange::ImportedMenu& menu, std::int16_t oven) {
    if (menu.problems.size() != std::min<std::size_t>(menu.problemCount, 100)) std::abort();
    for (const std::string& line : menu.problems) {
        if (line.empty() || line.find('\n') != std::string::npos) std::abort();
    }
    if (menu.problemCount > 0) return;
    ovn::MenuImageBytes image{};
    ovn::EncodeMenu(menu.items, oven, image);
    if (!ovn::CheckMenuImage(image).ok()) std::abort();
}
