// ovntool import on the worst CSVs of the largest size it reads (16 MiB of
// commas, as the header and as a data row): the wall time of each run and the
// peak resident memory of the ovntool process. Targets: under 2 s, under 100 MiB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "menufile/MenuStorage.h"

namespace {

namespace fs = std::filesystem;

constexpr double kMaxSeconds = 2.0;
constexpr double kMaxResidentMiB = 100.0;

// Runs "ovntool import CSV --oven gas -o OUT" with no output; returns its peak resident memory in MiB.
double RunImport(const std::string& csv, const std::string& out) {
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stderr) == nullptr) _exit(126);
        execl(OVNTOOL_PATH, "ovntool", "import", csv.c_str(), "--oven", "gas", "-o", out.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ImportSixteenMebibytesOfCommas(benchmark::State& state) {
    const bool asRow = state.range(0) == 1;
    const fs::path dir = fs::temp_directory_path() / ("ovn-csv-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string csv = (dir / "commas.csv").string();
    {
        const std::string header =
            asRow ? "slot,name,cook_temp,cook_time,fan_speed,power_level,roast_n_hold,hold_temp\n" : "";
        std::ofstream(csv, std::ios::binary) << header << std::string(ovn::kReadCap - header.size(), ',');
    }
    double peakMiB = 0, slowest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        peakMiB = std::max(peakMiB, RunImport(csv, (dir / "out.ovn").string()));
        slowest = std::max(slowest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["peak_rss_MiB"] = peakMiB;
    state.counters["slowest_s"] = slowest;
    state.SetLabel(asRow ? "a data row of commas" : "a header of commas");
    fs::remove_all(dir);
    if (peakMiB >= kMaxResidentMiB) state.SkipWithError("peak resident memory at or above 100 MiB");
    if (slowest >= kMaxSeconds) state.SkipWithError("a run took 2 s or more");
}
BENCHMARK(ImportSixteenMebibytesOfCommas)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
