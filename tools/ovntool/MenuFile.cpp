#include "tools/ovntool/MenuFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>

#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"

namespace ovntool {

namespace {

// Closes the descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::optional<FileBytes> ReadFileBytes(const std::string& path, std::size_t keep, std::string& reason) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        reason = std::strerror(errno);
        return std::nullopt;
    }
    // A device such as /dev/zero or a terminal would be read forever or wait for a person.
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))) {
        reason = "a device, not a file";
        return std::nullopt;
    }
    FileBytes file;
    std::vector<std::uint8_t> chunk(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            reason = std::strerror(errno);  // a directory fails here with EISDIR
            return std::nullopt;
        }
        if (got == 0) break;
        const std::size_t n = static_cast<std::size_t>(got);
        const std::size_t room = keep - std::min(keep, file.bytes.size());
        file.bytes.insert(file.bytes.end(), chunk.begin(), chunk.begin() + static_cast<long>(std::min(room, n)));
        file.size += n;
    }
    return file;
}

std::optional<LoadedMenu> LoadMenuForViewing(const std::string& path, std::ostream& err) {
    std::string reason;
    const auto file = ReadFileBytes(path, ovn::kImageSize + 1, reason);
    if (!file) {
        err << "ovntool: " << path << ": " << reason << "\n";
        return std::nullopt;
    }
    if (file->size != ovn::kImageSize) {
        err << "ovntool: " << path << ": " << file->size << " bytes, a menu file has exactly " << ovn::kImageSize
            << "\n";
        return std::nullopt;
    }
    if (!ovn::CheckMenuImage(file->bytes).ok()) {
        err << "ovntool: warning: " << path << " fails its checks (see 'ovntool check'); shown as it decodes\n";
    }
    LoadedMenu menu;
    std::copy(file->bytes.begin(), file->bytes.end(), menu.image.begin());
    ovn::DecodeMenu(menu.image, menu.items, menu.systemBlock);
    menu.ovenType = ovn::OvenTypeOfSystemBlock(menu.systemBlock);
    return menu;
}

}  // namespace ovntool
