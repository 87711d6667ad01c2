// ovntool import on the worst workbooks within the import's limits (a file of
// at most 16 MiB, parts of at most 64 MiB, 200000 shared strings, 100000 cells):
// the wall time of each run and the peak resident memory of the ovntool
// process. Targets: under 2 s, under 256 MiB.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ImportProcess.h"
#include "tests/interchange/WorkbookBuilder.h"

namespace {

namespace fs = std::filesystem;
using interchange_test::InlineRow;
using interchange_test::kHeaderCells;
using interchange_test::WorkbookParts;

constexpr double kMaxResidentMiB = 256.0;

// A menu header, then 49999 rows of a cell at A and one at XFD: every row
// would be widened to 16384 fields if it were not judged first.
std::string FarRightCells() {
    std::string rows = InlineRow(1, kHeaderCells);
    for (int row = 2; row <= 50000; ++row) {
        const std::string number = std::to_string(row);
        rows += "<row r=\"" + number + "\"><c r=\"A" + number + "\"><v>1</v></c><c r=\"XFD" + number +
                "\"><v>1</v></c></row>";
    }
    return interchange_test::ZipArchive(WorkbookParts(rows), true);
}

// 199990 shared strings of 310 bytes (64 MiB of text, the part's limit) and
// 99999 cells that name them: the most text a workbook can bring.
std::string MostText() {
    std::string strings = "<sst>";
    for (int i = 0; i < 199990; ++i) strings += "<si><t>" + std::string(310, 'a' + i % 26) + "</t></si>";
    strings += "</sst>";
    std::string rows = InlineRow(1, kHeaderCells);
    for (int row = 2; row <= 12500; ++row) {
        rows += "<row r=\"" + std::to_string(row) + "\">";
        for (int column = 0; column < 8; ++column) {
            rows += "<c t=\"s\"><v>" + std::to_string((row * 8 + column) % 199990) + "</v></c>";
        }
        rows += "</row>";
    }
    return interchange_test::ZipArchive(WorkbookParts(rows, strings), true);
}

void ImportWorstWorkbook(benchmark::State& state) {
    const bool text = state.range(0) == 1;
    const fs::path dir = fs::temp_directory_path() / ("ovn-workbook-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string workbook = (dir / "worst.xlsx").string();
    const std::string bytes = text ? MostText() : FarRightCells();
    std::ofstream(workbook, std::ios::binary) << bytes;
    ovn_bench::MeasureImports(state, workbook, (dir / "out.ovn").string(), kMaxResidentMiB);
    state.counters["file_KiB"] = static_cast<double>(bytes.size()) / 1024.0;
    state.SetLabel(text ? "64 MiB of shared strings in 100000 cells" : "100000 cells at A and XFD");
    fs::remove_all(dir);
}
BENCHMARK(ImportWorstWorkbook)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
