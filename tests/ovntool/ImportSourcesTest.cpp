// Workbooks and text files as other programs write them (tests/ovntool/import/,
// made by scripts/make-import-fixtures.sh), "-" for standard input and output,
// and an output that is the input.
#include "ToolRunner.h"

namespace ovntool_test {
namespace {

const fs::path kFixtures = OVN_IMPORT_FIXTURES;
const fs::path kSpreadsheetFixtures = OVN_SPREADSHEET_FIXTURES;

class ImportSources : public ToolTest {
public:
    RunResult ImportFixture(const std::string& name, const Args& more = {}) {
        Args args = {"import", (kFixtures / name).string(), "--oven", "gas", "-o", "menu.ovn"};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    }
    // The name in slot 1 of menu.ovn.
    std::string SlotOneName() {
        const std::string csv = Run({"export", "menu.ovn"}).out;
        const std::size_t row = csv.find("\n1,") + 3;
        return csv.substr(row, csv.find(',', row) - row);
    }
    // The problem lines of a refused import, without its last line.
    static std::string Problems(const RunResult& result) { return result.err.substr(0, result.err.rfind("ovntool: ")); }
};

TEST_F(ImportSources, TheSheetIsChosenAsAPersonWould) {
    // A hidden copy placed first is not read; the sheet named "Menu" is.
    EXPECT_EQ(ImportFixture("openpyxl-hidden-copy-first.xlsx"), kQuietSuccess);
    EXPECT_EQ(SlotOneName(), "NEW");
    EXPECT_EQ(ImportFixture("openpyxl-hidden-copy-first.xlsx", {"--sheet", "menu (2)"}), kQuietSuccess);
    EXPECT_EQ(SlotOneName(), "OLD");

    const RunResult ambiguous = ImportFixture("openpyxl-notes-and-kitchen.xlsx");
    EXPECT_EQ(ambiguous.status, 1);
    EXPECT_EQ(Problems(ambiguous),
              "the workbook has 2 worksheets (\"Notes\", \"Kitchen\") and none is named \"Menu\"; choose one with "
              "--sheet NAME, or name the menu's sheet \"Menu\"\n");
    EXPECT_EQ(ImportFixture("openpyxl-notes-and-kitchen.xlsx", {"--sheet", "KITCHEN"}), kQuietSuccess);
    EXPECT_EQ(SlotOneName(), "NEW");
    EXPECT_EQ(Problems(ImportFixture("openpyxl-notes-and-kitchen.xlsx", {"--sheet", "Menu"})),
              "the workbook has no sheet \"Menu\"; its sheets: \"Notes\", \"Kitchen\"\n");
}

TEST_F(ImportSources, AFormulaIsTakenOnlyWithATrustworthyResult) {
    const std::string noResult =
        "the formula has no calculated result; open and save the workbook in a spreadsheet first";
    const std::string stale =
        "the workbook asks for its formulas to be recalculated, so the stored result may be stale; open and save the "
        "workbook in a spreadsheet first";
    EXPECT_EQ(Problems(ImportFixture("openpyxl-formula.xlsx")), "sheet \"Menu\" row 2: name: " + noResult + "\n");
    EXPECT_EQ(Problems(ImportFixture("xlsxwriter-formula.xlsx")), "sheet \"Menu\" row 2: name: " + stale + "\n");
    EXPECT_FALSE(fs::exists(Path("menu.ovn")));

    EXPECT_EQ(ImportFixture("calc-formula-recalculated.xlsx"), kQuietSuccess);
    EXPECT_EQ(SlotOneName(), "ROAST");
}

TEST_F(ImportSources, ANumberInATimeCellIsAFractionOfADayInEitherDateSystem) {
    ASSERT_EQ(ImportFixture("times-expected.csv"), kQuietSuccess);
    const Bytes expected = ReadBytes(Path("menu.ovn"));
    for (const char* workbook : {"xlsxwriter-times-1900.xlsx", "xlsxwriter-times-1904.xlsx"}) {
        EXPECT_EQ(ImportFixture(workbook), kQuietSuccess) << workbook;
        EXPECT_EQ(ReadBytes(Path("menu.ovn")), expected) << workbook;
    }
    // Typed as 24:00 in Gnumeric: the value 1 in an [h]:mm cell, not the digits 0001.
    EXPECT_EQ(Problems(ImportFixture("ssconvert-times.xlsx")),
              "sheet \"times.csv\" row 2: cook_time: the time \"1\" (24:00) is over 18:00\n");
}

TEST_F(ImportSources, ACellFarRightIsOneProblemBeforeTheRowIsWidened) {
    EXPECT_EQ(Problems(ImportFixture("openpyxl-wide-header.xlsx")),
              "sheet \"Menu\" row 1: a value in column XFD, past column BL (a menu's sheet has at most 64 columns)\n");
}

TEST_F(ImportSources, CsvWithSemicolonsTabsOrUtf16ImportsLikeCommaCsv) {
    const Bytes source = ReadBytes(kSpreadsheetFixtures / "source.ovn");
    for (const char* text : {"calc-semicolon.csv", "calc-unicode-text.txt"}) {
        EXPECT_EQ(ImportFixture(text), kQuietSuccess) << text;
        EXPECT_EQ(ReadBytes(Path("menu.ovn")), source) << text;
    }
    const std::string bigEndian = "\xFE\xFF\0s\0l\0o\0t\0\t\0n\0a\0m\0e\0\n\0\x31\0\t\0B\0E\0\n"s;
    EXPECT_EQ(Import(bigEndian), kQuietSuccess);
    EXPECT_EQ(SlotOneName(), "BE");
}

TEST_F(ImportSources, ARowOfSeparatorsOnlyIsSkippedLikeABlankLine) {
    EXPECT_EQ(ImportFixture("calc-empty-row.csv"), kQuietSuccess);
    const std::string expected =
        kHeader + "0,,325,0010,HIGH,100,0,160\n1,FIRST,350,0130,LOW,80,0,160\n2,THIRD,350,0130,LOW,80,0,160\n"s;
    EXPECT_EQ(Run({"export", "menu.ovn"}).out.substr(0, expected.size()), expected);
}

TEST_F(ImportSources, AnOutputThatIsTheInputIsRefusedBeforeAnythingIsWritten) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "K.ovn"}).status, 0);
    const Bytes menu = ReadBytes(Path("K.ovn"));
    fs::create_symlink("K.ovn", Path("link.ovn"));
    fs::create_hard_link(Path("K.ovn"), Path("hard.ovn"));
    for (const char* out : {"K.ovn", "link.ovn", "hard.ovn"}) {
        const RunResult r = Run({"export", "K.ovn", "--format", "xlsx", "-o", out});
        EXPECT_EQ(r, (RunResult{2, "", "ovntool: " + std::string(out) + ": the output is the input file\n"})) << out;
    }
    WriteBytes(Path("in.csv"), kHeader);
    EXPECT_EQ(Run({"import", "in.csv", "--oven", "gas", "-o", "in.csv"}).status, 2);
    EXPECT_EQ(ReadBytes(Path("K.ovn")), menu);
    EXPECT_EQ(ReadBytes(Path("in.csv")), kHeader);
}

