// Any bytes as a workbook: through the reader (a sheet of rows, or one
// problem on one line, cells within the sheet's columns, every cell read as
// each column would read it), then read and judged as import reads them: a
// menu that passes every check, or problems, each one line (ImportChecks.h). A zip
// archive's checksums keep mutations from reaching the XML, so an input that
// is no zip archive is the first sheet's XML (then, after a 0 byte, the shared
// strings), packed into a workbook here.
#include <string>

#include "ImportChecks.h"
#include "interchange/WorkbookRead.h"
#include "tests/interchange/WorkbookBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BuildCrcTablesOnce();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.rfind("PK", 0) != 0) {
        const std::size_t split = std::min(bytes.find('\0'), bytes.size());
        const std::string strings = split < bytes.size() ? bytes.substr(split + 1) : "";
        interchange_test::Parts parts = interchange_test::WorkbookParts("", strings.empty() ? " " : strings);
        parts[2].second = bytes.substr(0, split);
        bytes = interchange_test::ZipArchive(parts, false);
    }
    const interchange::Worksheet sheet = interchange::ReadMenuWorksheet(bytes);
    if (!sheet.problem.empty() && (!sheet.rows.empty() || sheet.problem.find('\n') != std::string::npos)) std::abort();
    for (const interchange::SheetRow& row : sheet.rows) {
        if (row.cells.empty()) std::abort();
        for (const interchange::SheetCell& cell : row.cells) {
            if (cell.column >= 16384) std::abort();
            for (const interchange::Column column : interchange::kAllColumns) (void)interchange::CellText(cell, column);
        }
    }
    CheckImportedMenu(interchange::ImportMenu(bytes, ovn::kElectricOven, "in.xlsx"), ovn::kElectricOven);
    return 0;
}
