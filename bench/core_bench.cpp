// Costs of the byte-exact core: a whole-menu encode and decode, one CRC pass
// over the 2400 bytes of the item blocks, and a safe save to a temporary directory.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "menufile/Crc.h"
#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"
#include "model/MenuModel.h"

namespace {

// The same kind of menu the codec tests use: default slots and a roast item on every page.
ovn::MenuItemTable SampleMenu() {
    ovn::MenuItemTable items;
    items.fill(ovn::DefaultItem());
    for (std::size_t slot = 0; slot < items.size(); slot += 10) {
        items[slot] = {"ROAST", "350", "160", "0130", "LOW", "80", 1};
    }
    return items;
}

void EncodeFullMenu(benchmark::State& state) {
    const ovn::MenuItemTable items = SampleMenu();
    ovn::MenuImageBytes image{};
    for (auto _ : state) {
        ovn::EncodeMenu(items, ovn::kGasOven, image);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(EncodeFullMenu);

void DecodeFullMenu(benchmark::State& state) {
    ovn::MenuImageBytes image{};
    ovn::EncodeMenu(SampleMenu(), ovn::kGasOven, image);
    ovn::MenuItemTable items;
    ovn::SystemBlockBytes system{};
    for (auto _ : state) {
        ovn::DecodeMenu(image, items, system);
        benchmark::DoNotOptimize(items.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(DecodeFullMenu);

void Crc16Over2400Bytes(benchmark::State& state) {
    ovn::MenuImageBytes image{};
    ovn::EncodeMenu(SampleMenu(), ovn::kGasOven, image);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ovn::CalculateCrc16(image, 8, 2400));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2400);
}
BENCHMARK(Crc16Over2400Bytes);

void SaveMenuToTemporaryDirectory(benchmark::State& state) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "ovn-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const std::string path = pattern + "/BENCH001.ovn";
    ovn::MenuImageBytes image{};
    ovn::EncodeMenu(SampleMenu(), ovn::kGasOven, image);
    bool failed = false;
    for (auto _ : state) {
        failed |= !ovn::MenuSave(path, image, [](const ovn::StorageFailure&) {});
    }
    if (failed) {
        state.SkipWithError("save failed");
    }
    std::error_code ignored;
    fs::remove_all(pattern, ignored);
}
BENCHMARK(SaveMenuToTemporaryDirectory)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
