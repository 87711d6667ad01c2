// new, check, show and diff in process.
#include "ToolRunner.h"

namespace ovntool_test {
namespace {

TEST_F(ToolTest, NewWritesTheGoldenDefaultFilesThatCheckOk) {
    for (const bool electric : {false, true}) {
        EXPECT_EQ(Run({"new", "--oven", electric ? "electric" : "gas", "-o", "menu.ovn"}), kQuietSuccess);
        EXPECT_EQ(ReadBytes(Path("menu.ovn")), DefaultMenu(electric)) << electric;
        EXPECT_EQ(Run({"check", "menu.ovn"}), (RunResult{0, "menu.ovn: OK\n", ""}));
    }
}

TEST_F(ToolTest, CheckReportsEveryReasonOnOneLine) {
    const std::string sum = "byte sum stored 59400, computed ";
    const std::tuple<const char*, void (*)(Bytes&), int, std::string> rows[] = {
        // name, damage, status, line
        {"CrcByteOfSlot99", [](Bytes& menu) { menu[BlockStart(99)] = '\x2F'; }, 1,
         "BAD (slot 99 (page 10 item 9) CRC wrong; " + sum + "59401)"},
        {"SumByte", [](Bytes& menu) { menu[1] ^= 0x01; }, 1, "BAD (byte sum stored 59656, computed 59400)"},
        {"TrailingByteIsCoveredByNoCheck", [](Bytes& menu) { menu[2408] = '\xA5'; }, 0, "OK"},
        {"OneByteShort", [](Bytes& menu) { menu.pop_back(); }, 1, "BAD (size 2408 bytes, not 2409)"},
        {"OneByteLong", [](Bytes& menu) { menu.push_back(0); }, 1, "BAD (size 2410 bytes, not 2409)"},
        {"CutInSlot99", [](Bytes& menu) { menu.resize(BlockStart(99) + 10); }, 1,
         "BAD (size 2394 bytes, not 2409, slot 99 cut off; " + sum + "59072)"},
        {"CutInSlot3AndBlock1Damaged",
         [](Bytes& menu) {
             menu.resize(100);
             menu[BlockStart(1) + 20] = 1;
         },
         1, "BAD (size 100 bytes, not 2409, slots 3 to 99 cut off; slot 1 (page 1 item 1) CRC wrong; " + sum + "2377)"},
        {"Empty", [](Bytes& menu) { menu.clear(); }, 1, "BAD (size 0 bytes, not 2409, slots 0 to 99 cut off)"},
    };
    for (const auto& [name, damage, status, line] : rows) {
        Bytes image = DefaultMenu(false);
        damage(image);
        WriteBytes(Path("f.ovn"), image);
        EXPECT_EQ(Run({"check", "f.ovn"}), (RunResult{status, "f.ovn: " + line + "\n", ""})) << name;
    }
}

TEST_F(ToolTest, CheckOfSeveralFilesPrintsEachAndTheHighestStatusWins) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "good.ovn"}).status, 0);
    WriteBytes(Path("short.ovn"), std::string(100, '\0'));
    RunResult r = Run({"check", "good.ovn", "short.ovn"});
    EXPECT_EQ(std::pair(r.status, r.out.substr(0, 29)), std::pair(1, "good.ovn: OK\nshort.ovn: BAD ("s));
    r = Run({"check", "missing.ovn", "good.ovn", "short.ovn"});
    EXPECT_EQ(std::tuple(r.status, r.err), std::tuple(2, "ovntool: missing.ovn: No such file or directory\n"s));
    EXPECT_NE(r.out.find("good.ovn: OK\n"), std::string::npos);
}

// Every cause a read can have is the menu file tests' to check; here each command passes one on.
TEST_F(ToolTest, UnreadableFilesMakeEveryCommandExitTwoWithTheReasonAndNoOutput) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);  // no writer: a blocking read would wait for ever
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "plain.ovn"}).status, 0);
    const std::pair<std::string, std::string> rows[] = {
        // path, reason
        {"nothing.ovn", "nothing.ovn: No such file or directory"},
        {"fifo", "fifo: not a regular file"},
    };
    for (const auto& [path, reason] : rows) {
        for (const Args& command :
             {Args{"check", path}, Args{"show", path}, Args{"export", path}, Args{"export", path, "--format", "json"},
              Args{"diff", path, "plain.ovn"}, Args{"diff", "plain.ovn", path}}) {
            const RunResult r = Run(command);
            EXPECT_EQ(std::pair(r.status, r.out), std::pair(2, std::string())) << command[0] << " " << reason;
            EXPECT_NE(r.err.find(reason), std::string::npos) << command[0] << ": " << r.err;
        }
    }
}

