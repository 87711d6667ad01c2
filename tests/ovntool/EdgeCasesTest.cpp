// ovntool at the edges: one argument parser, unambiguous lines, bounded work, no abort.
#include "ToolRunner.h"

namespace ovntool_test {
namespace {

TEST_F(ToolTest, EveryCommandTakesDashDashHelpAndRefusesUnknownOptions) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "-m.ovn", "--"}).status, 0);  // after "--" a FILE may begin with "-"
    WriteBytes(Path("-in.csv"), kHeader);
    const Args lines[] = {
        {"check", "--", "-m.ovn"},
        {"show", "--", "-m.ovn"},
        {"export", "--format", "json", "--", "-m.ovn"},
        {"diff", "--", "-m.ovn", "-m.ovn"},
        {"import", "--oven", "gas", "-o", "out.ovn", "--", "-in.csv"},
        {"new", "--oven", "gas", "-o", "out.ovn", "--"},
    };
    const RunResult bogus{2, "", "ovntool: unknown option '--bogus'\nTry 'ovntool --help'.\n"};
    for (const Args& line : lines) {
        const std::string& command = line[0];
        RunResult r = Run(line);
        EXPECT_EQ(std::pair(r.status, r.err), std::pair(0, ""s)) << command;
        r = Run({command, "--help"});
        EXPECT_EQ(std::tuple(r.status, r.out.substr(0, 16 + command.size()), r.err),
                  std::tuple(0, "Usage: ovntool " + command + " ", ""s))
            << command;
        EXPECT_NE(r.out.find("\"--\" ends the options"), std::string::npos) << command;
        EXPECT_EQ(Run({command, "--bogus", "-m.ovn"}), bogus) << command;
    }
    EXPECT_EQ(Run({"check", "--", "--help"}).err, "ovntool: --help: No such file or directory\n");
}

TEST_F(ToolTest, FileNamesAndQuotedNamesAreEscapedOneLineEach) {
    ASSERT_EQ(Run({"new", "--oven", "gas", "-o", "a\"b\\c.ovn"}).status, 0);
    Bytes named = DefaultMenu(false).replace(BlockStart(0) + 4, 4, "A\"B\\"s);  // diff compares names, not CRCs
    WriteBytes(Path("named.ovn"), named);
    const std::tuple<Args, std::string, std::string> rows[] = {
        // command, standard output, standard error
        {{"check", "a\"b\\c.ovn"}, "a\\\"b\\\\c.ovn: OK\n", ""},
        {{"check", "x.ovn\nOK: y.ovn"}, "", "ovntool: x.ovn\\x0AOK: y.ovn: No such file or directory\n"},
        {{"check", "\xC3\xA9\xFF\x1B\xC2\x9B.ovn"},
         "",
         "ovntool: \xC3\xA9\\xFF\\x1B\\xC2\\x9B.ovn: No such file or directory\n"},  // C1 CSI as UTF-8 too
        {{"show", "t\tab"}, "", "ovntool: t\\x09ab: No such file or directory\n"},
        {{"diff", "a\"b\\c.ovn", "named.ovn"},
         "page 1 item 0 (slot 0): name \"\" -> \"A\\\"B\\\\\"\n",
         "ovntool: warning: named.ovn fails its checks (see 'ovntool check'); shown as it decodes\n"},
        {{"new", "--oven", "gas", "-o", "no\ndir/m.ovn"},
         "",
         "ovntool: cannot write the menu file: MenuSave : no\\x0Adir/m.ovn (No such file or directory)\n"},
    };
    for (const auto& [args, out, err] : rows) {
        const RunResult r = Run(args);
        EXPECT_EQ(std::pair(r.out, r.err), std::pair(out, err)) << args[1];
    }
    const RunResult r = Run({"export", "named.ovn"});  // CSV keeps RFC 4180
    EXPECT_NE(r.out.find("\n0,\"A\"\"B\\\",325,"), std::string::npos) << r.out.substr(0, 200);
}

TEST_F(ToolTest, ImportWorkIsBoundedWhateverTheCsv) {
    std::string manyBadRows = kHeader;
    for (int slot = 0; slot < 100; ++slot) manyBadRows += std::to_string(slot) + ",A,1,0130,LOW,80,0,160\n";
    manyBadRows += "0,A,350,0130,LOW,80,0,160\n9" + std::string(69, ',') + "\n";
    const std::string commas = "9" + std::string(100000, ',');  // a line of commas only is a blank line
    const std::tuple<const char*, std::string, int, std::string> rows[] = {
        // name, CSV, status, the end of standard error
        {"ManyProblems", manyBadRows, 1,
         "line 101: cook_temp: \"1\" is not a whole number 200 to 500 (gas oven)\n"
         "\xE2\x80\xA6 and 2 more problem(s)\novntool: in.csv: 102 problem(s); menu.ovn not written\n"},
        {"HeaderOfCommas", commas, 1,
         "line 1: 100001 fields, at most 64\novntool: in.csv: 1 problem(s); menu.ovn not written\n"},
        {"RowOfCommas", kHeader + commas, 1,
         "line 2: 100001 fields, at most 64\novntool: in.csv: 1 problem(s); menu.ovn not written\n"},
        {"AboveTheCap", std::string(16 * 1024 * 1024 + 1, ','), 2,
         "ovntool: in.csv: File too large (more than 16777216 bytes)\n"},
    };
    for (const auto& [name, csv, status, errEnd] : rows) {
        const RunResult r = Import(csv);
        EXPECT_EQ(r.status, status) << name;
        EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), errEnd.size())), errEnd) << name;
        EXPECT_LT(std::count(r.err.begin(), r.err.end(), '\n'), 103) << name;
    }
    const RunResult r = Import(manyBadRows);
    EXPECT_EQ(r.err.rfind("line 2: cook_temp: \"1\"", 0), 0u);
}

// What only a process shows: a memory limit, the real standard output on a full device.
TEST_F(ToolTest, ProcessFaultsEndInOneLineAndExitTwo) {
    std::string csv = kHeader;
    while (csv.size() < 15u * 1024 * 1024) csv += "0,ROASTBEEF,350,0130,LOW,80,0,160\n";
    WriteBytes(Path("in.csv"), csv);
    const std::tuple<const char*, Args, std::string, std::string, std::string> rows[] = {
        // name, arguments, shell before, redirection after, standard error
        {"OutOfMemory",
         {"import", "in.csv", "--oven", "gas", "-o", "m.ovn"},
         "ulimit -v 30000 &&",
         "",
         "ovntool: out of memory\n"},
        {"FullDevice", {"--help"}, "", ">/dev/full", "ovntool: cannot write to standard output\n"},
    };
    for (const auto& [name, args, shell, redirect, err] : rows) {
#if defined(__SANITIZE_ADDRESS__)
        if (!shell.empty()) continue;  // the sanitizer's shadow memory cannot live under an address-space limit
#endif
        const RunResult r = RunProcess(args, shell, redirect);
        EXPECT_EQ(std::tuple(r.status, r.err), std::tuple(2, err)) << name;
    }
}

}  // namespace
}  // namespace ovntool_test
