#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "menufile/Crc.h"
#include "menufile/ImageCheck.h"
#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"
#include "menufile/StorageTestSeams.h"

namespace ovn {
namespace {

using Block = std::array<std::uint8_t, kItemBlockSize>;
using Bytes = std::vector<std::uint8_t>;

constexpr Block kDefaultBlock = {0x2E, 0xDC, 0, 0, 0,    0,    0,    0,    0, 0, 0, 0,
                                 0,    0,    0, 0, 0x58, 0x02, 0x45, 0xA9, 0, 0, 0, 0};
constexpr Block kRoastBlock = {0xDB, 0x6E, 0, 0, 'R',  'O',  'A',  'S',  'T',  0,    0, 0,
                               0,    0,    0, 0, 0x18, 0x15, 0x5E, 0x85, 0x41, 0x01, 0, 0};
const MenuItemRecord kRoast{"ROAST", "350", "160", "0130", "LOW", "80", 1};
// Where byte `offset` of slot `slot`'s block lies in the image.
std::size_t ImageOffset(int slot, std::size_t offset = 0) {
    return 8 + 24 * std::size_t(slot) + offset;
}

// The number stored little-endian in `count` bytes of `image` from `at`.
std::uint32_t LittleEndian(const MenuImageBytes& image, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value * 256 + image[at + std::size_t(i)];
    return value;
}

// The CRC-16 register shifted one bit at a time, its two bytes exchanged as the table-driven routine returns it.
std::uint16_t SlowCrc16(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = std::uint16_t(crc & 1u ? (crc >> 1) ^ 0xA001u : crc >> 1);
    }
    return static_cast<std::uint16_t>((crc & 0xFFu) << 8 | crc >> 8);
}

MenuItemRecord Decoded(const MenuImageBytes& image, int slot) {
    MenuItemRecord item = DefaultItem();
    FileDataToItemMemory(image, slot, item);
    return item;
}

TEST(Crc, CheckValuesTablesBitByBitAndRanges) {
    const std::tuple<Bytes, std::uint16_t> rows[] = {
        {{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x374B},
        {{'a', 'b', 'c'}, 0x4957},
        {Bytes(22, 0), 0x5B0B},
        {Bytes{}, 0xFFFF},
    };
    for (const auto& [bytes, crc] : rows)
        EXPECT_EQ(std::pair(CalculateCrc16(bytes), SlowCrc16(bytes)), std::pair(crc, crc));
    Bytes bytes;  // random bytes of every length: the tables against the register, entry by entry
    std::uint32_t seed = 12345;
    for (std::size_t length = 0; length < 600; ++length) {
        ASSERT_EQ(CalculateCrc16(bytes), SlowCrc16(bytes)) << "length " << length;
        bytes.push_back(static_cast<std::uint8_t>(seed >> 16));
        seed = seed * 1103515245u + 12345u;
    }
    const MenuImageBytes image{};  // ranges outside the image are refused
    const std::tuple<int, int, bool> ranges[] = {
        {0, 2409, true},  {5, 0, true},   {2409, 0, true}, {2408, 1, true},        {2408, 2, false},
        {2410, 0, false}, {-1, 3, false}, {4, -1, false},  {1, 2147483647, false},
    };
    for (const auto& [s, n, ok] : ranges) EXPECT_EQ(CalculateCrc16(image, s, n).has_value(), ok) << s << "+" << n;
    for (const auto& [s, n, ok] : ranges) EXPECT_EQ(CalculateByteSum(image, s, n).has_value(), ok) << s << "+" << n;
}

TEST(ImageCodec, DefaultImagesEveryByteAndCheckOfDamagedBlocks) {
    const std::tuple<std::int16_t, SystemBlockBytes> rows[] = {
        {kGasOven, {0x08, 0xE8, 0, 0, 0, 0, 0, 0}},
        {kElectricOven, {0x09, 0xE8, 0, 0, 0, 1, 0, 0}},
        {kNoOvenType, {0x08, 0xE8, 0, 0, 0, 0, 0, 0}},
    };
    MenuItemTable items;
    items.fill(DefaultItem());
    MenuImageBytes image{};
    for (const auto& [oven, system] : rows) {
        MenuImageBytes expected{};
        std::copy(system.begin(), system.end(), expected.begin());
        for (int slot = 0; slot < kSlotCount; ++slot)
            std::copy_n(kDefaultBlock.begin(), 24, &expected[ImageOffset(slot)]);
        EncodeMenu(items, oven, image);
        EXPECT_EQ(image, expected) << oven;
    }
    image[ImageOffset(3, 5)] = 'X';
    image[ImageOffset(71, 18)] ^= 1;
    FileDataFromSystemMemory(image, kGasOven);  // damaged blocks, the sum made right again
    const ImageCheckResult result = CheckMenuImage(image);
    EXPECT_TRUE(result.sizeOk && result.sumOk() && !result.ok());
    EXPECT_EQ(result.badSlots, (std::vector<int>{3, 71}));
}

TEST(ImageCodec, RoastBlockOnlyItsOwnBytesAndMasking) {
    MenuImageBytes image;
    image.fill(0xA5);
    FileDataFromItemMemory(kRoast, image, 42);
    EXPECT_TRUE(std::equal(kRoastBlock.begin(), kRoastBlock.end(), &image[ImageOffset(42)]));
    EXPECT_EQ(Decoded(image, 42), kRoast);
    FileDataFromSystemMemory(image, kGasOven);
    EXPECT_EQ(image[kTrailingByte], 0xA5);  // carried over, not summed
    EXPECT_EQ(LittleEndian(image, 0, 4), *CalculateByteSum(image, 4, 2404));
    FileDataFromItemMemory({"[\\]^_ @9", "0600", "0200", "1759", "HIGH", "10", 0}, image, 42);
    EXPECT_EQ(LittleEndian(image, ImageOffset(42, 20), 2), 0u);  // roast off clears the hold word, whatever it held
    EXPECT_EQ(Decoded(image, 42), (MenuItemRecord{"[\\]^_ @9", "600", "160", "1759", "HIGH", "10", 0}));
    image.fill(0);  // values too wide for their fields are masked
    FileDataFromItemMemory({"ABCDEFGHIJKLMNOP", "2047", "1500", "9999", "LOW", "90", 1}, image, 1);
    const std::size_t block = ImageOffset(1);
    EXPECT_EQ(std::string(&image[block + 4], &image[block + 16]), "ABCDEFGHIJKL");
    EXPECT_EQ(LittleEndian(image, block + 16, 2), (99 * 3600 + 99 * 60) % 65536);  // the seconds, cut to 16 bits
    // 2047 cut to the temperature's 10 bits, then LOW (1) and 90 % (9) in their own bits, untouched
    EXPECT_EQ(LittleEndian(image, block + 18, 2), 1023 + 1 * 1024 + 9 * 4096);
    EXPECT_EQ(LittleEndian(image, block + 20, 4), 1 + 2 * (1500 % 1024));  // the roast flag, the hold cut to 10 bits
    const auto zeros = std::count(image.begin(), image.end(), 0);
    const auto zerosInBlock = std::count(&image[block], &image[block + 24], 0);
    EXPECT_EQ(zeros - zerosInBlock, std::ptrdiff_t(kImageSize - 24)) << "a byte outside the block was written";
}

TEST(ImageCodec, DecodeEdgeCases) {
    const std::tuple<const char*, std::string, std::vector<std::pair<int, int>>, MenuItemRecord> rows[] = {
        {"HoldWithoutFlag", "", {{20, 0x90}, {21, 0x01}}, {"", "0", "200", "0000", "OFF", "0", 0}},
        {"HoldAllTenBits", "", {{20, 0xFF}, {21, 0xFF}}, {"", "0", "1023", "0000", "OFF", "0", 1}},
        {"TwelveCharsThenSeconds", "ABCDEFGHIJKL;", {}, {"ABCDEFGHIJKL", "0", "160", "0000", "OFF", "0", 0}},
        {"ZeroEndsTheName", std::string("AB\0C", 4), {}, {"AB", "0", "160", "0000", "OFF", "0", 0}},
        {"HighBytesInName", "\xE9\xFF\x80", {}, {"\xE9\xFF\x80", "0", "160", "0000", "OFF", "0", 0}},
        {"LongestTime", "", {{16, 0xFF}, {17, 0xFF}}, {"", "0", "160", "1812", "OFF", "0", 0}},
        {"FanThreePowerFifteen", "", {{18, 0xFF}, {19, 0xFF}}, {"", "1023", "160", "0000", "", "", 0}},
        {"PowerEleven", "", {{19, 0xB4}}, {"", "0", "160", "0000", "LOW", "", 0}},
        {"ReservedIgnored", "", {{0, 255}, {3, 255}, {22, 255}, {23, 255}}, {"", "0", "160", "0000", "OFF", "0", 0}},
    };
    for (const auto& [name, nameBytes, bytes, expected] : rows) {
        MenuImageBytes image{};
        std::copy(nameBytes.begin(), nameBytes.end(), &image[ImageOffset(7, 4)]);
        for (const auto& [offset, value] : bytes) image[ImageOffset(7, std::size_t(offset))] = std::uint8_t(value);
        EXPECT_EQ(Decoded(image, 7), expected) << name;
    }
}

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <std::size_t N>
std::array<std::uint8_t, N> Pattern(std::uint8_t seed) {
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + seed);
    return bytes;
}
const MenuImageBytes kImage = Pattern<kImageSize>(2);
const auto kOldArray = Pattern<3000>(8);
const Bytes kNew(kImage.begin(), kImage.end()), kOld(kOldArray.begin(), kOldArray.end());

// A writer that takes `limit` bytes, at most 7 at a time, and then fails as a full disk does.
WriteFunction WriterFailingAfter(std::size_t limit) {
    auto written = std::make_shared<std::size_t>(0);
    return [written, limit](int fd, const void* data, std::size_t size) -> long {
        if (*written >= limit) {
            errno = ENOSPC;
            return -1;
        }
        const long result = ::write(fd, data, std::min({size, limit - *written, std::size_t{7}}));
        *written += result > 0 ? std::size_t(result) : 0;
        return result;
    };
}

class MenuStorage : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ovn-storage-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chmod(dir_.c_str(), 0711), 0);  // the user nobody may pass through to the directories it owns
        Write("OLD.ovn", kOld);
        descriptors_ = OpenDescriptors();
        oldUmask_ = umask(022);
    }
    void TearDown() override {
        umask(oldUmask_);
        EXPECT_EQ(OpenDescriptors(), descriptors_) << "a file was left open";
        EXPECT_TRUE(reports_.empty()) << reports_.front();
        fs::remove_all(dir_);
    }
    static std::ptrdiff_t OpenDescriptors() { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); }
    Texts Entries(const std::string& sub = "") const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_ / sub)) names.insert(entry.path().filename().string());
        return Texts(names.begin(), names.end());
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // A directory of the given mode and owner (its group left as made).
    std::string MakeDir(const std::string& name, mode_t mode, uid_t owner) const {
        const std::string path = Path(name);
        EXPECT_EQ(mkdir(path.c_str(), 0700), 0) << path;
        EXPECT_EQ(chown(path.c_str(), owner, gid_t(-1)), 0) << path;
        EXPECT_EQ(chmod(path.c_str(), mode), 0) << path;
        return path;
    }
    void ExpectReports(const Texts& expected) {
        EXPECT_EQ(reports_, expected);
        reports_.clear();
    }
    static std::string Report(const std::string& what, const std::string& path, int code) {
        return what + path + "\r\n" + StorageErrorCause({StorageStage::Open, code});
    }

    fs::path dir_;
    Texts reports_;
    StorageStage lastStage_ = StorageStage::Open;
    StorageErrorReporter report_ = [this](const StorageFailure& failure) {
        reports_.push_back(failure.Text());
        lastStage_ = failure.error.stage;
    };
    std::ptrdiff_t descriptors_ = 0;
    mode_t oldUmask_ = 0;
};

