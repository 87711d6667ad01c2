#include "tools/ovntool/MenuFile.h"

#include <algorithm>
#include <ostream>

#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"
#include "tools/ovntool/Text.h"

namespace ovntool {

std::optional<FileBytes> ReadFileBytes(const std::string& path, std::size_t keep, std::string& reason,
                                       std::uintmax_t refuseAbove) {
    ovn::StorageError error;
    auto file = ovn::ReadFileBytes(path, keep, error, refuseAbove);
    if (!file) reason = ovn::StorageErrorCause(error);
    return file;
}

std::optional<LoadedMenu> LoadMenuForViewing(const std::string& path, std::ostream& err) {
    std::string reason;
    const auto file = ReadFileBytes(path, ovn::kImageSize + 1, reason);
    if (!file) {
        err << "ovntool: " << EscapePath(path) << ": " << reason << "\n";
        return std::nullopt;
    }
    if (file->size != ovn::kImageSize) {
        err << "ovntool: " << EscapePath(path) << ": " << file->size << " bytes, a menu file has exactly "
            << ovn::kImageSize << "\n";
        return std::nullopt;
    }
    if (!ovn::CheckMenuImage(file->bytes).ok()) {
        err << "ovntool: warning: " << EscapePath(path)
            << " fails its checks (see 'ovntool check'); shown as it decodes\n";
    }
    LoadedMenu menu;
    std::copy(file->bytes.begin(), file->bytes.end(), menu.image.begin());
    ovn::DecodeMenu(menu.image, menu.items, menu.systemBlock);
    menu.ovenType = ovn::OvenTypeOfSystemBlock(menu.systemBlock);
    return menu;
}

}  // namespace ovntool
