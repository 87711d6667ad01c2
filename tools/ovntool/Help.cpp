// The --help text and the usage error shared by every command.
#include <ostream>
#include <string>

#include "tools/ovntool/Commands.h"

namespace ovntool {

const char* HelpText() {
    return R"HELP(Usage:
  ovntool check FILE...
  ovntool show FILE
  ovntool export FILE [--format csv|json|xlsx] [-o OUTFILE]
  ovntool import CSVFILE|XLSXFILE --oven gas|electric -o OUTFILE
  ovntool diff FILE1 FILE2
  ovntool new --oven gas|electric -o OUTFILE
  ovntool --help | --version

Menu files of the R5800 Menu Editor (exactly 2409 bytes).

  check   For each FILE: its size, the CRC of each of the 100 item blocks and the
          byte sum. Prints "FILE: OK" or "FILE: BAD (reasons)". Exit 0 all good,
          1 any bad, 2 usage error or a FILE that cannot be read.
  show    The oven type and the 100 slots (page 1-10, item 0-9) as they decode,
          damaged values included. "-" marks a fan or power code without text;
          name bytes a terminal would act on appear as \xHH, a backslash as \\.
  export  The menu as CSV (default; header
          slot,name,cook_temp,cook_time,fan_speed,power_level,roast_n_hold,hold_temp
          then slots 0 to 99) or as JSON. UTF-8; name bytes 128-255 as U+0080-U+00FF.
          With -o the text goes to OUTFILE instead of standard output. xlsx (with
          -o only) writes a workbook: a sheet "Menu" with the same columns, every
          value but the slot as text, drop-down lists and limits in the cells, and
          a sheet "Oven" naming the oven type.
  import  Reads such a CSV (UTF-8, optional BOM, LF or CRLF, header required,
          columns and rows in any order; only slot is required, a missing
          column or slot keeps the default values), or the first sheet of an
          .xlsx workbook (known by its content), and checks every row with the
          oven's item rules. What spreadsheets write back is taken: cook_time as
          130 or 1:30 or 01:30:00 (and a time of day in a workbook), fan_speed in
          any case, roast_n_hold as TRUE or FALSE. Problems are printed as
          "line N: column: reason" ("row N" in a workbook); then nothing is
          written and the exit status is 1.
  diff    One line per slot that differs ("page P item I (slot S): field A -> B"),
          and the oven type when it differs. Exit 0 same, 1 different, 2 error.
  new     Writes a menu of 100 default slots.

show, export and diff need a FILE of exactly 2409 bytes; a file that fails its
checks is still decoded, with a warning on standard error. new, import and
export -o replace OUTFILE safely (a temporary file renamed over it): when it
cannot be written the reason goes to standard error, any old OUTFILE is left
as it was, and the exit status is 2.
)HELP";
}

int UsageError(std::ostream& err, const std::string& message) {
    err << "ovntool: " << message << "\nTry 'ovntool --help'.\n";
    return kExitError;
}

}  // namespace ovntool
