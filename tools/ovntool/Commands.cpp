// The table of commands, the --help texts made from it, and the program's
// frame around a command: dispatch, the exception guard, the exit status.
#include "tools/ovntool/Commands.h"

#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "interchange/Text.h"
#include "menufile/Crc.h"
#include "ovn/Version.h"
#include "tools/ovntool/Args.h"
#include "tools/ovntool/MenuFile.h"

namespace ovntool {

using namespace interchange;

// Each command's run function, in its own file (check.cpp, ...).
namespace check {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace show {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace exportcmd {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace import {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace diff {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace newmenu {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}
namespace card {
int Run(const Args& args, std::ostream& out, std::ostream& err);
}

namespace {

struct Command {
    const char* name;
    const char* usage;  // "ovntool check FILE..."
    const char* help;   // what it does, lines after the first indented by 10 columns
    int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

// A new command is one row here and its own file.
const Command kCommands[] = {
    {"check", "ovntool check FILE...",
     R"H(For each FILE: its size, the CRC of each of the 100 item blocks and the
          byte sum. Prints "FILE: OK" or "FILE: BAD (reasons)". Exit 0 all good,
          1 any bad, 2 usage error or a FILE that cannot be read.
)H",
     check::Run},
    {"show", "ovntool show FILE",
     R"H(The oven type and the 100 slots (page 1-10, item 0-9) as they decode,
          damaged values included. "-" marks a fan or power code without text;
          name bytes a terminal would act on appear as \xHH, a backslash as \\.
)H",
     show::Run},
    {"export", "ovntool export FILE [--format csv|json|xlsx] [-o OUTFILE]",
     R"H(The menu as CSV (default; header
          slot,name,cook_temp,cook_time,fan_speed,power_level,roast_n_hold,hold_temp
          then slots 0 to 99) or as JSON. UTF-8; name bytes 128-255 as U+0080-U+00FF.
          With -o the text goes to OUTFILE instead of standard output. xlsx (with
          -o only; "-o -" when standard output is no terminal) writes a workbook:
          a sheet "Menu" with the same columns, every value but the slot as text,
          drop-down lists and limits in the cells, and a sheet "Oven" naming the
          oven type.
)H",
     exportcmd::Run},
    {"import", "ovntool import CSVFILE|XLSXFILE --oven gas|electric [--sheet NAME] -o OUTFILE",
     R"H(Reads a CSV as export writes it (header required, columns and rows in
          any order; only slot is required, a missing column or slot keeps the
          default values), or a sheet of an .xlsx workbook (known by its
          content), and checks every row with the oven's item rules. The CSV
          may be UTF-8 (optional BOM) or UTF-16 with a BOM, LF or CRLF; its
          separator is the first comma, semicolon or tab of the header line. A
          line of separators only is skipped like an empty one. The sheet is
          --sheet NAME (hidden or not); else the sheet named "Menu" (any letter
          case); else the only visible worksheet. What spreadsheets write back
          is taken: cook_time as 130 or 1:30 or 01:30:00 (in a workbook a number
          in a time cell is a fraction of a day, in other cells a number below 1
          a time of day), fan_speed in any case, roast_n_hold as TRUE or FALSE.
          A formula counts only with a calculated result the workbook trusts.
          Problems are printed as "line N: column: reason" ('sheet "Menu" row N'
          in a workbook), at most 100 of them and then their number; then
          nothing is written and the exit status is 1. A line of more than 64
          fields, or a cell right of the header, is one problem. A file larger
          than 16 MiB is refused at once (exit 2).
)H",
     import::Run},
    {"diff", "ovntool diff FILE1 FILE2",
     R"H(One line per slot that differs ("page P item I (slot S): field A -> B"),
          and the oven type when it differs. Exit 0 same, 1 different, 2 error.
)H",
     diff::Run},
    {"new", "ovntool new --oven gas|electric -o OUTFILE", R"H(Writes a menu of 100 default slots.
)H",
     newmenu::Run},
    {"card", "ovntool card FILE -o OUT.pdf [--paper a4|letter]",
     R"H(The menu card: one portrait page (PDF) with the file's name, the oven
          type, the date, and the 100 slots by page and item with the values
          show prints; a free place shows its item number alone, in grey. The
          paper is the locale's (LC_PAPER), A4 when it says nothing. -o - writes
          to standard output when that is not a terminal. Needs no display.
)H",
     card::Run},
};

