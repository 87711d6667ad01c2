// Runs ovntool in process (the ovn_cli library on string streams) in a fresh
// temporary directory, or as a process where only a process shows the fault.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/ovntool/Commands.h"

namespace ovntool_test {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Bytes = std::string;  // file contents, byte for byte
using Args = std::vector<std::string>;

struct RunResult {
    int status = -1;
    std::string out, err;
    friend bool operator==(const RunResult&, const RunResult&) = default;
    friend void PrintTo(const RunResult& r, std::ostream* os) {
        *os << ::testing::PrintToString(std::tuple(r.status, r.out, r.err));
    }
};
inline const RunResult kQuietSuccess{0, "", ""};

class ToolTest : public ::testing::Test {
public:
    static Bytes ReadBytes(const fs::path& path) {
        return Bytes(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
    }
    static void WriteBytes(const fs::path& path, const Bytes& data) { std::ofstream(path, std::ios::binary) << data; }
    static std::size_t BlockStart(int slot) { return 8 + 24 * static_cast<std::size_t>(slot); }
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ovntool-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        home_ = fs::current_path();
        fs::current_path(dir_);  // the commands see relative names as a user's shell would give them
    }
    void TearDown() override {
        fs::current_path(home_);
        fs::remove_all(dir_);
    }
    fs::path Path(const std::string& name) const { return dir_ / name; }
    std::ptrdiff_t EntryCount() const { return std::distance(fs::directory_iterator(dir_), {}); }

    static RunResult Run(const Args& args) {
        std::ostringstream out, err;
        const int status = ovntool::RunTool(args, out, err);
        return {status, out.str(), err.str()};
    }

    // Runs the built executable with `args` (no single quotes in them); stdin is empty. `shell` runs
    // first in the same shell (a ulimit); `redirect` comes after the tool's own (">/dev/full").
    RunResult RunProcess(const Args& args, const std::string& shell = "", const std::string& redirect = "") {
        std::string command = "cd '" + dir_.string() + "' && " + shell + " exec '" OVNTOOL_PATH "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        const int wstatus = std::system((command + " </dev/null >.stdout 2>.stderr " + redirect).c_str());
        const int status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
        return {status, ReadBytes(dir_ / ".stdout"), ReadBytes(dir_ / ".stderr")};
    }

    // Writes `csv` to in.csv and imports it for `oven` into `out`.
    RunResult Import(const std::string& csv, const std::string& out = "menu.ovn", const std::string& oven = "gas") {
        WriteBytes(Path("in.csv"), csv);
        return Run({"import", "in.csv", "--oven", oven, "-o", out});
    }

    fs::path dir_, home_;
};

// The whole default menu file: the system block, 100 default blocks and byte 2408.
inline Bytes DefaultMenu(bool electric) {
    Bytes image = (electric ? "\x09\xE8\0\0\0\x01\0\0"s : "\x08\xE8\0\0\0\0\0\0"s);
    for (int slot = 0; slot < 100; ++slot) image += "\x2E\xDC\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x58\x02\x45\xA9\0\0\0\0"s;
    return image + '\0';
}

inline constexpr char kHeader[] = "slot,name,cook_temp,cook_time,fan_speed,power_level,roast_n_hold,hold_temp\n";

}  // namespace ovntool_test
