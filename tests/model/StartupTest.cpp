#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <system_error>

#include "model/Startup.h"

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

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "ovn-startup-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp");
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Sets HOME for one test and puts the old value back.
class HomeVariable {
public:
    explicit HomeVariable(const char* value) {
        if (const char* old = std::getenv("HOME")) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv("HOME", value, 1);
        } else {
            unsetenv("HOME");
        }
    }
    ~HomeVariable() {
        if (old_) {
            setenv("HOME", old_->c_str(), 1);
        } else {
            unsetenv("HOME");
        }
    }

private:
    std::optional<std::string> old_;
};

std::string PasswordHome() {
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr ? entry->pw_dir : "";
}

TEST(DefaultMenuDirectory, FollowsHome) {
    const struct {
        const char* home;
        std::string expected;
    } rows[] = {{"/home/cook", "/home/cook/OVENS"},
                {"/home/cook/", "/home/cook/OVENS"},
                {"/", "/OVENS"},
                {"", PasswordHome() + "/OVENS"},
                {nullptr, PasswordHome() + "/OVENS"}};
    for (const auto& row : rows) {
        HomeVariable home(row.home);
        EXPECT_EQ(DefaultMenuDirectory(), row.expected) << (row.home ? row.home : "(unset)");
    }
}

TEST(PrepareMenuDirectory, CreatesAMissingDirectory) {
    TempDir temp;
    const fs::path ovens = temp.path() / "OVENS";
    PrepareMenuDirectory(ovens.string());
    EXPECT_TRUE(fs::is_directory(ovens));
    PrepareMenuDirectory(ovens.string());  // present now: nothing to do
    EXPECT_TRUE(fs::is_directory(ovens));
}

TEST(PrepareMenuDirectory, AnyEntryOfThatNameCountsAsPresent) {
    TempDir temp;
    const fs::path file = temp.path() / "OVENS";
    std::ofstream(file) << "not a directory";
    EXPECT_NO_THROW(PrepareMenuDirectory(file.string()));
    EXPECT_TRUE(fs::is_regular_file(file));
    const fs::path dangling = temp.path() / "LINK";
    fs::create_symlink(temp.path() / "nowhere", dangling);
    EXPECT_NO_THROW(PrepareMenuDirectory(dangling.string()));
}

struct CreateFailureRow {
    const char* name;
    std::string relativePath;  // under a temporary directory holding a plain file "FILE"
    int error;
};

class PrepareMenuDirectoryFails : public ::testing::TestWithParam<CreateFailureRow> {};

TEST_P(PrepareMenuDirectoryFails, WithThePlatformsError) {
    TempDir temp;
    std::ofstream(temp.path() / "FILE") << "x";
    const std::string path = (temp.path() / GetParam().relativePath).string();
    try {
        PrepareMenuDirectory(path);
        FAIL() << "no error for " << path;
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code().value(), GetParam().error) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, PrepareMenuDirectoryFails,
                         ::testing::Values(CreateFailureRow{"MissingParent", "missing/OVENS", ENOENT},
                                           CreateFailureRow{"ParentIsAFile", "FILE/OVENS", ENOTDIR},
                                           CreateFailureRow{"NameTooLong", std::string(300, 'O'), ENAMETOOLONG}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunStartup, RunsEveryStepInOrder) {
    std::string ran;
    std::string marker;
    int reports = 0;
    const bool ok = RunStartup(
        {{"1", [&] { ran += "1"; }}, {"2", [&] { ran += "2"; }}, {"3", [&] { ran += "3"; }}},
        [&](const std::string&) { ++reports; }, &marker);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ran, "123");
    EXPECT_EQ(marker, "3");
    EXPECT_EQ(reports, 0);
}

TEST(RunStartup, StopsAtTheFirstFailureAndReportsItOnce) {
    TempDir temp;
    std::string ran;
    std::string marker;
    std::vector<std::string> reports;
    const std::string directory = (temp.path() / "missing" / "OVENS").string();
    const bool ok = RunStartup(
        {{"1", [&] { ran += "1"; }}, {"2", [&] { PrepareMenuDirectory(directory); }}, {"3", [&] { ran += "3"; }}},
        [&](const std::string& text) { reports.push_back(text); }, &marker);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ran, "1");
    EXPECT_EQ(marker, "2");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "\r\nInitialization Error #" + std::generic_category().message(ENOENT));
}

TEST(RunStartup, DescribesOtherFailuresToo) {
    std::vector<std::string> reports;
    const auto report = [&](const std::string& text) { reports.push_back(text); };
    EXPECT_FALSE(RunStartup({{"1", [] { throw std::runtime_error("out of memory"); }}}, report));
    EXPECT_FALSE(RunStartup({{"1", [] { throw 42; }}}, report));
    EXPECT_FALSE(RunStartup({{"1", [] { throw std::runtime_error("no reporter"); }}}, {}));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], "\r\nInitialization Error #out of memory");
    EXPECT_EQ(reports[1], "\r\nInitialization Error #Unknown error");
}

}  // namespace
}  // namespace ovn