constexpr uid_t kNobody = 65534;

// Cases that give files to root and to nobody, save as nobody or mount: for anyone but root they skip.
using MenuStorageAsRoot = MenuStorage;

// Runs `body` in a child process that has become the user nobody; returns the
// child's exit status. A child that cannot drop its privileges fails the test.
int AsNobody(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
            setresuid(kNobody, kNobody, kNobody) != 0) {
            _exit(255);
        }
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_NE(WEXITSTATUS(status), 255) << "cannot become the user nobody: permission cases not tested";
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A save's outcome as a small number: 0 saved, else the cause (errno, or 100 less our own negative code).
int SaveOutcome(const std::string& path) {
    int outcome = 0;
    MenuSave(path, kImage,
             [&](const StorageFailure& f) { outcome = f.error.code > 0 ? f.error.code : 100 - f.error.code; });
    return outcome;
}

TEST_F(MenuStorage, GetReadsUpTo2409BytesAndZeroFillsTheRest) {
    for (std::size_t fileSize : {std::size_t{3000}, kImageSize, kImageSize - 1, std::size_t{100}, std::size_t{0}}) {
        fs::resize_file(Path("OLD.ovn"), fileSize);
        MenuImageBytes image = kImage;  // what the previous menu left
        std::uintmax_t size = 99;
        ASSERT_TRUE(MenuGet(Path("OLD.ovn"), image, report_, &size)) << fileSize;
        Bytes expected(kOld.begin(), kOld.begin() + std::ptrdiff_t(std::min(fileSize, kImageSize)));
        expected.resize(kImageSize, 0);
        EXPECT_EQ(std::pair(size, Bytes(image.begin(), image.end())), std::pair(std::uintmax_t{fileSize}, expected));
    }
    StorageError error;  // the reader keeps what it is asked to and refuses what is too large, before reading
    EXPECT_EQ(ReadFileBytes(Path("OLD.ovn"), SIZE_MAX, error)->bytes.size(), 0u);
    fs::resize_file(Path("OLD.ovn"), kReadCap + 1);
    EXPECT_EQ(ReadFileBytes(Path("OLD.ovn"), SIZE_MAX, error)->bytes.size(), kReadCap);
    EXPECT_FALSE(ReadFileBytes(Path("OLD.ovn"), 10, error, kReadCap));
    EXPECT_EQ(StorageErrorCause(error), "File too large");
    EXPECT_EQ(ReadFileBytes("/proc/self/status", 100, error)->bytes.size(), 100u);  // a size of 0 is not believed
}

