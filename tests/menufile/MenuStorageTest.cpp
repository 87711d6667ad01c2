#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"

namespace ovn {
namespace {

// Table rows print as their names in test listings.
template <typename Row>
requires requires(const Row& row) {
    row.name;
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + seed);
    }
    return bytes;
}

MenuImageBytes PatternImage(std::uint8_t seed) {
    MenuImageBytes image{};
    const Bytes bytes = Pattern(kImageSize, seed);
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return image;
}

Bytes AsBytes(const MenuImageBytes& image) {
    return Bytes(image.begin(), image.end());
}

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{}));
}

class MenuStorage : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ovn-storage-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp");
        }
        dir_ = pattern;
        std::ofstream(dir_ / "FILE") << "a plain file";
        descriptors_ = OpenDescriptors();
        oldUmask_ = umask(022);
    }
    void TearDown() override {
        testing::SetWriteFunction({});
        testing::RefuseTemporaryFiles(false);
        umask(oldUmask_);
        EXPECT_EQ(OpenDescriptors(), descriptors_) << "a file was left open";
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // The entries of the directory, apart from the plain file every test starts with.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            if (entry.path().filename() != "FILE") {
                names.push_back(entry.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    StorageErrorReporter Reporter() {
        return [this](const std::string& message) { reports_.push_back(message); };
    }

    fs::path dir_;
    std::vector<std::string> reports_;
    std::size_t descriptors_ = 0;
    mode_t oldUmask_ = 0;
};

TEST_F(MenuStorage, GetReadsAWholeMenu) {
    const fs::path path = dir_ / "MENU0001.ovn";
    WriteAll(path, AsBytes(PatternImage(1)));
    MenuImageBytes image{};
    std::uintmax_t size = 0;
    ASSERT_TRUE(MenuGet(path.string(), image, Reporter(), &size));
    EXPECT_EQ(image, PatternImage(1));
    EXPECT_EQ(size, kImageSize);
    EXPECT_TRUE(reports_.empty());
}

TEST_F(MenuStorage, GetFillsWhatAShortFileLacksWithZeros) {
    for (std::size_t fileSize : {std::size_t{0}, std::size_t{1}, std::size_t{100}, kImageSize - 1}) {
        const fs::path path = dir_ / "SHORT.ovn";
        const Bytes bytes = Pattern(fileSize, 7);
        WriteAll(path, bytes);
        MenuImageBytes image;
        image.fill(0xAA);  // what the previous menu left
        std::uintmax_t size = 99;
        ASSERT_TRUE(MenuGet(path.string(), image, Reporter(), &size)) << fileSize;
        EXPECT_EQ(size, fileSize);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.begin())) << fileSize;
        EXPECT_TRUE(std::all_of(image.begin() + static_cast<std::ptrdiff_t>(fileSize), image.end(), [](std::uint8_t b) {
            return b == 0;
        })) << fileSize;
    }
    EXPECT_TRUE(reports_.empty());
}

TEST_F(MenuStorage, GetTakesTheFirst2409BytesOfALongerFile) {
    const fs::path path = dir_ / "LONG.ovn";
    const Bytes bytes = Pattern(3000, 3);
    WriteAll(path, bytes);
    MenuImageBytes image{};
    std::uintmax_t size = 0;
    ASSERT_TRUE(MenuGet(path.string(), image, Reporter(), &size));
    EXPECT_EQ(size, 3000u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.begin()));
}

struct GetFailureRow {
    const char* name;
    std::string relativePath;
};

class MenuGetFails : public MenuStorage, public ::testing::WithParamInterface<GetFailureRow> {};

TEST_P(MenuGetFails, ReportsThePathAndKeepsTheImage) {
    const std::string path = (dir_ / GetParam().relativePath).string();
    if (GetParam().relativePath == "DIR.ovn") {
        fs::create_directory(path);
    }
    if (GetParam().relativePath == "FIFO.ovn") {
        ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);  // would hang a blocking open
    }
    const std::vector<std::string> before = Entries();
    MenuImageBytes image = PatternImage(9);
    std::uintmax_t size = 0;
    EXPECT_FALSE(MenuGet(path, image, Reporter(), &size));
    EXPECT_EQ(reports_, std::vector<std::string>{"MenuGet : " + path});
    EXPECT_EQ(image, PatternImage(9));
    EXPECT_EQ(Entries(), before) << "the read created something";
}

