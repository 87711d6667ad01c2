// ovntool show FILE: the oven type and the 100 slots as the editor's item list
// lays them out, values exactly as they decode.
#include <algorithm>
#include <iomanip>
#include <ostream>
#include <string>

#include "interchange/Text.h"
#include "tools/ovntool/Args.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/MenuFile.h"

namespace ovntool::show {

using namespace interchange;

namespace {

std::string PadRight(const std::string& utf8, std::size_t width) {
    const std::size_t used = DisplayWidth(utf8);
    return utf8 + std::string(width > used ? width - used : 0, ' ');
}

}  // namespace

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArgs(args, {});
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    if (parsed.positional.size() != 1) return UsageError(err, "show needs exactly one FILE");
    const auto menu = LoadMenuForViewing(parsed.positional[0], err);
    if (!menu) return kExitError;

    std::size_t nameWidth = 8;
    for (const ovn::MenuItemRecord& item : menu->items) {
        nameWidth = std::max(nameWidth, DisplayWidth(EscapeForTerminal(item.Name)));
    }

    out << "Oven type: " << OvenTypeName(menu->ovenType) << "\n\n";
    out << "Page Item  " << PadRight("Name", nameWidth)
        << "  Cook temp  Cook time  Fan   Power  Roast&hold  Hold temp\n";
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        const ovn::MenuItemRecord& item = menu->items[static_cast<std::size_t>(slot)];
        const ovn::ShownSlot shown = ovn::ShowSlot(item);
        const int page = slot / ovn::kItemsPerPage + 1;
        if (slot % ovn::kItemsPerPage == 0) out << "> Page " << page << "\n";
        out << std::right << std::setw(4) << page << std::setw(5) << slot % ovn::kItemsPerPage << "  "
            << PadRight(EscapeForTerminal(item.Name), nameWidth) << "  " << std::setw(9) << shown.cookTemp << "  "
            << std::setw(9) << shown.cookTime << "  " << std::left << std::setw(4) << shown.fanSpeed << "  "
            << std::right << std::setw(5) << shown.powerLevel << "  " << std::left << std::setw(10)
            << (shown.roastNHold ? "yes" : "no") << "  " << std::right << std::setw(9) << shown.holdTemp << "\n";
    }
    return kExitOk;
}

}  // namespace ovntool::show