TEST_F(MenuStorage, FailuresRootCannotBypassReportThePathAndTheCauseAndChangeNothing) {
    fs::create_directory(Path("DIR.ovn"));
    ASSERT_EQ(mkfifo(Path("FIFO.ovn").c_str(), 0666), 0);  // would hang a blocking open
    ASSERT_EQ(symlink("LOOP.ovn", Path("LOOP.ovn").c_str()), 0);
    const std::tuple<std::string, int, int> rows[] = {
        // name, cause of the read, cause of the save (0: not saved here)
        {"NOFILE.ovn", ENOENT, 0},
        {"DIR.ovn", EISDIR, EISDIR},
        {"FIFO.ovn", kNotRegularFile, kNotRegularFile},
        {"LOOP.ovn", ELOOP, ELOOP},
        {"OLD.ovn/M.ovn", ENOTDIR, ENOTDIR},
        {"missing/M.ovn", ENOENT, ENOENT},
        {std::string(300, 'M'), ENAMETOOLONG, ENAMETOOLONG},
    };
    for (const auto& [name, readCause, saveCause] : rows) {
        MenuImageBytes image = kImage;
        EXPECT_FALSE(MenuGet(Path(name), image, report_)) << name;
        EXPECT_EQ(image, kImage);
        ExpectReports({Report("MenuGet : ", Path(name), readCause)});
        if (saveCause == 0) continue;
        EXPECT_FALSE(MenuSave(Path(name), kImage, report_)) << name;
        ExpectReports({Report("MenuSave : ", Path(name), saveCause)});
    }
    EXPECT_FALSE(MenuSave("", kImage, report_));
    ExpectReports({Report("MenuSave : ", "", ENOENT)});
    EXPECT_EQ(Entries(), (Texts{"DIR.ovn", "FIFO.ovn", "LOOP.ovn", "OLD.ovn"}));
    EXPECT_EQ(ReadAll(Path("OLD.ovn")), kOld);
}

