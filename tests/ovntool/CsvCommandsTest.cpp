// export and import in process: golden bytes, round trips, bad input and usage errors.
#include <map>

#include "ToolRunner.h"
#include "ovn/Version.h"

namespace ovntool_test {
namespace {

const std::string kHeaderLine = kHeader;

// A CSV file of the header and `rows` (lines without their last line end).
std::string CsvWithRows(const std::string& rows) {
    return kHeaderLine + rows + "\n";
}

// The normalised export of a gas menu whose slots are default except `rows` (slot -> row text).
std::string ExpectedCsv(const std::map<int, std::string>& rows) {
    std::string csv = kHeaderLine;
    for (int slot = 0; slot < 100; ++slot)
        csv += rows.count(slot) ? rows.at(slot) : std::to_string(slot) + ",,325,0010,HIGH,100,0,160\n";
    return csv;
}

// The export imports back to the same file; byte 2408 is carried by the editor, not by the CSV.
TEST_F(ToolTest, ImportThenExportGivesTheNormalisedCsvBackAndTheFirst2408Bytes) {
    // BOM, CRLF, columns and rows out of order, leading zeros, lower case, quoted commas and quotes, a column left out.
    const std::string csv =
        "\xEF\xBB\xBFname,slot,cook_time,cook_temp,fan_speed,power_level,roast_n_hold\r\n"
        "\" a,b\",99,1800,0600,OFF,0,0\r\nroast,0,0130,350,LOW,80,1\r\n\"SAY \"\"HI\"\"\",7,0000,200,HIGH,100,0\r\n";
    ASSERT_EQ(Import(csv, "menu.ovn", "electric").status, 0);
    const Bytes original = ReadBytes(Path("menu.ovn"));  // byte 2408 is 0 in the tool's files
    WriteBytes(Path("menu.ovn"), original.substr(0, 2408) + "\x5A");
    const RunResult r = Run({"export", "menu.ovn"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, ExpectedCsv({{0, "0,ROAST,350,0130,LOW,80,1,160\n"},
                                  {7, "7,\"SAY \"\"HI\"\"\",200,0000,HIGH,100,0,160\n"},
                                  {99, "99,\" A,B\",600,1800,OFF,0,0,160\n"}}));
    WriteBytes(Path("again.csv"), r.out);
    ASSERT_EQ(Run({"import", "again.csv", "--oven", "electric", "-o", "again.ovn"}).status, 0);
    EXPECT_EQ(ReadBytes(Path("again.ovn")), original);
}

TEST_F(ToolTest, ExportKeepsEveryNameByteAsLatin1InCsvAndJson) {
    ASSERT_EQ(Run({"new", "--oven", "electric", "-o", "menu.ovn"}).status, 0);
    Bytes menu = ReadBytes(Path("menu.ovn"));
    menu.replace(8 + 4, 12, " A,\"\n\x01\xE9\x85\x7F \\\xFF");  // all 12 name bytes
    // The roast flag clear, the hold temperature 384.
    menu[8 + 20] = '\0';
    menu[8 + 21] = '\x03';
    menu.replace(8 + 24 + 4, 3, "A\rB");  // a carriage return alone needs the quotes a line feed gets
    WriteBytes(Path("menu.ovn"), menu);
    RunResult r = Run({"export", "menu.ovn"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n1,\"A\rB\",325,0010,HIGH,100,0,160\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find("\n1,")),
              kHeaderLine + "0,\" A,\"\"\n\x01\xC3\xA9\xC2\x85\x7F \\\xC3\xBF\",325,0010,HIGH,100,0,384");
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

TEST_F(ToolTest, BadCsvPrintsEveryProblemWritesNothingAndExitsOne) {
    const std::string unknown =
        "\": unknown column; the header holds " + kHeaderLine.substr(0, kHeaderLine.size() - 1) + " in any order";
    const std::string nameRule = "is not allowed (space to '_', letters are upper-cased)";
    const std::string line2 = "line 2: ";
    const std::tuple<const char*, std::string, std::string> rows[] = {
        {"Empty", "", "line 1: no header line (slot,name,cook_temp,...); the file is empty"},
        {"MissingHeader", "0,ROAST,350,0130,LOW,80,1,160\n", "line 1: \"0" + unknown},
        {"UnknownColumn", "slot,name,colour\n", "line 1: \"colour" + unknown},
        {"DuplicateColumn", "slot,name,name\n", "line 1: name: column given twice"},
        {"NoSlotColumn", "name\nROAST\n", "line 1: slot: column missing"},
        {"DuplicateSlot", CsvWithRows("5,A,350,0130,LOW,80,0,160\n05,B,350,0130,LOW,80,0,160"),
         "line 3: slot: slot 5 is already on line 2"},
        {"SlotOutOfRange", CsvWithRows("100,A,350,0130,LOW,80,0,160"),
         line2 + "slot: \"100\" is not a slot number 0 to 99"},
        {"TooFewFields", CsvWithRows("1,A,350"), line2 + "3 fields, the header has 8"},
        {"UnterminatedQuote", CsvWithRows("1,\"ROAST,350,0130,LOW,80,0,160\n2,B"),
         line2 + "a quoted field is never closed"},
        {"TextAfterQuote", CsvWithRows("1,\"A\"B,350,0130,LOW,80,0,160"),
         line2 + "text after the closing double quote of a field"},
        {"QuoteInField", CsvWithRows("1,A\"B,350,0130,LOW,80,0,160"),
         line2 + "a double quote inside an unquoted field"},
        {"LoneCarriageReturn", CsvWithRows("1,A\rB,350,0130,LOW,80,0,160"), line2 + "a carriage return outside quotes"},
        {"NotUtf8", CsvWithRows("1,\xE9T\xE9,350,0130,LOW,80,0,160"), line2 + "name: not valid UTF-8"},
        {"OverlongUtf8", CsvWithRows("1,\xC0\xAF,350,0130,LOW,80,0,160"), line2 + "name: not valid UTF-8"},
        {"BeyondLatin1", CsvWithRows("1,\xE2\x82\xAC,350,0130,LOW,80,0,160"),
         line2 + "name: character U+20AC is outside U+0000 to U+00FF"},
        {"NameTooLong", CsvWithRows("1,ABCDEFGHI,350,0130,LOW,80,0,160"), line2 + "name: 9 characters, at most 8"},
        {"NameCharacter", CsvWithRows("1,A{B,350,0130,LOW,80,0,160"), line2 + "name: character \"{\" " + nameRule},
        {"EightCharactersOneBad", CsvWithRows("1,ABCDEFG{,350,0130,LOW,80,0,160"),
         line2 + "name: character \"{\" " + nameRule},
        {"NameLatin1Letter", CsvWithRows("1,caf\xC3\xA9,350,0130,LOW,80,0,160"),
         line2 + "name: character \"\xC3\xA9\" " + nameRule},
        {"TimePast1800", CsvWithRows("1,A,350,1801,LOW,80,0,160"),
         line2 + "cook_time: \"1801\" is not a time HHMM of four digits up to 1800"},
        {"TimeHours", CsvWithRows("1,A,350,1900,LOW,80,0,160"), line2 + "cook_time: \"1900\": hours must be 00 to 18"},
        {"TimeMinutes", CsvWithRows("1,A,350,0060,LOW,80,0,160"),
         line2 + "cook_time: \"0060\": minutes must be 00 to 59"},
        {"PowerNotInList", CsvWithRows("1,A,350,0130,LOW,55,0,160"),
         line2 + "power_level: \"55\" is not 0, 10, 20, ... or 100"},
        {"HoldTempWithRoast", CsvWithRows("1,A,350,0130,LOW,80,1,99"),
         line2 + "hold_temp: \"99\" is not a whole number 100 to 200 (roast_n_hold is 1)"},
        {"EveryRowsProblems",
         CsvWithRows("1,A,350,0130,LOW,80,0,160\n2,\"A\nB\",350,0130,LOW,80,0,160\n3,A,199,0130,LOW,80,0,160"),
         "line 3: name: character \"\\x0A\" " + nameRule +
             "\nline 5: cook_temp: \"199\" is not a whole number 200 to 500 (gas oven)\n"
             "ovntool: in.csv: 2 problem(s); menu.ovn not written"},
    };
    WriteBytes(Path("menu.ovn"), "old contents"s);
    for (const auto& [name, csv, problem] : rows) {
        const RunResult r = Import(csv);
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_NE(r.err.find(problem + "\n"), std::string::npos) << name << ": " << r.err;
        EXPECT_EQ(ReadBytes(Path("menu.ovn")), "old contents") << name;
        EXPECT_EQ(EntryCount(), 2) << name << ": a temporary file was left";
    }
    const std::string huge(10 * 1024 * 1024, 'A');  // ten-megabyte lines get short messages
    RunResult r = Import(CsvWithRows("1," + huge + ",350,0130,LOW,80,0,160"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 2: name: 10485760 characters, at most 8\n"), std::string::npos);
    EXPECT_LT(r.err.size(), 400u);
    r = Import(huge);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("line 1: \"" + huge.substr(0, 40) + "\"... (10485760 bytes): unknown column", 0), 0u);
    EXPECT_LT(r.err.size(), 400u);
    EXPECT_EQ(ReadBytes(Path("menu.ovn")), "old contents");
}

TEST_F(ToolTest, ImportAcceptsWhatTheRulesAllowForTheOven) {
    const std::string csv = CsvWithRows("0,,600,1800,OFF,0,1,100\n1,@[\\]^_ 9,200,0000,HIGH,100,0,abc");
    EXPECT_EQ(Import(csv, "menu.ovn", "electric").status, 0);
    const RunResult gas = Import(csv, "gas.ovn", "gas");
    EXPECT_EQ(gas.status, 1);
    EXPECT_EQ(gas.err.substr(0, gas.err.find('\n')),
              "line 2: cook_temp: \"600\" is not a whole number 200 to 500 (gas oven)");
}

// Every cause a save can have is the menu file tests' to check; here both commands pass one on.
TEST_F(ToolTest, UnwritableOutputExitsTwoAndLeavesNothingBehind) {
    WriteBytes(Path("in.csv"), CsvWithRows("1,A,350,0130,LOW,80,0,160"));
    for (const Args& command : {Args{"new", "--oven", "gas", "-o", "missing/m.ovn"},
                                Args{"import", "in.csv", "--oven", "gas", "-o", "missing/m.ovn"}}) {
        const RunResult r = Run(command);
        EXPECT_EQ(r.status, 2) << command[0];
        EXPECT_EQ(r.err, "ovntool: cannot write the menu file: MenuSave : missing/m.ovn (No such file or directory)\n");
    }
    EXPECT_EQ(EntryCount(), 1) << "no temporary file left, no directory made";
}

TEST_F(ToolTest, UsageErrorsExitTwoWithAHint) {
    const std::pair<Args, std::string> rows[] = {
        {{}, "no command given"},
        {{"list"}, "unknown command 'list'"},
        {{"check"}, "check needs at least one FILE"},
        {{"export", "a", "--format", "xml"}, "--format must be csv, json or xlsx"},
        {{"new", "--oven", "wood", "-o", "m.ovn"}, "--oven must be gas or electric, not 'wood'"},
        {{"new", "--oven", "gas"}, "-o OUTFILE is required"},
        {{"import", "--oven", "gas", "-o", "m.ovn"}, "import needs exactly one CSVFILE or XLSXFILE"},
        {{"export", "menu.ovn", "--format", "xlsx"}, "--format xlsx needs -o OUTFILE"},
    };
    for (const auto& [args, message] : rows) {
        EXPECT_EQ(Run(args), (RunResult{2, "", "ovntool: " + message + "\nTry 'ovntool --help'.\n"}));
    }
    RunResult r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage:\n  ovntool check FILE...\n", 0), 0u);
    r = Run({"--version"});
    EXPECT_EQ(std::pair(r.status, r.out), std::pair(0, std::string("ovntool ") + ovn::kVersion + "\n"));
}

}  // namespace
}  // namespace ovntool_test
