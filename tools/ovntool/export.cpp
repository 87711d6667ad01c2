// ovntool export FILE [--format csv|json|xlsx] [-o OUTFILE]: the menu as text on
// standard output or in OUTFILE, or as a workbook (OUTFILE required).
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "interchange/Columns.h"
#include "interchange/Csv.h"
#include "interchange/Json.h"
#include "interchange/Text.h"
#include "interchange/WorkbookWrite.h"
#include "tools/ovntool/Args.h"
#include "tools/ovntool/Commands.h"
#include "tools/ovntool/MenuFile.h"
#include "tools/ovntool/Output.h"

namespace ovntool::exportcmd {

using namespace interchange;

namespace {

void WriteCsv(const LoadedMenu& menu, std::ostream& out) {
    const char* separator = "";
    for (const Column column : kAllColumns) {
        out << separator << ColumnName(column);
        separator = ",";
    }
    out << "\n";
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        separator = "";
        for (const Column column : kAllColumns) {
            const std::string text = ColumnText(column, slot, menu.items[static_cast<std::size_t>(slot)]);
            out << separator << CsvField(Latin1ToUtf8(text));
            separator = ",";
        }
        out << "\n";
    }
}

void WriteJson(const LoadedMenu& menu, std::ostream& out) {
    out << "{\n  \"oven_type\": " << JsonString(OvenTypeName(menu.ovenType)) << ",\n  \"items\": [\n";
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        out << "    {";
        const char* separator = "";
        for (const Column column : kAllColumns) {
            const std::string text = ColumnText(column, slot, menu.items[static_cast<std::size_t>(slot)]);
            out << separator << JsonString(ColumnName(column)) << ": ";
            // Slot and flag are numbers; every other value is the editor's text.
            if (column == Column::Slot || column == Column::RoastNHold) {
                out << text;
            } else {
                out << JsonString(Latin1ToUtf8(text));
            }
            separator = ", ";
        }
        out << (slot + 1 < ovn::kSlotCount ? "},\n" : "}\n");
    }
    out << "  ]\n}\n";
}

const std::vector<OptionRule> kExportOptions = {{{"--format"}}, {{"-o", "--output"}}};

}  // namespace

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArgs(args, kExportOptions);
    if (!parsed.error.empty()) return UsageError(err, parsed.error);
    if (parsed.positional.size() != 1) return UsageError(err, "export needs exactly one FILE");
    const auto format = parsed.options.count("--format") ? parsed.options.at("--format") : std::string("csv");
    if (format != "csv" && format != "json" && format != "xlsx") {
        return UsageError(err, "--format must be csv, json or xlsx");
    }
    const auto outPath = parsed.options.find("-o");
    if (outPath != parsed.options.end() && outPath->second.empty()) return UsageError(err, "-o needs a file name");
    // A workbook is binary: never to a terminal or a pipe by accident.
    if (format == "xlsx" && outPath == parsed.options.end()) return UsageError(err, "--format xlsx needs -o OUTFILE");

    const auto menu = LoadMenuForViewing(parsed.positional[0], err);
    if (!menu) return kExitError;
    std::string bytes;
    if (format == "xlsx") {
        const std::string reason = WriteMenuWorkbook(menu->items, menu->ovenType, bytes);
        if (!reason.empty()) {
            err << "ovntool: cannot write " << EscapePath(outPath->second) << ": " << reason << "\n";
            return kExitError;
        }
    } else {
        std::ostringstream text;
        (format == "csv" ? WriteCsv : WriteJson)(*menu, text);
        bytes = text.str();
    }
    if (outPath == parsed.options.end()) {
        out << bytes;
        return kExitOk;
    }
    const OutputKind kind = format == "xlsx" ? OutputKind::Binary : OutputKind::Text;
    return WriteOutput(outPath->second, bytes, kind, out, err) ? kExitOk : kExitError;
}

}  // namespace ovntool::exportcmd