// The temporary file is the owner's alone while the bytes go in (and, where the
// file system allows, has no name at all); the final mode and owner come after.
TEST_F(MenuStorage, SaveReplacesWholeKeepsModeOwnerAndLinksAndSurvivesShortWrites) {
    const uid_t owner = geteuid() == 0 ? kNobody : geteuid();  // root gives the file away; others keep their own
    ASSERT_EQ(chmod(Path("OLD.ovn").c_str(), 0604), 0);
    ASSERT_EQ(chown(Path("OLD.ovn").c_str(), owner, owner), 0);
    fs::create_symlink("OLD.ovn", Path("LINK.ovn"));
    std::set<std::string> seen;  // mode, whether the saver owns it, names in the directory, at every write
    const ScopedWriteFunction observer([&, write = WriterFailingAfter(SIZE_MAX)](int fd, const void* data,
                                                                                 std::size_t size) {
        struct stat status {};
        fstat(fd, &status);
        const std::string ownedBy = status.st_uid == geteuid() ? "saver" : "other";
        seen.insert(std::to_string(status.st_mode & 07777) + " " + ownedBy + " " + std::to_string(Entries().size()));
        return write(fd, data, size);
    });
    for (const int unnamed : {0, EOPNOTSUPP}) {  // an unnamed temporary file, then a named one
        const ScopedTemporaryFileFailure failure(unnamed);
        fs::remove(Path("NEW.ovn"));
        for (const char* name : {"NEW.ovn", "LINK.ovn"}) {
            ASSERT_TRUE(MenuSave(Path(name), kImage, report_)) << name;
            EXPECT_EQ(ReadAll(Path(name)), kNew) << name;
        }
    }
    // 0600 and the saver's; no name in the directory for an unnamed file, one for a named one
    EXPECT_EQ(seen, (std::set<std::string>{"384 saver 2", "384 saver 3", "384 saver 4"}));
    struct stat saved {};
    ASSERT_EQ(stat(Path("OLD.ovn").c_str(), &saved), 0);
    EXPECT_EQ(std::tuple(saved.st_mode & 07777, saved.st_uid, saved.st_gid), std::tuple(0604u, owner, owner));
    EXPECT_EQ(fs::status(Path("NEW.ovn")).permissions(), fs::perms(0644));
    EXPECT_TRUE(fs::is_symlink(Path("LINK.ovn")));
    EXPECT_EQ(Entries(), (Texts{"LINK.ovn", "NEW.ovn", "OLD.ovn"}));
}

