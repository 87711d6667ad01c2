// ovntool import CSVFILE|XLSXFILE --oven gas|electric [--sheet NAME] -o OUTFILE:
// builds a menu from CSV or from a workbook's menu sheet, every row checked with
// the strict item rules; any problem and nothing is written.
#include <ostream>
#include <string>
#include <vector>

#include "interchange/ImportMenu.h"
#include "interchange/Text.h"
#include "menufile/MenuStorage.h"
#include "tools/ovntool/Args.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/MenuFile.h"
#include "tools/ovntool/Output.h"

namespace ovntool::import {

using namespace interchange;

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    std::vector<OptionRule> importOptions = kOutputOptions;
    importOptions.push_back({{"--sheet"}});
    const ParsedArgs parsed = ParseArgs(args, importOptions);
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    if (parsed.positional.size() != 1) return UsageError(err, "import needs exactly one CSVFILE or XLSXFILE");
    const auto options = GetOutputOptions(parsed, err);
    if (!options) return kExitError;
    const std::string& csvPath = parsed.positional[0];
    const auto sheet = parsed.options.find("--sheet");
    if (sheet != parsed.options.end() && sheet->second.empty()) return UsageError(err, "--sheet needs a sheet name");

    // Refused before a byte is read when larger than any menu CSV or workbook can be.
    std::string reason;
    const auto file = ReadFileBytes(csvPath, ovn::kReadCap, reason, ovn::kReadCap);
    if (!file) {
        err << "ovntool: " << InputName(csvPath) << ": " << reason << "\n";
        return kExitError;
    }
    const std::string_view text(reinterpret_cast<const char*>(file->bytes.data()), file->bytes.size());
    const ImportedMenu menu =
        ImportMenu(text, options->ovenType, csvPath, sheet == parsed.options.end() ? "" : sheet->second);
    if (menu.problemCount > 0) {
        for (const std::string& line : menu.problems) err << line << "\n";
        if (menu.problemCount > menu.problems.size()) {
            err << "\xE2\x80\xA6 and " << menu.problemCount - menu.problems.size() << " more problem(s)\n";
        }
        err << "ovntool: " << InputName(csvPath) << ": " << menu.problemCount << " problem(s); "
            << (options->outPath == "-" ? "nothing written" : EscapePath(options->outPath) + " not written") << "\n";
        return kExitBad;
    }
    return SaveMenu(menu.items, *options, out, err);
}

}  // namespace ovntool::import
