// export and import driven through the executable: golden bytes, round trips,
// bad input and usage errors.
#include <map>
#include <string>

#include "ToolRunner.h"

namespace ovntool_test {
namespace {

std::string DefaultRow(int slot) {
    return std::to_string(slot) + ",,325,0010,HIGH,100,0,160\n";
}

// The normalised export of a gas menu whose slots are default except `rows` (slot -> row text).
std::string ExpectedCsv(const std::map<int, std::string>& rows) {
    std::string csv = kHeader;
    for (int slot = 0; slot < 100; ++slot) csv += rows.count(slot) ? rows.at(slot) : DefaultRow(slot);
    return csv;
}

TEST_F(ToolTest, ImportedRoastMenuHasItsKnownBytes) {
    const RunResult r = Import(std::string(kHeader) + "23,roast,350,0130,LOW,80,1,160\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    Bytes expected = DefaultMenu(false);
    const Bytes roast = {0xDB, 0x6E, 0, 0, 0x52, 0x4F, 0x41, 0x53, 0x54, 0,    0, 0,
                         0,    0,    0, 0, 0x18, 0x15, 0x5E, 0x85, 0x41, 0x01, 0, 0};
    std::copy(roast.begin(), roast.end(), expected.begin() + 8 + 24 * 23);
    expected[0] = 0xDA, expected[1] = 0xE9;  // 99 * 594 + 1060 = 59866
    EXPECT_EQ(ReadBytes(Path("menu.ovn")), expected);
    EXPECT_EQ(Run({"check", "menu.ovn"}).out, "menu.ovn: OK\n");
}

TEST_F(ToolTest, ImportThenExportGivesTheNormalisedCsvBack) {
    // BOM, CRLF, columns and rows out of order, leading zeros, lower case, a quoted comma, a column left out.
    const std::string csv =
        "\xEF\xBB\xBFname,slot,cook_time,cook_temp,fan_speed,power_level,roast_n_hold\r\n"
        "\" a,b\",99,1800,0600,OFF,0,0\r\n"
        "roast,0,0130,350,LOW,80,1\r\n"
        "\"SAY \"\"HI\"\"\",7,0000,200,HIGH,100,0\r\n";
    ASSERT_EQ(Import(csv, "menu.ovn", "electric").status, 0);
    const RunResult r = Run({"export", "menu.ovn"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, ExpectedCsv({{0, "0,ROAST,350,0130,LOW,80,1,160\n"},
                                  {7, "7,\"SAY \"\"HI\"\"\",200,0000,HIGH,100,0,160\n"},
                                  {99, "99,\" A,B\",600,1800,OFF,0,0,160\n"}}));

    // ...and that export imports to the same file, which exports the same text again.
    WriteBytes(Path("again.csv"), r.out);
    ASSERT_EQ(Run({"import", "again.csv", "--oven", "electric", "-o", "again.ovn"}).status, 0);
    EXPECT_EQ(ReadBytes(Path("again.ovn")), ReadBytes(Path("menu.ovn")));
}

TEST_F(ToolTest, ExportThenImportReproducesTheFirst2408Bytes) {
    ASSERT_EQ(Import(std::string(kHeader) + "5,BAKE,450,0045,LOW,40,1,200\n61,,500,1800,OFF,0,0,160\n").status, 0);
    Bytes original = ReadBytes(Path("menu.ovn"));
    original[2408] = 0x5A;  // carried by the editor, not by the CSV
    WriteBytes(Path("menu.ovn"), original);
    const RunResult exported = Run({"export", "menu.ovn"});
    ASSERT_EQ(exported.status, 0);
    WriteBytes(Path("menu.csv"), exported.out);
    ASSERT_EQ(Run({"import", "menu.csv", "--oven", "gas", "-o", "copy.ovn"}).status, 0);
    Bytes copy = ReadBytes(Path("copy.ovn"));
    EXPECT_EQ(copy[2408], 0);
    copy[2408] = 0x5A;
    EXPECT_EQ(copy, original);
}

TEST_F(ToolTest, ExportKeepsEveryNameByteAsLatin1InCsvAndJson) {
    ASSERT_EQ(Run({"new", "--oven", "electric", "-o", "menu.ovn"}).status, 0);
    Bytes b = ReadBytes(Path("menu.ovn"));
    const Bytes name = {' ', 'A', ',', '"', '\n', 0x01, 0xE9, 0x85, 0x7F, ' ', '\\', 0xFF};  // all 12 bytes
    std::copy(name.begin(), name.end(), b.begin() + 8 + 4);
    b[8 + 20] = 0x00, b[8 + 21] = 0x03;  // flag clear, hold temperature 384
    WriteBytes(Path("menu.ovn"), b);

    RunResult r = Run({"export", "menu.ovn"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("warning"), std::string::npos);
    EXPECT_EQ(r.out.substr(0, r.out.find("\n1,")),
              std::string(kHeader) + "0,\" A,\"\"\n\x01\xC3\xA9\xC2\x85\x7F \\\xC3\xBF\",325,0010,HIGH,100,0,384");

    r = Run({"export", "menu.ovn", "--format", "json"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out.substr(0, r.out.find("},\n") + 3),
        "{\n  \"oven_type\": \"electric\",\n  \"items\": [\n"
        "    {\"slot\": 0, \"name\": \" A,\\\"\\n\\u0001\xC3\xA9\\u0085\\u007F \\\\\xC3\xBF\", \"cook_temp\": \"325\", "
        "\"cook_time\": \"0010\", \"fan_speed\": \"HIGH\", \"power_level\": \"100\", \"roast_n_hold\": 0, "
        "\"hold_temp\": \"384\"},\n");
    EXPECT_NE(r.out.find("{\"slot\": 99,"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 8), "}\n  ]\n}\n");
}

// ---- import: bad input ------------------------------------------------------------------------

struct BadCsvRow {
    const char* name;
    std::string csv;
    std::string problem;  // a line standard error must hold
};
class BadCsvTest : public ToolTest, public ::testing::WithParamInterface<BadCsvRow> {};

TEST_P(BadCsvTest, PrintsTheProblemWritesNothingAndExitsOne) {
    WriteBytes(Path("menu.ovn"), std::string("old contents"));
    const RunResult r = Import(GetParam().csv);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().problem + "\n"), std::string::npos) << r.err;
    EXPECT_EQ(ReadText(Path("menu.ovn")), "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);  // no temporary left
}

const std::string H = kHeader;
INSTANTIATE_TEST_SUITE_P(
    Inputs, BadCsvTest,
    ::testing::Values(
        BadCsvRow{"Empty", "", "line 1: no header line (slot,name,cook_temp,...); the file is empty"},
        BadCsvRow{"MissingHeader", "0,ROAST,350,0130,LOW,80,1,160\n",
                  "line 1: \"0\": unknown column; the header holds slot,name,cook_temp,cook_time,fan_speed,"
                  "power_level,roast_n_hold,hold_temp in any order"},
        BadCsvRow{"UnknownColumn", "slot,name,colour\n",
                  "line 1: \"colour\": unknown column; the header holds "
                  "slot,name,cook_temp,cook_time,fan_speed,power_level,"
                  "roast_n_hold,hold_temp in any order"},
        BadCsvRow{"DuplicateColumn", "slot,name,name\n", "line 1: name: column given twice"},
        BadCsvRow{"NoSlotColumn", "name\nROAST\n", "line 1: slot: column missing"},
        BadCsvRow{"DuplicateSlot", H + "5,A,350,0130,LOW,80,0,160\n" + "05,B,350,0130,LOW,80,0,160\n",
                  "line 3: slot: slot 5 is already on line 2"},
        BadCsvRow{"SlotOutOfRange", H + "100,A,350,0130,LOW,80,0,160\n",
                  "line 2: slot: \"100\" is not a slot number 0 to 99"},
        BadCsvRow{"TooFewFields", H + "1,A,350\n", "line 2: 3 fields, the header has 8"},
        BadCsvRow{"UnterminatedQuote", H + "1,\"ROAST,350,0130,LOW,80,0,160\n2,B\n",
                  "line 2: a quoted field is never closed"},
        BadCsvRow{"TextAfterClosingQuote", H + "1,\"A\"B,350,0130,LOW,80,0,160\n",
                  "line 2: text after the closing double quote of a field"},
        BadCsvRow{"QuoteInUnquotedField", H + "1,A\"B,350,0130,LOW,80,0,160\n",
                  "line 2: a double quote inside an unquoted field"},
        BadCsvRow{"LoneCarriageReturn", H + "1,A\rB,350,0130,LOW,80,0,160\n",
                  "line 2: a carriage return outside quotes"},
        BadCsvRow{"NotUtf8", H + "1,\xE9T\xE9,350,0130,LOW,80,0,160\n", "line 2: name: not valid UTF-8"},
        BadCsvRow{"OverlongUtf8", H + "1,\xC0\xAF,350,0130,LOW,80,0,160\n", "line 2: name: not valid UTF-8"},
        BadCsvRow{"BeyondLatin1", H + "1,\xE2\x82\xAC,350,0130,LOW,80,0,160\n",
                  "line 2: name: character U+20AC is outside U+0000 to U+00FF"},
        BadCsvRow{"NameTooLong", H + "1,ABCDEFGHI,350,0130,LOW,80,0,160\n", "line 2: name: 9 characters, at most 8"},
        BadCsvRow{"NameCharacter", H + "1,A{B,350,0130,LOW,80,0,160\n",
                  "line 2: name: character \"{\" is not allowed (space to '_', letters are upper-cased)"},
        BadCsvRow{"NameLatin1Letter", H + "1,caf\xC3\xA9,350,0130,LOW,80,0,160\n",
                  "line 2: name: character \"\xC3\xA9\" is not allowed (space to '_', letters are upper-cased)"},
        BadCsvRow{"CookTempAboveGas", H + "1,A,501,0130,LOW,80,0,160\n",
                  "line 2: cook_temp: \"501\" is not a whole number 200 to 500 (gas oven)"},
        BadCsvRow{"TimePast1800", H + "1,A,350,1801,LOW,80,0,160\n",
                  "line 2: cook_time: \"1801\" is not a time HHMM of four digits up to 1800"},
        BadCsvRow{"TimeHours", H + "1,A,350,1900,LOW,80,0,160\n",
                  "line 2: cook_time: \"1900\": hours must be 00 to 18"},
        BadCsvRow{"TimeMinutes", H + "1,A,350,0060,LOW,80,0,160\n",
                  "line 2: cook_time: \"0060\": minutes must be 00 to 59"},
        BadCsvRow{"FanLowerCase", H + "1,A,350,0130,low,80,0,160\n",
                  "line 2: fan_speed: \"low\" is not OFF, LOW or HIGH"},
        BadCsvRow{"PowerNotInList", H + "1,A,350,0130,LOW,55,0,160\n",
                  "line 2: power_level: \"55\" is not 0, 10, 20, ... or 100"},
        BadCsvRow{"RoastFlag", H + "1,A,350,0130,LOW,80,2,160\n", "line 2: roast_n_hold: \"2\" is not 0 or 1"},
        BadCsvRow{"HoldTempWithRoast", H + "1,A,350,0130,LOW,80,1,99\n",
                  "line 2: hold_temp: \"99\" is not a whole number 100 to 200 (roast_n_hold is 1)"},
        BadCsvRow{
            "ProblemsOfEveryRowAreAllPrinted",
            H + "1,A,350,0130,LOW,80,0,160\n" + "2,\"A\nB\",350,0130,LOW,80,0,160\n" + "3,A,199,0130,LOW,80,0,160\n",
            "line 3: name: character \"\\x0A\" is not allowed (space to '_', letters are upper-cased)\n"
            "line 5: cook_temp: \"199\" is not a whole number 200 to 500 (gas oven)\n"
            "ovntool: in.csv: 2 problem(s); menu.ovn not written"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolTest, ImportAcceptsWhatTheRulesAllowForTheOven) {
    const std::string csv = H + "0,,600,1800,OFF,0,1,100\n" + "1,@[\\]^_ 9,200,0000,HIGH,100,0,abc\n";
    EXPECT_EQ(Import(csv, "menu.ovn", "electric").status, 0);
    const RunResult gas = Import(csv, "gas.ovn", "gas");
    EXPECT_EQ(gas.status, 1);
    EXPECT_EQ(gas.err.substr(0, gas.err.find('\n')),
              "line 2: cook_temp: \"600\" is not a whole number 200 to 500 (gas oven)");
}

TEST_F(ToolTest, TenMegabyteLinesAreRefusedWithShortMessages) {
    const std::string huge(10 * 1024 * 1024, 'A');
    RunResult r = Import(H + "1," + huge + ",350,0130,LOW,80,0,160\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 2: name: 10485760 characters, at most 8\n"), std::string::npos);
    EXPECT_LT(r.err.size(), 400u);
    r = Import(huge);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err.rfind("line 1: \"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\"... (10485760 bytes): unknown column", 0), 0u);
    EXPECT_LT(r.err.size(), 400u);
    EXPECT_FALSE(fs::exists(Path("menu.ovn")));
}

// ---- output files that cannot be written ----------------------------------------------------------

TEST_F(ToolTest, UnwritableOutputExitsTwoAndLeavesNothingBehind) {
    fs::create_directory(Path("adir"));
    WriteBytes(Path("plain"), std::string("keep"));
    WriteBytes(Path("in.csv"), H + "1,A,350,0130,LOW,80,0,160\n");
    const std::vector<std::pair<std::string, std::string>> outputs = {
        {"adir", "adir is a directory"},
        {"missing/m.ovn", "there is no directory missing"},
        {"plain/m.ovn", "plain is not a directory"}};
    for (const auto& [out, cause] : outputs) {
        for (const auto& command : std::vector<std::vector<std::string>>{
                 {"new", "--oven", "gas", "-o", out}, {"import", "in.csv", "--oven", "gas", "-o", out}}) {
            const RunResult r = Run(command);
            EXPECT_EQ(r.status, 2) << command[0] << " " << out;
            EXPECT_EQ(r.err, "ovntool: cannot write the menu file: MenuSave : " + out + " (" + cause + ")\n");
        }
    }
    EXPECT_TRUE(fs::is_empty(Path("adir")));
    EXPECT_EQ(ReadText(Path("plain")), "keep");
    EXPECT_FALSE(fs::exists(Path("missing")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 5);  // no temporary left
}

// ---- usage --------------------------------------------------------------------------------------

struct UsageRow {
    const char* name;
    std::vector<std::string> args;
    std::string message;
};
class UsageTest : public ToolTest, public ::testing::WithParamInterface<UsageRow> {};

TEST_P(UsageTest, ExitsTwoWithAHint) {
    const RunResult r = Run(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "ovntool: " + GetParam().message + "\nTry 'ovntool --help'.\n");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageTest,
    ::testing::Values(
        UsageRow{"Nothing", {}, "no command given"}, UsageRow{"UnknownCommand", {"list"}, "unknown command 'list'"},
        UsageRow{"CheckWithoutFile", {"check"}, "check needs at least one FILE"},
        UsageRow{"ShowTwoFiles", {"show", "a", "b"}, "show needs exactly one FILE"},
        UsageRow{"ExportFormat", {"export", "a", "--format", "xml"}, "--format must be csv or json"},
        UsageRow{"NewWithoutOven", {"new", "-o", "m.ovn"}, "--oven gas|electric is required"},
        UsageRow{"NewOvenWood", {"new", "--oven", "wood", "-o", "m.ovn"}, "--oven must be gas or electric, not 'wood'"},
        UsageRow{"NewWithoutOutput", {"new", "--oven", "gas"}, "-o OUTFILE is required"},
        UsageRow{"ImportWithoutCsv", {"import", "--oven", "gas", "-o", "m.ovn"}, "import needs exactly one CSVFILE"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolTest, HelpAndVersion) {
    RunResult r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage:\n  ovntool check FILE...\n", 0), 0u);
    r = Run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ovntool 0.42\n");
}

}  // namespace
}  // namespace ovntool_test