// The special bits of the old mode come along with the rest of it, on the new file
// (not by falling back to writing the old one in place).
TEST_F(MenuStorage, SaveKeepsTheSetgidAndStickyBitsOfTheOldMode) {
    for (const mode_t mode : {mode_t{02640}, mode_t{01640}}) {
        ASSERT_EQ(chmod(Path("OLD.ovn").c_str(), mode), 0);
        struct stat old {};
        ASSERT_EQ(stat(Path("OLD.ovn").c_str(), &old), 0);
        ASSERT_TRUE(MenuSave(Path("OLD.ovn"), kImage, report_)) << mode;
        struct stat saved {};
        ASSERT_EQ(stat(Path("OLD.ovn").c_str(), &saved), 0);
        EXPECT_EQ(saved.st_mode & 07777, mode);
        EXPECT_NE(saved.st_ino, old.st_ino) << "written in place: the new file lacked the mode";
    }
}

// The new bytes are on the disk before the rename puts them under the old name,
// and the directory holding the rename is flushed after it.
TEST_F(MenuStorage, SaveFlushesTheFileBeforeTheRenameAndTheDirectoryAfterIt) {
    Texts steps;
    const ScopedWriteFunction recordWrite([&](int fd, const void* data, std::size_t size) {
        steps.push_back("write");
        return ::write(fd, data, size);
    });
    const ScopedSyncFunction recordFlush([&](int fd) {
        struct stat status {};
        fstat(fd, &status);
        const std::string what = S_ISDIR(status.st_mode) ? "flush directory" : "flush file";
        const std::string when = ReadAll(Path("OLD.ovn")) == kNew ? " after the rename" : " before the rename";
        steps.push_back(what + when);
        return fsync(fd);
    });
    ASSERT_TRUE(MenuSave(Path("OLD.ovn"), kImage, report_));
    const Texts expected = {"write", "flush file before the rename", "flush file before the rename",
                            "flush directory after the rename"};  // the second flush: the mode and owner given
    EXPECT_EQ(steps, expected);
}

TEST_F(MenuStorage, FailingWriterLeavesTheOldFileByteIdenticalAndNoTemporaryFile) {
    for (std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{1000}, kImageSize - 1}) {
        for (const char* name : {"OLD.ovn", "NEW.ovn"}) {
            const ScopedWriteFunction full(WriterFailingAfter(limit));
            EXPECT_FALSE(MenuSave(Path(name), kImage, report_)) << limit << name;
            ExpectReports({Report("MenuSave : ", Path(name), ENOSPC)});
            EXPECT_EQ(lastStage_, StorageStage::Write);
        }
        EXPECT_EQ(ReadAll(Path("OLD.ovn")), kOld) << limit;
        EXPECT_EQ(Entries(), Texts{"OLD.ovn"}) << limit;
    }
    const ScopedWriteFunction takesNothing([](int, const void*, std::size_t) -> long { return 0; });  // no hang
    EXPECT_FALSE(MenuSave(Path("OLD.ovn"), kImage, report_));
    ExpectReports({Report("MenuSave : ", Path("OLD.ovn"), ENOSPC)});
    EXPECT_EQ(ReadAll(Path("OLD.ovn")), kOld);
}

// Writing in place only where the directory refuses a new file for permission;
// a full disk, a quota, a read-only file system fail with the old file intact.
TEST_F(MenuStorage, InPlaceOnlyWhenTheDirectoryRefusesForPermission) {
    const std::tuple<int, bool> rows[] = {{EACCES, true},  {EPERM, true},  {ENOSPC, false},
                                          {EDQUOT, false}, {EROFS, false}, {EIO, false}};
    for (const auto& [code, inPlace] : rows) {
        Write("OLD.ovn", kOld);
        const ScopedTemporaryFileFailure failure(code);
        EXPECT_EQ(MenuSave(Path("OLD.ovn"), kImage, report_), inPlace) << code;
        EXPECT_EQ(ReadAll(Path("OLD.ovn")), inPlace ? kNew : kOld) << code;  // cut to 2409 bytes in place
        ExpectReports(inPlace ? Texts{} : Texts{Report("MenuSave : ", Path("OLD.ovn"), code)});
        EXPECT_FALSE(MenuSave(Path("NEW.ovn"), kImage, report_));  // no file to write in place
        ExpectReports({Report("MenuSave : ", Path("NEW.ovn"), code)});
        EXPECT_EQ(lastStage_, StorageStage::Open);
    }
    Write("OLD.ovn", kOld);
    const ScopedTemporaryFileFailure refused(EACCES);
    const ScopedWriteFunction full(WriterFailingAfter(1000));
    EXPECT_FALSE(MenuSave(Path("OLD.ovn"), kImage, report_));
    EXPECT_EQ(fs::file_size(Path("OLD.ovn")), 3000u);  // never cut before the new bytes are all written
    ExpectReports({Report("MenuSave : ", Path("OLD.ovn"), ENOSPC) + "\r\nThe old file may be damaged."});
    EXPECT_EQ(lastStage_, StorageStage::Write);
    EXPECT_EQ(Entries(), Texts{"OLD.ovn"});
}

