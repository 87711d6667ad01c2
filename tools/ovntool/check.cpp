// ovntool check FILE...: size, every block's CRC and the byte sum of each file.
#include <algorithm>
#include <ostream>
#include <string>

#include "interchange/Text.h"
#include "menufile/ImageCheck.h"
#include "model/MenuModel.h"
#include "tools/ovntool/Args.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/MenuFile.h"

namespace ovntool::check {

using namespace interchange;

namespace {

int CheckOneFile(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string reason;
    // One byte more than a menu, so that the check sees a long file as long.
    const auto file = ReadFileBytes(path, ovn::kImageSize + 1, reason);
    if (!file) {
        err << "ovntool: " << InputName(path) << ": " << reason << "\n";
        return kExitError;
    }
    const ovn::ImageCheckResult result = ovn::CheckMenuImage(file->bytes);
    if (result.ok()) {
        out << InputName(path) << ": OK\n";
        return kExitOk;
    }
    out << InputName(path) << ": BAD";
    const char* separator = " (";
    // In a short file the blocks past its end are missing, not damaged: say so once.
    int firstCutSlot = ovn::kSlotCount;
    if (!result.sizeOk) {
        out << separator << "size " << file->size << " bytes, not " << ovn::kImageSize;
        while (firstCutSlot > 0 &&
               ovn::kFirstItemBlock + ovn::kItemBlockSize * static_cast<std::size_t>(firstCutSlot) > file->size) {
            --firstCutSlot;
        }
        if (firstCutSlot == ovn::kSlotCount - 1) {
            out << ", slot " << firstCutSlot << " cut off";
        } else if (firstCutSlot < ovn::kSlotCount) {
            out << ", slots " << firstCutSlot << " to " << ovn::kSlotCount - 1 << " cut off";
        }
        separator = "; ";
    }
    for (const int slot : result.badSlots) {
        if (slot >= firstCutSlot) break;
        out << separator << "slot " << slot << " (" << PageItemOfSlot(slot) << ") CRC wrong";
        separator = "; ";
    }
    if (!result.sumOk()) {
        out << separator << "byte sum stored " << result.storedSum << ", computed " << result.computedSum;
    }
    out << ")\n";
    return kExitBad;
}

}  // namespace

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArgs(args, {});
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    if (parsed.positional.empty()) return UsageError(err, "check needs at least one FILE");
    int status = kExitOk;
    for (const std::string& path : parsed.positional) {
        status = std::max(status, CheckOneFile(path, out, err));
    }
    return status;
}

}  // namespace ovntool::check
