// A full 100-slot menu through ovntool's export and import, as CSV and as an
// .xlsx workbook side by side, each run in-process to and from a temporary directory.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "menufile/Crc.h"
#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"
#include "model/MenuModel.h"
#include "tools/ovntool/Commands.h"

namespace {

namespace fs = std::filesystem;

// Every slot in use, with a name, so that each row of the sheet is full.
class FullMenuDirectory {
public:
    FullMenuDirectory() {
        ovn::BuildCrcTables();
        std::string pattern = (fs::temp_directory_path() / "ovn-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        dir_ = pattern;
        ovn::MenuItemTable items;
        for (std::size_t slot = 0; slot < items.size(); ++slot) {
            std::string time = std::to_string(100 + slot % 60);  // 01:00 to 01:59
            time.insert(time.begin(), '0');
            items[slot] = {"ITEM " + std::to_string(slot),
                           std::to_string(200 + slot * 3),
                           "160",
                           time,
                           slot % 2 ? "LOW" : "HIGH",
                           std::to_string(slot % 11 * 10),
                           static_cast<std::uint8_t>(slot % 2)};
        }
        ovn::MenuImageBytes image{};
        ovn::EncodeMenu(items, ovn::kGasOven, image);
        ok_ = ovn::MenuSave(Path("menu.ovn"), image, [](const ovn::StorageFailure&) {}) &&
              Run({"export", Path("menu.ovn"), "-o", Path("menu.csv")}) &&
              Run({"export", Path("menu.ovn"), "--format", "xlsx", "-o", Path("menu.xlsx")});
    }
    ~FullMenuDirectory() {
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
    }
    bool ok() const { return ok_; }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static bool Run(const ovntool::Args& args) {
        std::ostringstream out, err;
        const bool ok = ovntool::RunTool(args, out, err) == ovntool::kExitOk;
        if (!ok) fprintf(stderr, "%s", err.str().c_str());
        return ok;
    }

private:
    fs::path dir_;
    bool ok_ = false;
};

void Export(benchmark::State& state, const char* format) {
    const FullMenuDirectory dir;
    bool failed = !dir.ok();
    const std::string out = dir.Path(std::string("out.") + format);
    for (auto _ : state) {
        failed |= !FullMenuDirectory::Run({"export", dir.Path("menu.ovn"), "--format", format, "-o", out});
    }
    if (failed) state.SkipWithError("export failed");
    state.counters["bytes"] = static_cast<double>(fs::file_size(out));
}

void Import(benchmark::State& state, const char* format) {
    const FullMenuDirectory dir;
    bool failed = !dir.ok();
    for (auto _ : state) {
        failed |= !FullMenuDirectory::Run(
            {"import", dir.Path(std::string("menu.") + format), "--oven", "gas", "-o", dir.Path("out.ovn")});
    }
    if (failed) state.SkipWithError("import failed");
}

BENCHMARK_CAPTURE(Export, Csv, "csv")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Export, Xlsx, "xlsx")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Import, Csv, "csv")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Import, Xlsx, "xlsx")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
