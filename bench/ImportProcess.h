// One "ovntool import FILE --oven gas -o OUT" as a process of its own, so that
// its peak resident memory is its own: the import benchmarks' measure.
#pragma once

#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace ovn_bench {

struct ImportRun {
    double seconds = 0;
    double peakResidentMiB = 0;
};

// Standard error goes to /dev/null: the benchmarks measure, the tests read the messages.
inline ImportRun RunImport(const std::string& file, const std::string& out) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (freopen("/dev/null", "w", stderr) == nullptr) _exit(126);
        execl(OVNTOOL_PATH, "ovntool", "import", file.c_str(), "--oven", "gas", "-o", out.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count(), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

}  // namespace ovn_bench