INSTANTIATE_TEST_SUITE_P(Paths, MenuGetFails,
                         ::testing::Values(GetFailureRow{"MissingFile", "NOFILE01.ovn"},
                                           GetFailureRow{"Directory", "DIR.ovn"}, GetFailureRow{"Fifo", "FIFO.ovn"},
                                           GetFailureRow{"ParentIsAFile", "FILE/MENU0001.ovn"},
                                           GetFailureRow{"MissingParent", "missing/MENU0001.ovn"},
                                           GetFailureRow{"NameTooLong", std::string(300, 'M') + ".ovn"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuStorage, SaveCreatesAMenuFileWithTheUsualMode) {
    const fs::path path = dir_ / "TEST.ovn";
    ASSERT_TRUE(MenuSave(path.string(), PatternImage(2), Reporter()));
    EXPECT_EQ(ReadAll(path), AsBytes(PatternImage(2)));
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644u);  // 0666 less the umask 022
    EXPECT_EQ(Entries(), std::vector<std::string>{"TEST.ovn"});
    EXPECT_TRUE(reports_.empty());
}

TEST_F(MenuStorage, SaveReplacesALongerFileWholeAndKeepsItsMode) {
    const fs::path path = dir_ / "TEST.ovn";
    WriteAll(path, Pattern(3000, 5));
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    ASSERT_TRUE(MenuSave(path.string(), PatternImage(2), Reporter()));
    EXPECT_EQ(ReadAll(path), AsBytes(PatternImage(2)));
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"TEST.ovn"});
}

TEST_F(MenuStorage, SaveThroughALinkReplacesItsTarget) {
    fs::create_directory(dir_ / "real");
    const fs::path target = dir_ / "real" / "TEST.ovn";
    WriteAll(target, Pattern(100, 1));
    fs::create_symlink("real/TEST.ovn", dir_ / "LINK.ovn");               // relative
    fs::create_symlink(dir_ / "LINK.ovn", dir_ / "LINKLINK.ovn");         // a link to a link
    fs::create_symlink(dir_ / "real" / "NEW.ovn", dir_ / "NEWLINK.ovn");  // dangling
    ASSERT_TRUE(MenuSave((dir_ / "LINKLINK.ovn").string(), PatternImage(4), Reporter()));
    ASSERT_TRUE(MenuSave((dir_ / "NEWLINK.ovn").string(), PatternImage(5), Reporter()));
    EXPECT_TRUE(fs::is_symlink(dir_ / "LINK.ovn"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "LINKLINK.ovn"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "NEWLINK.ovn"));
    EXPECT_EQ(ReadAll(target), AsBytes(PatternImage(4)));
    EXPECT_EQ(ReadAll(dir_ / "real" / "NEW.ovn"), AsBytes(PatternImage(5)));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator{}), 2);
}

TEST_F(MenuStorage, SaveThenGetGivesTheSameBytesTrailingByteIncluded) {
    MenuImageBytes image = PatternImage(6);
    image[kTrailingByte] = 0xC3;
    const fs::path path = dir_ / "COPY.ovn";
    ASSERT_TRUE(MenuSave(path.string(), image, Reporter()));
    MenuImageBytes back{};
    ASSERT_TRUE(MenuGet(path.string(), back, Reporter()));
    EXPECT_EQ(back, image);
}

TEST_F(MenuStorage, TemporaryFileSitsBesideTheTargetAndIsNoMenuName) {
    const fs::path path = dir_ / "TEST.ovn";
    std::string tempPath;
    testing::SetWriteFunction([&](int fd, const void* data, std::size_t size) -> long {
        tempPath = fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).string();
        return static_cast<long>(::write(fd, data, size));
    });
    ASSERT_TRUE(MenuSave(path.string(), PatternImage(1), Reporter()));
    ASSERT_FALSE(tempPath.empty());
    EXPECT_EQ(fs::path(tempPath).parent_path(), fs::canonical(dir_));
    EXPECT_NE(fs::path(tempPath).extension(), ".ovn");
    EXPECT_NE(fs::path(tempPath).filename(), "TEST.ovn");
}

TEST_F(MenuStorage, SaveCopesWithShortWrites) {
    testing::SetWriteFunction([](int fd, const void* data, std::size_t size) -> long {
        return static_cast<long>(::write(fd, data, std::min<std::size_t>(size, 7)));
    });
    const fs::path path = dir_ / "TEST.ovn";
    ASSERT_TRUE(MenuSave(path.string(), PatternImage(3), Reporter()));
    EXPECT_EQ(ReadAll(path), AsBytes(PatternImage(3)));
}

struct SaveFailureRow {
    const char* name;
    std::string relativePath;
};

class MenuSaveFails : public MenuStorage, public ::testing::WithParamInterface<SaveFailureRow> {};

TEST_P(MenuSaveFails, ReportsThePathAndCreatesNothing) {
    const std::string path = (dir_ / GetParam().relativePath).string();
    if (GetParam().relativePath == "DIR.ovn") {
        fs::create_directory(path);
    }
    const std::vector<std::string> before = Entries();
    EXPECT_FALSE(MenuSave(path, PatternImage(1), Reporter()));
    EXPECT_EQ(reports_, std::vector<std::string>{"MenuSave : " + path});
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(ReadAll(dir_ / "FILE"), Bytes({'a', ' ', 'p', 'l', 'a', 'i', 'n', ' ', 'f', 'i', 'l', 'e'}));
}

