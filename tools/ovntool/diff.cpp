// ovntool diff FILE1 FILE2: what differs between two menus as the editor shows
// them. Exit 0 when the same, 1 when they differ, 2 on an error.
#include <ostream>
#include <string>

#include "interchange/Columns.h"
#include "interchange/Text.h"
#include "tools/ovntool/Args.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/MenuFile.h"

namespace ovntool::diff {

using namespace interchange;

namespace {

// A value as diff prints it: the name quoted and escaped, the time as HH:MM,
// a text that decodes empty as "-".
std::string Shown(Column column, const std::string& text) {
    if (column == Column::Name) return Quoted(text);
    if (text.empty()) return "-";
    if (column == Column::CookTime) return TimeWithColon(text);
    return text;
}

}  // namespace

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArgs(args, {});
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    if (parsed.positional.size() != 2) return UsageError(err, "diff needs exactly two FILEs");
    const auto first = LoadMenuForViewing(parsed.positional[0], err);
    const auto second = LoadMenuForViewing(parsed.positional[1], err);
    if (!first || !second) return kExitError;

    bool differ = false;
    if (first->ovenType != second->ovenType) {
        out << "oven type: " << OvenTypeName(first->ovenType) << " -> " << OvenTypeName(second->ovenType) << "\n";
        differ = true;
    }
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        const auto& a = first->items[static_cast<std::size_t>(slot)];
        const auto& b = second->items[static_cast<std::size_t>(slot)];
        if (a == b) continue;
        differ = true;
        out << PageItemOfSlot(slot) << " (slot " << slot << "):";
        const char* separator = " ";
        for (const Column column : kAllColumns) {
            const std::string textA = ColumnText(column, slot, a);
            const std::string textB = ColumnText(column, slot, b);
            if (textA == textB) continue;
            out << separator << ColumnName(column) << " " << Shown(column, textA) << " -> " << Shown(column, textB);
            separator = "; ";
        }
        out << "\n";
    }
    return differ ? kExitBad : kExitOk;
}

}  // namespace ovntool::diff
