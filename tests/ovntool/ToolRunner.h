// Runs the built ovntool in a fresh temporary directory and captures what it prints.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace ovntool_test {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Args = std::vector<std::string>;

struct RunResult {
    int status = -1;
    std::string out, err;
};

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline Bytes ReadBytes(const fs::path& path) {
    const std::string text = ReadText(path);
    return Bytes(text.begin(), text.end());
}
inline void WriteBytes(const fs::path& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}
inline void WriteBytes(const fs::path& path, const Bytes& data) {
    WriteBytes(path, std::string(data.begin(), data.end()));
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ovntool-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path Path(const std::string& name) const { return dir_ / name; }
    std::ptrdiff_t EntryCount() const { return std::distance(fs::directory_iterator(dir_), {}); }

    // Runs ovntool with `args` in the temporary directory; stdin is empty.
    RunResult Run(const Args& args) {
        const fs::path outFile = dir_ / ".stdout", errFile = dir_ / ".stderr";
        Args argvText = {OVNTOOL_PATH};
        argvText.insert(argvText.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argvText) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addchdir_np(&actions, dir_.c_str());
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << OVNTOOL_PATH;
            return {};
        }
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        const int status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
        return {status, ReadText(outFile), ReadText(errFile)};
    }

    // Writes `csv` to in.csv and imports it for `oven` into `out`.
    RunResult Import(const std::string& csv, const std::string& out = "menu.ovn", const std::string& oven = "gas") {
        WriteBytes(Path("in.csv"), csv);
        return Run({"import", "in.csv", "--oven", oven, "-o", out});
    }

    fs::path dir_;
};

// The whole default menu file: the system block, 100 default blocks and byte 2408.
inline Bytes DefaultMenu(bool electric) {
    Bytes image = {std::uint8_t(electric ? 0x09 : 0x08), 0xE8, 0, 0, 0, electric, 0, 0};
    const Bytes block = {0x2E, 0xDC, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x58, 0x02, 0x45, 0xA9, 0, 0, 0, 0};
    for (int slot = 0; slot < 100; ++slot) image.insert(image.end(), block.begin(), block.end());
    image.push_back(0);
    return image;
}

inline constexpr char kHeader[] = "slot,name,cook_temp,cook_time,fan_speed,power_level,roast_n_hold,hold_temp\n";
inline std::size_t BlockStart(int slot) {
    return 8 + 24 * static_cast<std::size_t>(slot);
}

}  // namespace ovntool_test