INSTANTIATE_TEST_SUITE_P(Paths, MenuSaveFails,
                         ::testing::Values(SaveFailureRow{"Directory", "DIR.ovn"},
                                           SaveFailureRow{"ParentIsAFile", "FILE/MENU0001.ovn"},
                                           SaveFailureRow{"MissingParent", "missing/MENU0001.ovn"},
                                           SaveFailureRow{"NameTooLong", std::string(300, 'M') + ".ovn"},
                                           SaveFailureRow{"EmptyPath", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// A writer that takes `limit` bytes and then fails as a full disk does.
testing::WriteFunction FailingAfter(std::size_t limit) {
    auto written = std::make_shared<std::size_t>(0);
    return [written, limit](int fd, const void* data, std::size_t size) -> long {
        if (*written >= limit) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t now = std::min(size, limit - *written);
        const long result = static_cast<long>(::write(fd, data, now));
        if (result > 0) {
            *written += static_cast<std::size_t>(result);
        }
        return result;
    };
}

class FailingWriter : public MenuStorage, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(FailingWriter, LeavesTheOldFileByteIdenticalAndNoTemporaryFile) {
    const fs::path path = dir_ / "TEST.ovn";
    const Bytes old = Pattern(3000, 8);
    WriteAll(path, old);
    testing::SetWriteFunction(FailingAfter(GetParam()));
    EXPECT_FALSE(MenuSave(path.string(), PatternImage(1), Reporter()));
    EXPECT_EQ(reports_, std::vector<std::string>{"MenuSave : " + path.string()});
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(Entries(), std::vector<std::string>{"TEST.ovn"});
}

TEST_P(FailingWriter, NewFileIsNotCreated) {
    const fs::path path = dir_ / "NEW.ovn";
    testing::SetWriteFunction(FailingAfter(GetParam()));
    EXPECT_FALSE(MenuSave(path.string(), PatternImage(1), Reporter()));
    EXPECT_EQ(reports_.size(), 1u);
    EXPECT_TRUE(Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Limits, FailingWriter, ::testing::Values(0, 1, 1000, kImageSize - 1),
                         [](const auto& info) { return "After" + std::to_string(info.param); });

TEST_F(MenuStorage, WriterThatTakesNothingDoesNotHang) {
    testing::SetWriteFunction([](int, const void*, std::size_t) -> long { return 0; });
    EXPECT_FALSE(MenuSave((dir_ / "TEST.ovn").string(), PatternImage(1), Reporter()));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(MenuStorage, InPlaceWhenNoTemporaryFileIsAllowed) {
    const fs::path path = dir_ / "TEST.ovn";
    WriteAll(path, Pattern(3000, 8));
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    testing::RefuseTemporaryFiles(true);
    ASSERT_TRUE(MenuSave(path.string(), PatternImage(2), Reporter()));
    EXPECT_EQ(ReadAll(path), AsBytes(PatternImage(2)));  // cut to 2409 bytes
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_TRUE(reports_.empty());
}

TEST_F(MenuStorage, InPlaceCannotCreateANewFile) {
    testing::RefuseTemporaryFiles(true);
    const fs::path path = dir_ / "NEW.ovn";
    EXPECT_FALSE(MenuSave(path.string(), PatternImage(2), Reporter()));
    EXPECT_EQ(reports_, std::vector<std::string>{"MenuSave : " + path.string()});
    EXPECT_TRUE(Entries().empty());
}

TEST_F(MenuStorage, FailedInPlaceWriteSaysTheOldFileMayBeDamaged) {
    const fs::path path = dir_ / "TEST.ovn";
    WriteAll(path, Pattern(3000, 8));
    testing::RefuseTemporaryFiles(true);
    testing::SetWriteFunction(FailingAfter(1000));
    EXPECT_FALSE(MenuSave(path.string(), PatternImage(2), Reporter()));
    EXPECT_EQ(reports_, std::vector<std::string>{"MenuSave : " + path.string() + "\r\nThe old file may be damaged."});
    EXPECT_EQ(fs::file_size(path), 3000u);  // never cut before the new bytes are all written
    EXPECT_EQ(Entries(), std::vector<std::string>{"TEST.ovn"});
}

// The checked-in menus, read as the editor reads them, match what the encoder writes.
TEST_F(MenuStorage, CheckedInMenusMatchTheEncoder) {
    MenuItemTable items;
    items.fill(DefaultItem());
    for (const auto& [file, oven] :
         {std::pair{"default_gas.ovn", kGasOven}, std::pair{"default_electric.ovn", kElectricOven}}) {
        MenuImageBytes fromFile{};
        std::uintmax_t size = 0;
        ASSERT_TRUE(MenuGet(std::string(OVN_TEST_DATA_DIR) + "/" + file, fromFile, Reporter(), &size)) << file;
        EXPECT_EQ(size, kImageSize);
        MenuImageBytes encoded{};
        EncodeMenu(items, oven, encoded);
        EXPECT_EQ(fromFile, encoded) << file;
    }
}

}  // namespace
}  // namespace ovn
