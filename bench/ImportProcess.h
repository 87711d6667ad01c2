// One "ovntool import FILE --oven gas -o OUT" as a process of its own, so that
// its peak resident memory is its own: the import benchmarks' measure.
#pragma once

#include <benchmark/benchmark.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace ovn_bench {

struct ImportRun {
    double seconds = 0;
    double peakResidentMiB = 0;
    bool ran = false;  // ovntool ran to its end: exit 0, or 1 for a refused file
};

// Standard error goes to /dev/null: the benchmarks measure, the tests read the messages.
inline ImportRun RunImport(const std::string& file, const std::string& out) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        if (freopen("/dev/null", "w", stderr) == nullptr) _exit(126);
        execl(OVNTOOL_PATH, "ovntool", "import", file.c_str(), "--oven", "gas", "-o", out.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    const bool waited = wait4(child, &status, 0, &usage) == child;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const bool ran = waited && WIFEXITED(status) && WEXITSTATUS(status) <= 1;
    return {elapsed.count(), static_cast<double>(usage.ru_maxrss) / 1024.0, ran};
}

// Imports `file` once per iteration; reports the slowest run and the highest peak,
// and fails the benchmark when either reaches its target (2 s, `maxResidentMiB`).
inline void MeasureImports(benchmark::State& state, const std::string& file, const std::string& out,
                           double maxResidentMiB) {
    double peakMiB = 0;
    double slowest = 0;
    for (auto _ : state) {
        const ImportRun run = RunImport(file, out);
        if (!run.ran) {
            state.SkipWithError("ovntool did not run to its end");
            return;
        }
        peakMiB = std::max(peakMiB, run.peakResidentMiB);
        slowest = std::max(slowest, run.seconds);
    }
    state.counters["peak_rss_MiB"] = peakMiB;
    state.counters["slowest_s"] = slowest;
    if (peakMiB >= maxResidentMiB) {
        state.SkipWithError(
            ("peak resident memory at or above " + std::to_string(int(maxResidentMiB)) + " MiB").c_str());
    }
    if (slowest >= 2.0) state.SkipWithError("a run took 2 s or more");
}

}  // namespace ovn_bench
