// new, check, show and diff driven through the executable.
#include <string>

#include "ToolRunner.h"

namespace ovntool_test {
namespace {

constexpr std::size_t kSize = 2409;
std::size_t BlockStart(int slot) {
    return 8 + 24 * static_cast<std::size_t>(slot);
}

// ---- new: the golden default files -------------------------------------------------------------

struct OvenRow {
    const char* oven;
    bool electric;
};
class NewMenuTest : public ToolTest, public ::testing::WithParamInterface<OvenRow> {};

TEST_P(NewMenuTest, WritesTheGoldenDefaultFileThatChecksOk) {
    const RunResult made = Run({"new", "--oven", GetParam().oven, "-o", "menu.ovn"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, "");
    EXPECT_EQ(ReadBytes(Path("menu.ovn")), DefaultMenu(GetParam().electric));

    const RunResult checked = Run({"check", "menu.ovn"});
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.out, "menu.ovn: OK\n");
}

INSTANTIATE_TEST_SUITE_P(Ovens, NewMenuTest, ::testing::Values(OvenRow{"gas", false}, OvenRow{"electric", true}),
                         [](const auto& info) { return std::string(info.param.oven); });

// ---- check: damaged files -------------------------------------------------------------------

struct DamageRow {
    const char* name;
    void (*damage)(Bytes&);
    int status;
    const char* line;  // what check prints for the file
};
class CheckDamageTest : public ToolTest, public ::testing::WithParamInterface<DamageRow> {};

TEST_P(CheckDamageTest, ReportsEveryReasonOnOneLine) {
    Bytes image = DefaultMenu(false);
    GetParam().damage(image);
    WriteBytes(Path("f.ovn"), image);
    const RunResult r = Run({"check", "f.ovn"});
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(r.out, GetParam().line);
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, CheckDamageTest,
    ::testing::Values(
        DamageRow{"NameByteOfSlot37", [](Bytes& b) { b[BlockStart(37) + 4] ^= 0x01; }, 1,
                  "f.ovn: BAD (slot 37 (page 4 item 7) CRC wrong; byte sum stored 59400, computed 59401)\n"},
        DamageRow{"CrcByteOfSlot99", [](Bytes& b) { b[BlockStart(99)] = 0x2F; }, 1,
                  "f.ovn: BAD (slot 99 (page 10 item 9) CRC wrong; byte sum stored 59400, computed 59401)\n"},
        DamageRow{"SumByte", [](Bytes& b) { b[1] ^= 0x01; }, 1, "f.ovn: BAD (byte sum stored 59656, computed 59400)\n"},
        DamageRow{"TrailingByteIsCoveredByNoCheck", [](Bytes& b) { b[kSize - 1] = 0xA5; }, 0, "f.ovn: OK\n"},
        DamageRow{"OneByteShort", [](Bytes& b) { b.pop_back(); }, 1, "f.ovn: BAD (size 2408 bytes, not 2409)\n"},
        DamageRow{"OneByteLong", [](Bytes& b) { b.push_back(0); }, 1, "f.ovn: BAD (size 2410 bytes, not 2409)\n"},
        DamageRow{"CutInSlot99", [](Bytes& b) { b.resize(BlockStart(99) + 10); }, 1,
                  "f.ovn: BAD (size 2394 bytes, not 2409, slot 99 cut off; byte sum stored 59400, computed 59072)\n"},
        DamageRow{"CutInSlot3AndBlock1Damaged", [](Bytes& b) { b.resize(100), b[BlockStart(1) + 20] = 1; }, 1,
                  "f.ovn: BAD (size 100 bytes, not 2409, slots 3 to 99 cut off; slot 1 (page 1 item 1) CRC wrong; "
                  "byte sum stored 59400, computed 2377)\n"},
        DamageRow{"Empty", [](Bytes& b) { b.clear(); }, 1,
                  "f.ovn: BAD (size 0 bytes, not 2409, slots 0 to 99 cut off)\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolTest, CheckOfSeveralFilesPrintsEachAndTheHighestStatusWins) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "good.ovn"}).status, 0);
    WriteBytes(Path("short.ovn"), std::string(100, '\0'));
    RunResult r = Run({"check", "good.ovn", "short.ovn"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "good.ovn: OK");
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1),
              "short.ovn: BAD (size 100 bytes, not 2409, slots 3 to 99 cut off; slot 0 (page 1 item 0) CRC wrong; slot "
              "1 (page 1 item 1) CRC wrong; slot 2 (page 1 item 2) CRC wrong)\n");

    r = Run({"check", "missing.ovn", "good.ovn", "short.ovn"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "ovntool: missing.ovn: No such file or directory\n");
    EXPECT_NE(r.out.find("good.ovn: OK\n"), std::string::npos);
}

// ---- files that cannot be read or have the wrong size, for every reading command ---------------

struct UnreadableRow {
    const char* name;
    const char* path;
    const char* reason;
};
class UnreadableFileTest : public ToolTest, public ::testing::WithParamInterface<UnreadableRow> {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        fs::create_directory(Path("adir"));
        ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "plain.ovn"}).status, 0);
    }
};

