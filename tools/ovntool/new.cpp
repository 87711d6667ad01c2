// ovntool new --oven gas|electric -o OUTFILE: a menu of 100 default slots.
#include <ostream>

#include "tools/ovntool/Args.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/Output.h"

namespace ovntool::newmenu {

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArgs(args, kOutputOptions);
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    if (!parsed.positional.empty()) return UsageError(err, "new takes no FILE, only --oven and -o");
    const auto options = GetOutputOptions(parsed, err);
    if (!options) return kExitError;

    ovn::MenuItemTable items;
    for (ovn::MenuItemRecord& item : items) ovn::ItemClear(item);
    return SaveMenu(items, *options, out, err);
}

}  // namespace ovntool::newmenu
