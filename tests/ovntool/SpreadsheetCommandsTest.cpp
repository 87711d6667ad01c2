// Menus through a spreadsheet, in process: what spreadsheets
// write back, workbooks made by LibreOffice Calc, the exported workbook, and
// hostile workbooks.
#include "ToolRunner.h"
#include "interchange/WorkbookRead.h"
#include "tests/interchange/WorkbookBuilder.h"

namespace ovntool_test {
namespace {

using interchange_test::InlineRow;
using interchange_test::kHeaderCells;
using interchange_test::kMainNamespace;
using interchange_test::Parts;
using interchange_test::UnzipArchive;
using interchange_test::WorkbookParts;
using interchange_test::ZipArchive;

const fs::path kFixtures = OVN_SPREADSHEET_FIXTURES;

// Slot 1 of a default gas menu with `column` set to `value`.
std::string RowWith(int slot, std::size_t column, const std::string& value) {
    std::vector<std::string> fields = {std::to_string(slot), "", "325", "0010", "HIGH", "100", "0", "160"};
    fields[column] = value;
    std::string row;
    for (const std::string& field : fields) row += (row.empty() ? "" : ",") + field;
    return row + "\n";
}

// What a spreadsheet writes back, one field of slot 1 at a time.
enum { kName = 1, kTime = 3, kFan = 4, kRoast = 6 };
struct SpreadsheetValue {
    const char* name;
    std::size_t column;
    std::string given, expected;  // expected: the exported field, or the problem after "line N: column: "
    bool accepted;
};
const SpreadsheetValue kSpreadsheetValues[] = {
    {"TimeFourDigits", kTime, "0130", "0130", true},
    {"TimeThreeDigits", kTime, "130", "0130", true},
    {"TimeOneDigit", kTime, "5", "0005", true},
    {"TimeFiveDigits", kTime, "01300", "\"01300\" is not a time HHMM of four digits up to 1800", false},
    {"TimeHMM", kTime, "1:30", "0130", true},
    {"TimeHMMPast1800", kTime, "18:01", "\"1801\" is not a time HHMM of four digits up to 1800", false},
    {"TimeHHMM", kTime, "18:00", "1800", true},
    {"TimeHM", kTime, "1:5", "\"1:5\" is not a time HHMM, H:MM or H:MM:SS", false},
    {"TimeHHHMM", kTime, "001:30", "\"001:30\" is not a time HHMM, H:MM or H:MM:SS", false},
    {"TimeHMMSS", kTime, "0:45:00", "0045", true},
    {"TimeSecondsNotZero", kTime, "01:30:15", "\"01:30:15\": seconds must be 00 (a menu keeps whole minutes)", false},
    {"TimeSecondsOneDigit", kTime, "1:30:0", "\"1:30:0\" is not a time HHMM, H:MM or H:MM:SS", false},
    {"TimeDecimal", kTime, "1.5", "\"1.5\" is not a time HHMM of four digits up to 1800", false},
    {"FanMixedCase", kFan, "hIgH", "HIGH", true},
    {"FanMisspelt", kFan, "lo", "\"lo\" is not OFF, LOW or HIGH", false},
    {"FanWithSpace", kFan, "off ", "\"off \" is not OFF, LOW or HIGH", false},
    {"RoastFalseLowerCase", kRoast, "false", "0", true},
    {"RoastTrueMixedCase", kRoast, "True", "1", true},
    {"RoastYes", kRoast, "yes", "\"yes\" is not 0 or 1 (or FALSE or TRUE)", false},
    {"RoastOneDecimal", kRoast, "1.0", "\"1.0\" is not 0 or 1 (or FALSE or TRUE)", false},
    {"NameOfDigitsKept", kName, "0012", "0012", true},
};

TEST_F(ToolTest, ImportNormalisesWhatASpreadsheetWritesAndRefusesItsNearNeighbours) {
    std::string accepted = kHeader, refused = kHeader, expected = kHeader;
    std::vector<std::pair<const SpreadsheetValue*, std::size_t>> refusedLines;
    int slot = 0;
    for (const SpreadsheetValue& row : kSpreadsheetValues) {
        if (row.accepted) {
            accepted += RowWith(slot, row.column, row.given);
            expected += RowWith(slot++, row.column, row.expected);
        } else {
            refused += RowWith(static_cast<int>(refusedLines.size()), row.column, row.given);
            refusedLines.emplace_back(&row, refusedLines.size() + 2);
        }
    }
    ASSERT_EQ(Import(accepted).status, 0);
    const RunResult exported = Run({"export", "menu.ovn"});
    EXPECT_EQ(exported.out.substr(0, expected.size()), expected);

    const RunResult r = Import(refused, "refused.ovn");
    EXPECT_EQ(r.status, 1);
    for (const auto& [row, line] : refusedLines) {
        const std::string column = std::string(kHeaderCells[row->column]);
        EXPECT_NE(r.err.find("line " + std::to_string(line) + ": " + column + ": " + row->expected + "\n"),
                  std::string::npos)
            << row->name << "\n"
            << r.err;
    }
    EXPECT_NE(r.err.find(std::to_string(refusedLines.size()) + " problem(s)"), std::string::npos) << r.err;
}

TEST_F(ToolTest, WorkbooksAndCsvWrittenByCalcImportToTheExpectedMenus) {
    const Bytes source = ReadBytes(kFixtures / "source.ovn");
    const auto importTo = [&](const fs::path& file, const std::string& out) {
        EXPECT_EQ(Run({"import", file.string(), "--oven", "gas", "-o", out}), kQuietSuccess) << file;
        return ReadBytes(Path(out));
    };
    // Names "0012", "1-2", "3/4", "1E5" and "TRUE" come through a workbook untouched.
    EXPECT_EQ(importTo(kFixtures / "source.csv", "source.ovn"), source);
    EXPECT_EQ(importTo(kFixtures / "calc-resaved.xlsx", "resaved.ovn"), source);

    // Through CSV the spreadsheet itself turns "0012" into 12 and "1E5" into 100000; nothing else is lost.
    EXPECT_EQ(importTo(kFixtures / "calc-written-back.csv", "back.ovn"),
              importTo(kFixtures / "calc-written-back-expected.csv", "back-expected.ovn"));
    EXPECT_EQ(Run({"diff", "source.ovn", "back.ovn"}).out,
              "page 1 item 1 (slot 1): name \"0012\" -> \"12\"\npage 1 item 5 (slot 5): name \"1E5\" -> \"100000\"\n");

    // Typed in Calc: times of day, numbers, booleans, a name that is a number.
    const Bytes handTyped = importTo(kFixtures / "calc-hand-typed.xlsx", "typed.ovn");
    EXPECT_EQ(handTyped, importTo(kFixtures / "hand-typed-expected.csv", "typed-expected.ovn"));
    EXPECT_EQ(handTyped, importTo(kFixtures / "hand-typed.csv", "typed-csv.ovn"));
}

TEST_F(ToolTest, ExportedWorkbookImportsBackByteForByteForEitherOven) {
    for (const char* oven : {"gas", "electric"}) {
        ASSERT_EQ(Import(ReadBytes(kFixtures / "source.csv"), "menu.ovn", oven).status, 0);
        EXPECT_EQ(Run({"export", "menu.ovn", "--format", "xlsx", "-o", "menu.xlsx"}), kQuietSuccess);
        // Known by its content: the extension plays no part.
        fs::rename(Path("menu.xlsx"), Path("menu.dat"));
        const RunResult imported = Run({"import", "menu.dat", "--oven", oven, "-o", "again.ovn"});
        EXPECT_EQ(std::tuple(imported.status, imported.err), std::tuple(0, "")) << oven;
        EXPECT_EQ(ReadBytes(Path("again.ovn")), ReadBytes(Path("menu.ovn"))) << oven;

        const Parts parts = UnzipArchive(ReadBytes(Path("menu.dat")));
        std::map<std::string, std::string> byName(parts.begin(), parts.end());
        const std::string& sheet = byName["xl/worksheets/sheet1.xml"];
        const std::string max = oven == std::string("gas") ? "500" : "600";
        for (const std::string& expected : std::vector<std::string>{
                 "state=\"frozen\"", "sqref=\"E2:E101\"><formula1>\"OFF,LOW,HIGH\"",
                 "sqref=\"F2:F101\"><formula1>\"0,10,20,30,40,50,60,70,80,90,100\"",
                 "sqref=\"G2:G101\"><formula1>\"0,1\"",
                 "prompt=\"A whole number 200 to " + max + " (" + oven + " oven).\"", "VALUE(C2)&lt;=" + max + ")",
                 "VALUE(H2)&gt;=100,VALUE(H2)&lt;=200)", "operator=\"lessThanOrEqual\""}) {
            EXPECT_NE(sheet.find(expected), std::string::npos) << expected;
        }
        EXPECT_NE(byName["xl/styles.xml"].find("formatCode=\"@\""), std::string::npos);
        EXPECT_NE(byName["xl/workbook.xml"].find("<sheet name=\"Oven\""), std::string::npos);
        EXPECT_NE(byName["xl/sharedStrings.xml"].find("<t>" + std::string(oven) + "</t>"), std::string::npos);

        // Slots are numbers; every other cell is text, so "0012" and "0130" keep their zeros.
        const interchange::Worksheet read = interchange::ReadMenuWorksheet(ReadBytes(Path("menu.dat")));
        ASSERT_EQ(read.rows.size(), 101u);
        const auto& cells = read.rows[2].cells;
        EXPECT_EQ(std::tuple(cells[0].kind, cells[1].value, cells[3].value, cells[3].kind),
                  std::tuple(interchange::SheetCell::Kind::Number, "0012", "0005", interchange::SheetCell::Kind::Text));
    }
}

// All or nothing; a link is followed and the file it names keeps its mode.
TEST_F(ToolTest, ExportToAFileIsAllOrNothingAndFollowsItsLink) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "menu.ovn"}).status, 0);
    for (const char* format : {"csv", "json"}) {
        const RunResult toStdout = Run({"export", "menu.ovn", "--format", format});
        EXPECT_EQ(Run({"export", "menu.ovn", "--format", format, "-o", "out.txt"}), kQuietSuccess);
        EXPECT_EQ(ReadBytes(Path("out.txt")), toStdout.out) << format;
    }
    fs::create_directory(Path("adir"));
    for (const char* out : {"missing/m.xlsx", "adir"}) {
        const RunResult r = Run({"export", "menu.ovn", "--format", "xlsx", "-o", out});
        EXPECT_EQ(r.status, 2) << out;
        EXPECT_EQ(r.err.rfind("ovntool: cannot write " + std::string(out) + ": ", 0), 0u) << r.err;
    }
    EXPECT_TRUE(fs::is_empty(Path("adir")));
    fs::create_symlink("target", Path("link"));
    for (const auto& [format, head] : {std::pair("csv", "slot,"), std::pair("json", "{"), std::pair("xlsx", "PK")}) {
        WriteBytes(Path("target"), "old"s);
        fs::permissions(Path("target"), fs::perms(0640));
        const RunResult r = Run({"export", "menu.ovn", "--format", format, "-o", "link"});
        EXPECT_EQ(std::tuple(r.status, r.err), std::tuple(0, "")) << format;
        EXPECT_TRUE(fs::is_symlink(Path("link"))) << format;
        EXPECT_EQ(fs::status(Path("target")).permissions(), fs::perms(0640)) << format;
        EXPECT_EQ(ReadBytes(Path("target")).rfind(head, 0), 0u) << format;
    }
    EXPECT_EQ(EntryCount(), 5) << "menu.ovn, out.txt, adir, link, target and no temporary file";
}