TEST_F(ToolTest, ShowExportAndDiffRefuseEveryOtherSize) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "good.ovn"}).status, 0);
    for (const std::size_t size : {0, 1, 2408, 2410, 4096, 123457}) {
        WriteBytes(Path("odd.ovn"), (DefaultMenu(false) + std::string(size, '\xC3')).substr(0, size));
        const std::string err = "ovntool: odd.ovn: " + std::to_string(size) + " bytes, a menu file has exactly 2409\n";
        for (const Args& command :
             {Args{"show", "odd.ovn"}, Args{"export", "odd.ovn"}, Args{"diff", "good.ovn", "odd.ovn"}}) {
            EXPECT_EQ(Run(command), (RunResult{2, "", err})) << command[0] << " " << size;
        }
    }
}

// A gas menu whose slot 40 holds a name with an escape byte, a backslash and a Latin-1 letter, 65535 seconds,
// cook temperature 344, fan code 3 and power code 15.
Bytes OddMenu() {
    return DefaultMenu(false).replace(ToolTest::BlockStart(40) + 4, 16,
                                      "\x1B"
                                      "A\\\xC9\x9B\0\0\0\0\0\0\0\xFF\xFF\x58\xFD"s);
}

TEST_F(ToolTest, ShowPrintsTheTableAndEscapesWhatATerminalWouldAct) {
    WriteBytes(Path("odd.ovn"), OddMenu());
    const RunResult r = Run({"show", "odd.ovn"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Oven type: gas\n\nPage Item  Name          Cook temp", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("> Page 5\n   5    0  \\x1BA\\\\É\\x9B        344      18:12  -         -  no"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("> Page 10\n  10    0                      325      00:10  HIGH    100  no"),
              std::string::npos);
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
}

TEST_F(ToolTest, DiffIsSilentForEqualMenusAndNamesEachDifferingField) {
    ASSERT_EQ(Run({"new", "--oven", "electric", "-o", "a.ovn"}).status, 0);
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "gas.ovn"}).status, 0);
    Bytes same = ReadBytes(Path("a.ovn"));
    same[2408] = 0x33;  // byte 2408 and the checks are not what the editor shows
    same[BlockStart(3)] ^= 0xFF;
    WriteBytes(Path("same.ovn"), same);
    WriteBytes(Path("b.ovn"), OddMenu());
    ASSERT_EQ(Import(std::string(kHeader) + "23,roast,350,0130,LOW,80,1,160\n", "c.ovn").status, 0);
    const std::tuple<const char*, const char*, std::string> rows[] = {
        {"a.ovn", "same.ovn", ""},
        {"gas.ovn", "a.ovn", "oven type: gas -> electric\n"},  // every item alike: the menus still differ
        {"a.ovn", "b.ovn",
         "oven type: electric -> gas\npage 5 item 0 (slot 40): name \"\" -> \"\\x1BA\\\\É\\x9B\"; cook_temp 325 -> "
         "344; "
         "cook_time 00:10 -> 18:12; fan_speed HIGH -> -; power_level 100 -> -\n"},
        {"c.ovn", "a.ovn",
         "oven type: gas -> electric\npage 3 item 3 (slot 23): name \"ROAST\" -> \"\"; cook_temp 350 -> 325; "
         "cook_time 01:30 -> 00:10; fan_speed LOW -> HIGH; power_level 80 -> 100; roast_n_hold 1 -> 0\n"},
    };
    for (const auto& [one, two, out] : rows) {
        const RunResult r = Run({"diff", one, two});
        EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(out.empty() ? 0 : 1, out)) << one << " " << two;
    }
}

}  // namespace
}  // namespace ovntool_test