TEST_F(ImportSources, DashIsStandardInputAndOutput) {
    WriteBytes(Path("in.csv"), kHeader + "1,ROAST,350,0130,LOW,80,1,160\n"s);
    ASSERT_EQ(Run({"import", "in.csv", "--oven", "gas", "-o", "menu.ovn"}).status, 0);
    const Bytes menu = ReadBytes(Path("menu.ovn"));

    const RunResult piped = RunProcess({"import", "-", "--oven", "gas", "-o", "-"}, "", "<in.csv");
    EXPECT_EQ(std::tuple(piped.status, piped.out, piped.err), std::tuple(0, menu, ""));
    const RunResult exported = RunProcess({"export", "-", "--format", "xlsx", "-o", "-"}, "", "<menu.ovn");
    EXPECT_EQ(exported.out.substr(0, 2), "PK");
    EXPECT_EQ(Run({"export", "menu.ovn", "-o", "-"}), Run({"export", "menu.ovn"}));
    EXPECT_FALSE(fs::exists(Path("-")));

    // The same cap as for a file.
    WriteBytes(Path("big.csv"), kHeader + std::string(16 * 1024 * 1024, '\n'));
    const RunResult tooLarge = RunProcess({"import", "-", "--oven", "gas", "-o", "out.ovn"}, "", "<big.csv");
    EXPECT_EQ(tooLarge.err, "ovntool: standard input: File too large (more than 16777216 bytes)\n");
    EXPECT_EQ(tooLarge.status, 2);
}

}  // namespace
}  // namespace ovntool_test