TEST_F(ToolTest, WorkbookProblemsNameTheSheetRow) {
    const std::string rows =
        InlineRow(1, kHeaderCells) + InlineRow(2, {"5", "A", "350", "0130", "Low", "80", "0", "160"}) +
        "<row r=\"4\"><c r=\"A4\"><v>5</v></c><c r=\"D4\"><v>0.0626</v></c><c r=\"C4\" t=\"e\"><v>#DIV/0!</v></c>"
        "<c r=\"G4\" t=\"b\"><v>1</v></c><c r=\"H4\"><v>99</v></c></row>"
        "<row r=\"7\"><c r=\"A7\"><v>6</v></c><c r=\"J7\" t=\"str\"><f>1+1</f><v>2</v></c></row>";
    WriteBytes(Path("in.xlsx"), ZipArchive(WorkbookParts(rows), true));
    WriteBytes(Path("menu.ovn"), "old"s);
    const RunResult r = Run({"import", "in.xlsx", "--oven", "gas", "-o", "menu.ovn"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "sheet \"Menu\" row 4: cook_temp: the cell shows the error \"#DIV/0!\"\n"
              "sheet \"Menu\" row 4: cook_time: the time of day \"0.0626\" is not a whole minute\n"
              "sheet \"Menu\" row 4: slot: slot 5 is already on row 2\n"
              "sheet \"Menu\" row 4: fan_speed: \"\" is not OFF, LOW or HIGH\n"  // an empty cell is an empty value
              "sheet \"Menu\" row 4: power_level: \"\" is not 0, 10, 20, ... or 100\n"
              "sheet \"Menu\" row 4: hold_temp: \"99\" is not a whole number 100 to 200 (roast_n_hold is 1)\n"
              "sheet \"Menu\" row 7: a value in column J, past the header's last column H\n"
              "ovntool: in.xlsx: 7 problem(s); menu.ovn not written\n");
    EXPECT_EQ(ReadBytes(Path("menu.ovn")), "old");
}

// A header cell refused as it is read says why, rather than being an unknown column "".
TEST_F(ToolTest, AWorkbookHeaderCellThatIsAnErrorSaysSo) {
    const std::string rows =
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>slot</t></is></c>"
        "<c r=\"B1\" t=\"e\"><v>#REF!</v></c></row>";
    WriteBytes(Path("in.xlsx"), ZipArchive(WorkbookParts(rows), true));
    const RunResult r = Run({"import", "in.xlsx", "--oven", "gas", "-o", "menu.ovn"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "sheet \"Menu\" row 1: (column name): the cell shows the error \"#REF!\"\n"
              "ovntool: in.xlsx: 1 problem(s); menu.ovn not written\n");
}

// The archive with the sizes of the entry `name` claimed as 1000 bytes, in its local and central headers.
Bytes WithFalseSize(Bytes zip, const std::string& name) {
    const auto patch = [&](const char* signature, std::size_t nameLengthAt, std::size_t nameAt, std::size_t sizeAt) {
        for (std::size_t at = zip.find(signature); at != std::string::npos; at = zip.find(signature, at + 4)) {
            const std::size_t length = static_cast<unsigned char>(zip[at + nameLengthAt]) |
                                       static_cast<unsigned char>(zip[at + nameLengthAt + 1]) << 8;
            if (zip.compare(at + nameAt, length, name) == 0) zip.replace(at + sizeAt, 4, "\xE8\x03\0\0"s);
        }
    };
    patch("PK\x03\x04", 26, 30, 22);
    patch("PK\x01\x02", 28, 46, 24);
    return zip;
}

// Each workbook with the problem that starts its one line: damaged, hostile or no .xlsx at all.
std::vector<std::tuple<const char*, Bytes, std::string>> HostileWorkbooks() {
    const std::string header = InlineRow(1, kHeaderCells);
    const std::string doctype =
        "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>";
    std::string manyStrings = "<sst xmlns=\"" + std::string(kMainNamespace) + "\">";
    for (int i = 0; i <= 200000; ++i) manyStrings += "<si><t>a</t></si>";
    std::string oneStringInManyCells;
    for (int row = 1; row <= 70; ++row) oneStringInManyCells += "<row><c t=\"s\"><v>0</v></c></row>";
    std::string manyCells;
    for (int row = 2; row <= 12502; ++row) manyCells += InlineRow(row, {"1", "2", "3", "4", "5", "6", "7", "8"});
    const std::string sheetPart = "sheet \"Menu\": the part \"xl/worksheets/sheet1.xml\" ";
    return {
        {"TextNamedXlsx", "slot,name\n", "the file is not an .xlsx workbook (no zip archive)"},
        {"OldOrEncryptedWorkbook", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0"s,
         "an old binary (.xls) or password-protected workbook; save it as .xlsx without a password"},
        {"OpenDocumentSpreadsheet",
         ZipArchive({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                     {"content.xml", "<office:document-content/>"}},
                    false),
         "an OpenDocument spreadsheet (.ods), not an .xlsx workbook; save it as .xlsx"},
        {"TruncatedZip", ZipArchive(WorkbookParts(header), true).substr(0, 300), "not a readable zip archive ("},
        {"ZipBomb", ZipArchive(WorkbookParts(header + std::string(65 * 1024 * 1024, ' ')), true),
         sheetPart + "unpacks to 68157932 bytes, more than 67108864"},
        {"ZipBombClaimingToBeSmall",
         WithFalseSize(ZipArchive(WorkbookParts(header + std::string(65 * 1024 * 1024, ' ')), true),
                       "xl/worksheets/sheet1.xml"),
         sheetPart + "unpacks to more than 67108864 bytes"},
        {"HugeSharedStringTable", ZipArchive(WorkbookParts(header, manyStrings + "</sst>"), true),
         "the part \"xl/sharedStrings.xml\" holds more than 200000 strings"},
        {"OneLongSharedStringInManyCells",
         ZipArchive(WorkbookParts(oneStringInManyCells, "<sst><si><t>" + std::string(1 << 20, 'a') + "</t></si></sst>"),
                    true),
         sheetPart + "holds more than 67108864 bytes of text in its cells"},
        {"TooManyCells", ZipArchive(WorkbookParts(header + manyCells), true),
         sheetPart + "holds more than 100000 cells; a menu has 808"},
        {"BillionLaughs", ZipArchive(WorkbookParts(InlineRow(1, {"&d;"}), "", doctype), false),
         sheetPart + "declares a document type (DTD), which no workbook does"},
        {"ExternalEntity",
         ZipArchive(WorkbookParts(InlineRow(1, {"&x;"}), "", "<!DOCTYPE w [<!ENTITY x SYSTEM \"/etc/passwd\">]>"),
                    false),
         sheetPart + "declares a document type (DTD), which no workbook does"},
        {"NotXml", ZipArchive(WorkbookParts(header + "<row><c>"), false),
         sheetPart + "is not well-formed XML (line 1: "},
        {"NoSheet", ZipArchive({{"xl/workbook.xml", "<workbook><sheets/></workbook>"}}, false),
         "the workbook has no worksheet"},
        {"NoWorkbookPart", ZipArchive({{"hello.txt", "hi"}}, true), "the workbook has no part \"xl/workbook.xml\""},
        {"MissingSharedString", ZipArchive(WorkbookParts("<row><c t=\"s\"><v>7</v></c></row>"), false),
         sheetPart + "refers to shared string \"7\", which does not exist"},
        {"CellPastLastColumn", ZipArchive(WorkbookParts("<row><c r=\"XFE1\"><v>1</v></c></row>"), false),
         sheetPart + "has a cell at \"XFE1\" on row 1"},
    };
}

TEST_F(ToolTest, HostileWorkbooksAreOneProblemEach) {
    WriteBytes(Path("menu.ovn"), "old"s);
    for (const auto& [name, bytes, problem] : HostileWorkbooks()) {
        WriteBytes(Path("in.xlsx"), bytes);
        const RunResult r = Run({"import", "in.xlsx", "--oven", "gas", "-o", "menu.ovn"});
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(r.err.rfind(problem, 0), 0u) << name << ": " << r.err;
        EXPECT_NE(r.err.find("\novntool: in.xlsx: 1 problem(s); menu.ovn not written\n"), std::string::npos) << name;
        EXPECT_EQ(ReadBytes(Path("menu.ovn")), "old") << name;
    }
}

}  // namespace
}  // namespace ovntool_test