constexpr char kCommonText[] = R"H(
Options may come before or after the FILEs; "--" ends the options, so a FILE
may begin with "-". An unknown option is a usage error (exit 2).
In every line printed, a file name or a quoted name shows a double quote as
\", a backslash as \\ and a control byte as \xHH.
show, export, diff and card need a FILE of exactly 2409 bytes; a file that
fails its checks is still decoded, with a warning on standard error. A FILE
"-" is standard input (at most 16 MiB), and "-o -" standard output (a menu, a
workbook or a card only when it is no terminal). new, import, card and export
-o replace OUTFILE safely where an ordinary open for writing would be allowed:
a temporary file with the old file's owner, mode, ACL and extended attributes
is renamed over it, or, where it cannot have them all or OUTFILE has a second
hard link, OUTFILE is written in place after a backup copy OUTFILE~ that is
removed once the save is done. When OUTFILE cannot be written the cause goes to
standard error, the old OUTFILE is left as it was (or, if the write in place
failed, its backup is named), and the exit status is 2. An OUTFILE that is a
FILE read (also through a link) is refused before anything is written.
)H";

}  // namespace

std::string HelpText() {
    std::string text = "Usage:\n";
    for (const Command& entry : kCommands) text += std::string("  ") + entry.usage + "\n";
    text +=
        "  ovntool COMMAND --help\n  ovntool --help | --version\n\nMenu files of the R5800 Menu Editor (exactly 2409 "
        "bytes).\n\n";
    for (const Command& entry : kCommands) {
        text += std::string("  ") + entry.name + std::string(8 - std::string(entry.name).size(), ' ') + entry.help;
    }
    return text + kCommonText;
}

std::string CommandHelpText(const std::string& command) {
    for (const Command& entry : kCommands) {
        if (command != entry.name) continue;
        std::string text = std::string("Usage: ") + entry.usage + "\n\n" + entry.help;
        for (std::size_t at; (at = text.find("\n          ")) != std::string::npos;) text.erase(at + 1, 10);
        return text + kCommonText;
    }
    return HelpText();
}

int UsageError(std::ostream& err, const std::string& message) {
    err << "ovntool: " << message << "\nTry 'ovntool --help'.\n";
    return kExitError;
}

namespace {

int Dispatch(const Args& argv, std::ostream& out, std::ostream& err) {
    if (argv.empty()) return UsageError(err, "no command given");
    const std::string& command = argv[0];
    const Args args(argv.begin() + 1, argv.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << HelpText();
        return kExitOk;
    }
    if (command == "--version") {
        out << "ovntool " << ovn::kVersion << "\n";
        return kExitOk;
    }
    for (const Command& entry : kCommands) {
        if (command != entry.name) continue;
        if (HelpRequested(args)) {
            out << CommandHelpText(command);
            return kExitOk;
        }
        return entry.run(args, out, err);
    }
    return UsageError(err, "unknown command '" + EscapePath(command) + "'");
}

}  // namespace

int RunTool(const Args& argv, std::ostream& out, std::ostream& err) {
    int status = kExitError;
    try {
        ovn::BuildCrcTables();
        ForgetInputFiles();
        status = Dispatch(argv, out, err);
    } catch (const std::bad_alloc&) {
        err << "ovntool: out of memory\n";
    } catch (const std::exception& e) {
        err << "ovntool: " << EscapePath(e.what()) << "\n";
    } catch (...) {
        err << "ovntool: unexpected failure\n";
    }
    out.flush();
    if (!out) {
        err << "ovntool: cannot write to standard output\n";
        status = kExitError;
    }
    return status;
}

int Main(int argc, char** argv) {
    // Both streams buffered: a long list of problems costs one write, not one per piece.
    std::ios::sync_with_stdio(false);
    std::cerr.unsetf(std::ios::unitbuf);
    const int status = RunTool(Args(argv + 1, argv + argc), std::cout, std::cerr);
    std::cerr.flush();
    return status;
}

}  // namespace ovntool
