#include "tools/ovntool/MenuFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <utility>

#include "interchange/Text.h"
#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"

namespace ovntool {

using namespace interchange;

namespace {

// The files read in this run, by device and inode.
std::vector<std::pair<dev_t, ino_t>>& InputFiles() {
    static std::vector<std::pair<dev_t, ino_t>> files;
    return files;
}

void Remember(const struct stat& status) {
    if (S_ISREG(status.st_mode)) InputFiles().emplace_back(status.st_dev, status.st_ino);
}

// Standard input to its end, at most `refuseAbove` bytes (and never more than kReadCap).
std::optional<FileBytes> ReadStandardInput(std::size_t keep, ovn::StorageError& error, std::uintmax_t refuseAbove) {
    const std::uintmax_t cap = std::min<std::uintmax_t>(refuseAbove, ovn::kReadCap);
    FileBytes file;
    std::vector<std::uint8_t> chunk(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = {ovn::StorageStage::Read, errno};
            return std::nullopt;
        }
        if (got == 0) break;
        const auto count = static_cast<std::size_t>(got);
        file.size += count;
        if (file.size > cap) {
            error = {ovn::StorageStage::Read, EFBIG};
            return std::nullopt;
        }
        const std::size_t kept = std::min(count, keep - std::min(keep, file.bytes.size()));
        file.bytes.insert(file.bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(kept));
    }
    struct stat status {};
    if (::fstat(STDIN_FILENO, &status) == 0) Remember(status);
    return file;
}

}  // namespace

std::optional<FileBytes> ReadFileBytes(const std::string& path, std::size_t keep, std::string& reason,
                                       std::uintmax_t refuseAbove) {
    ovn::StorageError error;
    const bool standardInput = path == "-";
    auto file = standardInput ? ReadStandardInput(keep, error, refuseAbove)
                              : ovn::ReadFileBytes(path, keep, error, refuseAbove);
    if (!file) {
        const std::uintmax_t cap = standardInput ? std::min<std::uintmax_t>(refuseAbove, ovn::kReadCap) : refuseAbove;
        reason = ovn::StorageErrorCause(error) +
                 (error.code == EFBIG && cap != UINTMAX_MAX ? " (more than " + std::to_string(cap) + " bytes)" : "");
        return file;
    }
    struct stat status {};
    if (!standardInput && ::stat(path.c_str(), &status) == 0) Remember(status);
    return file;
}

std::string InputName(const std::string& path) {
    return path == "-" ? "standard input" : EscapePath(path);
}

bool IsAnInputFile(const std::string& path) {
    struct stat status {};
    if (path == "-" || ::stat(path.c_str(), &status) != 0) return false;
    const auto& files = InputFiles();
    return std::find(files.begin(), files.end(), std::pair(status.st_dev, status.st_ino)) != files.end();
}

void ForgetInputFiles() {
    InputFiles().clear();
}

std::optional<LoadedMenu> LoadMenuForViewing(const std::string& path, std::ostream& err) {
    std::string reason;
    const auto file = ReadFileBytes(path, ovn::kImageSize + 1, reason);
    if (!file) {
        err << "ovntool: " << InputName(path) << ": " << reason << "\n";
        return std::nullopt;
    }
    if (file->size != ovn::kImageSize) {
        err << "ovntool: " << InputName(path) << ": " << file->size << " bytes, a menu file has exactly "
            << ovn::kImageSize << "\n";
        return std::nullopt;
    }
    if (!ovn::CheckMenuImage(file->bytes).ok()) {
        err << "ovntool: warning: " << InputName(path)
            << " fails its checks (see 'ovntool check'); shown as it decodes\n";
    }
    LoadedMenu menu;
    std::copy(file->bytes.begin(), file->bytes.end(), menu.image.begin());
    ovn::DecodeMenu(menu.image, menu.items, menu.systemBlock);
    menu.ovenType = ovn::OvenTypeOfSystemBlock(menu.systemBlock);
    return menu;
}

}  // namespace ovntool