// An ordinary user saves exactly where an ordinary open for writing is allowed.
TEST_F(MenuStorageAsRoot, PermissionsAreTheSystemsOwnForAnOrdinaryUser) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root: files of root and of nobody, saved as nobody";
    struct Row {
        const char* name;
        mode_t dirMode;
        uid_t dirOwner;
        int fileMode;  // -1: no file
        uid_t fileOwner;
        int outcome;    // SaveOutcome
        bool replaced;  // a new inode, else written in place or untouched
    };
    const Row rows[] = {
        {"ReadOnlyFile", 0755, kNobody, 0444, kNobody, EACCES, false},
        {"OthersFileInOwnDir", 0755, kNobody, 0644, 0, EACCES, false},
        {"NewFileInOthersDir", 0755, 0, -1, 0, EACCES, false},
        {"OwnFileInOthersDir", 0755, 0, 0644, kNobody, 0, false},
        {"OthersFileInSetgidDir", 02777, 0, 0666, 0, 0, false},
        {"SharedFileInStickyDir", 01777, 0, 0666, 0, 0, false},
        {"OwnFileInStickyDir", 01777, 0, 0600, kNobody, 0, true},
        {"OwnFile", 0755, kNobody, 0600, kNobody, 0, true},
    };
    for (const Row& row : rows) {
        const std::string dir = MakeDir(row.name, row.dirMode, row.dirOwner), file = dir + "/M.ovn";
        struct stat before = {}, after = {};
        if (row.fileMode >= 0) {
            Write(std::string(row.name) + "/M.ovn", kOld);
            ASSERT_EQ(chown(file.c_str(), row.fileOwner, row.fileOwner), 0);
            ASSERT_EQ(chmod(file.c_str(), mode_t(row.fileMode)), 0);
            stat(file.c_str(), &before);
        }
        EXPECT_EQ(AsNobody([&] { return SaveOutcome(file); }), row.outcome) << row.name;
        const bool saved = row.outcome == 0;
        EXPECT_EQ(ReadAll(file), saved ? kNew : row.fileMode >= 0 ? kOld : Bytes{}) << row.name;
        EXPECT_EQ(Entries(row.name), row.fileMode >= 0 || saved ? Texts{"M.ovn"} : Texts{}) << row.name;
        if (row.fileMode < 0) continue;
        stat(file.c_str(), &after);
        EXPECT_EQ(after.st_ino != before.st_ino, row.replaced) << row.name;
        EXPECT_EQ(std::tuple(after.st_mode, after.st_uid), std::tuple(before.st_mode, before.st_uid)) << row.name;
    }
}

// In a sticky, world-writable directory a link is followed only when it is the
// saver's own or the directory owner's, whatever the kernel is set to do.
TEST_F(MenuStorageAsRoot, LinksInSharedDirectoriesFollowTheProtectedSymlinksRule) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root: links and directories of root and of nobody";
    const std::string target = MakeDir("private", 0700, 0) + "/T.ovn";
    const std::tuple<const char*, mode_t, uid_t, uid_t, bool> rows[] = {
        // name, directory mode and owner, link owner, target exists
        {"OthersLinkInSharedDir", 01777, 0, kNobody, true},
        {"OthersDanglingLinkInSharedDir", 01777, 0, kNobody, false},
        {"OwnLinkInSharedDir", 01777, 0, 0, true},
        {"DirOwnersLinkInSharedDir", 01777, kNobody, kNobody, true},
        {"OthersLinkInWritableDir", 0777, 0, kNobody, true},
        {"OthersLinkInStickyDir", 01755, 0, kNobody, true},
    };
    for (const auto& [name, dirMode, dirOwner, linkOwner, exists] : rows) {
        fs::remove(target);
        if (exists) Write("private/T.ovn", kOld);
        const std::string link = MakeDir(name, dirMode, dirOwner) + "/x.ovn";
        ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
        ASSERT_EQ(lchown(link.c_str(), linkOwner, linkOwner), 0);
        const bool stickyAndWorldWritable = (dirMode & S_ISVTX) != 0 && (dirMode & S_IWOTH) != 0;
        const bool refused = stickyAndWorldWritable && linkOwner != 0 && linkOwner != dirOwner;
        EXPECT_EQ(MenuSave(link, kImage, report_), !refused) << name;
        ExpectReports(refused ? Texts{Report("MenuSave : ", link, kLinkInSharedDir)} : Texts{});
        EXPECT_EQ(fs::exists(target) ? ReadAll(target) : Bytes{}, refused ? exists ? kOld : Bytes{} : kNew) << name;
        EXPECT_TRUE(fs::is_symlink(link)) << name;
    }
}

