// ovntool import on the worst CSVs of the largest size it reads (16 MiB of
// commas, as the header and as a data row): the wall time of each run and the
// peak resident memory of the ovntool process. Targets: under 2 s, under 100 MiB.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ImportProcess.h"
#include "menufile/MenuStorage.h"

namespace {

namespace fs = std::filesystem;

constexpr double kMaxResidentMiB = 100.0;

void ImportSixteenMebibytesOfCommas(benchmark::State& state) {
    const bool asRow = state.range(0) == 1;
    const fs::path dir = fs::temp_directory_path() / ("ovn-csv-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string csv = (dir / "commas.csv").string();
    {
        // One value before the commas: a line of separators only would be skipped as a blank line.
        const std::string header =
            asRow ? "slot,name,cook_temp,cook_time,fan_speed,power_level,roast_n_hold,hold_temp\n1" : "1";
        std::ofstream(csv, std::ios::binary) << header << std::string(ovn::kReadCap - header.size(), ',');
    }
    ovn_bench::MeasureImports(state, csv, (dir / "out.ovn").string(), kMaxResidentMiB);
    state.SetLabel(asRow ? "a data row of commas" : "a header of commas");
    fs::remove_all(dir);
}
BENCHMARK(ImportSixteenMebibytesOfCommas)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