TEST_P(UnreadableFileTest, EveryCommandExitsTwoWithTheReasonAndNoOutput) {
    const std::string path = GetParam().path;
    const std::vector<std::vector<std::string>> commands = {{"check", path},
                                                            {"show", path},
                                                            {"export", path},
                                                            {"export", path, "--format", "json"},
                                                            {"diff", path, "plain.ovn"},
                                                            {"diff", "plain.ovn", path}};
    for (const auto& command : commands) {
        const RunResult r = Run(command);
        EXPECT_EQ(r.status, 2) << command[0];
        EXPECT_EQ(r.out, "") << command[0];
        EXPECT_NE(r.err.find(GetParam().reason), std::string::npos) << command[0] << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists(Path("m.ovn")));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UnreadableFileTest,
    ::testing::Values(UnreadableRow{"Missing", "nothing.ovn", "nothing.ovn: No such file or directory"},
                      UnreadableRow{"Directory", "adir", "adir: Is a directory"},
                      UnreadableRow{"Device", "/dev/zero", "/dev/zero: a device, not a file"},
                      UnreadableRow{"PlainFileAsParent", "plain.ovn/x.ovn", "Not a directory"},
                      UnreadableRow{
                          "NameTooLong",
                          "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
                          "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
                          "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
                          "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.ovn",
                          "File name too long"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolTest, ShowExportAndDiffRefuseEveryOtherSize) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "good.ovn"}).status, 0);
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{2408}, std::size_t{2410},
                                   std::size_t{4096}, std::size_t{123457}}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7919 % 251);
        WriteBytes(Path("odd.ovn"), bytes);
        for (const auto& command : std::vector<std::vector<std::string>>{
                 {"show", "odd.ovn"}, {"export", "odd.ovn"}, {"diff", "good.ovn", "odd.ovn"}}) {
            const RunResult r = Run(command);
            EXPECT_EQ(r.status, 2) << command[0] << " " << size;
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, "ovntool: odd.ovn: " + std::to_string(size) + " bytes, a menu file has exactly 2409\n");
        }
    }
}

// ---- show and diff ------------------------------------------------------------------------------

// A gas menu with ROAST in slot 23 and, in slot 40, a damaged block: a name with
// an escape byte, a backslash and a Latin-1 letter, 65535 seconds, fan code 3, power code 15.
Bytes OddMenu() {
    Bytes b = DefaultMenu(false);
    const std::size_t s = BlockStart(40);
    const Bytes name = {0x1B, 'A', '\\', 0xC9, 0x9B};
    std::copy(name.begin(), name.end(), b.begin() + static_cast<long>(s + 4));
    b[s + 16] = 0xFF, b[s + 17] = 0xFF;  // cook time
    b[s + 18] = 0x58;                    // cook temperature 256 + 88
    b[s + 19] = 0xF0 | 0x0C | 0x01;      // power 15, fan 3, temp bits 9..8 = 1
    return b;
}

TEST_F(ToolTest, ShowPrintsTheTableAndEscapesWhatATerminalWouldAct) {
    WriteBytes(Path("odd.ovn"), OddMenu());
    const RunResult r = Run({"show", "odd.ovn"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("warning: odd.ovn fails its checks"), std::string::npos);
    EXPECT_EQ(r.out.rfind("Oven type: gas\n\nPage Item  Name          Cook temp", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("> Page 5\n   5    0  \\x1BA\\\\É\\x9B        344      18:12  -         -  no"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("> Page 10\n  10    0                      325      00:10  HIGH    100  no"),
              std::string::npos);
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
}

TEST_F(ToolTest, DiffOfEqualMenusIsSilentAndExitsZero) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "a.ovn"}).status, 0);
    Bytes b = ReadBytes(Path("a.ovn"));
    b[kSize - 1] = 0x33;  // byte 2408 and the checks are not what the editor shows
    b[BlockStart(3)] ^= 0xFF;
    WriteBytes(Path("b.ovn"), b);
    const RunResult r = Run({"diff", "a.ovn", "b.ovn"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(ToolTest, DiffNamesOvenTypeAndEachDifferingField) {
    ASSERT_EQ(Run({"new", "--oven", "electric", "-o", "a.ovn"}).status, 0);
    WriteBytes(Path("b.ovn"), OddMenu());
    ASSERT_EQ(Import(std::string(kHeader) + "23,roast,350,0130,LOW,80,1,160\n", "c.ovn").status, 0);
    RunResult r = Run({"diff", "a.ovn", "b.ovn"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "oven type: electric -> gas\n"
              "page 5 item 0 (slot 40): name \"\" -> \"\\x1BA\\\\É\\x9B\"; cook_temp 325 -> 344; "
              "cook_time 00:10 -> 18:12; fan_speed HIGH -> -; power_level 100 -> -\n");
    r = Run({"diff", "c.ovn", "a.ovn"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "oven type: gas -> electric\n"
              "page 3 item 3 (slot 23): name \"ROAST\" -> \"\"; cook_temp 350 -> 325; cook_time 01:30 -> 00:10; "
              "fan_speed LOW -> HIGH; power_level 80 -> 100; roast_n_hold 1 -> 0\n");
}

}  // namespace
}  // namespace ovntool_test