// Every name a temporary file gets carries the saver's process id; a save
// removes the leftovers of processes that no longer run, never a live one's.
TEST_F(MenuStorage, KilledSavesLeaveNothingAfterTheNextSave) {
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string alive = ".ovnsave-" + std::to_string(getppid()) + "-0.tmp";
    for (const std::string& name : {".ovnsave-" + std::to_string(dead) + "-7.tmp", alive}) Write(name, kOld);
    Write("OLD.ovn~", kOld);
    for (int round = 0; round < 20; ++round) {  // killed in the middle of the write
        const pid_t saver = fork();
        if (saver == 0) {
            const ScopedTemporaryFileFailure failure(round % 2 == 1 ? EOPNOTSUPP : 0);  // named ones stay behind
            const ScopedWriteFunction killed([](int, const void*, std::size_t) -> long { return raise(SIGKILL); });
            MenuSave(Path("OLD.ovn"), kImage, {});
            _exit(0);
        }
        int status = 0;
        waitpid(saver, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    ASSERT_EQ(Entries().size(), 4u);  // each save removed the one before; the last is still there
    ASSERT_TRUE(MenuSave(Path("OLD.ovn"), kImage, report_));
    EXPECT_EQ(Entries(), (Texts{alive, "OLD.ovn", "OLD.ovn~"}));  // a backup is no temporary file
    EXPECT_EQ(ReadAll(Path("OLD.ovn")), kNew);
}

// A real full file system where the test may mount one: no inode, then no block.
TEST_F(MenuStorageAsRoot, FullFileSystemFailsAndKeepsTheOldFile) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root: mounts a small tmpfs";
    const std::string mountPoint = MakeDir("small", 0755, 0);
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k,nr_inodes=3") != 0) {
            _exit(77);
        }
        const std::string old = mountPoint + "/OLD.ovn";
        const auto fill = [&](const char* name, std::size_t size) {
            std::ofstream(mountPoint + "/" + name, std::ios::binary) << std::string(size, 'x');
        };
        // The child exits with the number of the first check that fails.
        fill("OLD.ovn", 3000);  // the root, OLD.ovn and one filler take every inode
        fill("FILL", 1);
        if (SaveOutcome(old) != ENOSPC) _exit(1);
        if (ReadAll(old) != Bytes(3000, 'x')) _exit(2);
        fs::remove(mountPoint + "/FILL");
        fill("FILL", 64 * 1024);  // as many blocks as it gets
        if (SaveOutcome(old) != ENOSPC) _exit(3);
        if (ReadAll(old) != Bytes(3000, 'x')) _exit(4);
        if (Entries("small").size() != 2) _exit(5);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no tmpfs may be mounted here; the injected failures cover it";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the number of the first failed check";
}

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

// A save keeps what the old file had, whoever saves. The new file takes its
// owner, ACL and extended attributes; where it cannot (another user's file) or
// a rename would part two names of one file, the old file is written in place
// after a backup copy, which is gone once the save is done.
TEST_F(MenuStorageAsRoot, SaveKeepsAclAttributesOwnerAndLinks) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root: files of root and of nobody";
    const std::tuple<const char*, uid_t, const char*, bool, bool> rows[] = {
        // name, owner of the file, a shell command on it ($0), replaced when root saves, when nobody does
        {"AclAndAttributes", kNobody, "setfacl -m u:daemon:rw $0 && setfattr -n user.kitchen -v north $0", true, true},
        {"ColleaguesFileSharedByAcl", 0, "setfacl -m u:nobody:rw $0", true, false},
        {"SecondHardLink", kNobody, "ln $0 $0.twin", false, false},
    };
    for (const auto& [row, owner, setup, replacedByRoot, replacedByNobody] : rows) {
        for (const uid_t saver : {uid_t{0}, kNobody}) {
            const std::string name = row + std::string(saver == 0 ? "ByRoot" : "ByNobody");
            const std::string file = MakeDir(name, 0755, kNobody) + "/M.ovn";
            Write(name + "/M.ovn", kOld);
            ASSERT_EQ(chown(file.c_str(), owner, owner), 0);
            ASSERT_EQ(chmod(file.c_str(), 0640), 0);
            ASSERT_EQ(Shell("sh -c '" + std::string(setup) + "' " + file), 0) << name;
            const std::string listing = "getfacl -p " + file + "; getfattr -d -m - " + file;
            ASSERT_EQ(Shell("(" + listing + ") >" + Path("before") + " 2>&1"), 0);
            const Texts entries = Entries(name);
            struct stat before = {}, after = {};
            stat(file.c_str(), &before);
            EXPECT_EQ(saver == 0 ? SaveOutcome(file) : AsNobody([&] { return SaveOutcome(file); }), 0) << name;
            stat(file.c_str(), &after);
            Shell("(" + listing + ") >" + Path("after") + " 2>&1");
            EXPECT_EQ(ReadAll(Path("after")), ReadAll(Path("before"))) << name;
            EXPECT_EQ(after.st_ino != before.st_ino, saver == 0 ? replacedByRoot : replacedByNobody) << name;
            EXPECT_EQ(Entries(name), entries) << name;
            for (const std::string& entry : entries) EXPECT_EQ(ReadAll(dir_ / name / entry), kNew) << entry;
        }
    }
}

// The write in place begins only once the backup copy is on the disk: a failed
// backup leaves the old file as it was, a failed write in place keeps the
// backup and names it. An older backup is never overwritten.
TEST_F(MenuStorage, FailedWriteInPlaceKeepsTheBackupAndNamesIt) {
    ASSERT_EQ(link(Path("OLD.ovn").c_str(), Path("TWIN").c_str()), 0);
    Write("OLD.ovn~", kNew);
    {
        const ScopedWriteFunction fullDuringBackup(WriterFailingAfter(1000));
        EXPECT_FALSE(MenuSave(Path("OLD.ovn"), kImage, report_));
        ExpectReports({Report("MenuSave : ", Path("OLD.ovn"), ENOSPC)});
        EXPECT_EQ(ReadAll(Path("OLD.ovn")), kOld);
        EXPECT_EQ(Entries(), (Texts{"OLD.ovn", "OLD.ovn~", "TWIN"}));
    }
    const ScopedWriteFunction fullDuringWrite(WriterFailingAfter(kOld.size() + 1000));
    EXPECT_FALSE(MenuSave(Path("OLD.ovn"), kImage, report_));
    const std::string backup = BackupName(Path("OLD.ovn"), 1);
    ExpectReports({Report("MenuSave : ", Path("OLD.ovn"), ENOSPC) +
                   "\r\nThe old file may be damaged.\r\nIts copy is kept as " + backup});
    EXPECT_EQ(std::pair(ReadAll(backup), ReadAll(Path("OLD.ovn~"))), std::pair(kOld, kNew));
}

// A file system without owners or modes keeps what it has and the save goes on:
// chmod and chown answering ENOSYS, injected, then on a FAT image mounted through FUSE.
TEST_F(MenuStorage, FileSystemsWithoutOwnersOrModesKeepWhatTheyHave) {
    const std::string fat = MakeDir("fat", 0755, geteuid());
    for (const std::string& file : {Path("OLD.ovn"), Path("NEW.ovn")}) {
        const ScopedAttributeChangeFailure unsupported(ENOSYS);
        EXPECT_TRUE(MenuSave(file, kImage, report_)) << file;
        EXPECT_EQ(ReadAll(file), kNew) << file;
    }
    if (access("/dev/fuse", R_OK | W_OK) != 0) GTEST_SKIP() << "no FUSE here (/dev/fuse): only ENOSYS injected";
    ASSERT_EQ(Shell("mkfs.fat -C " + Path("fat.img") + " 1024 >/dev/null"), 0);
    if (Shell("fusefat -o rw+ " + Path("fat.img") + " " + fat + " >/dev/null") != 0)
        GTEST_SKIP() << "FUSE may not mount here: only ENOSYS injected";
    for (int save = 0; save < 2; ++save) {  // a new file, then an old one
        EXPECT_TRUE(MenuSave(fat + "/OLD.OVN", kImage, report_)) << save;
        EXPECT_EQ(ReadAll(fat + "/OLD.OVN"), kNew) << save;
    }
    EXPECT_EQ(Shell("fusermount -u " + fat), 0);
}

}  // namespace
}  // namespace ovn
