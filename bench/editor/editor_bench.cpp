// Offscreen timings of the editor window: start-up until the window is shown
// (beside a bare QWidget shown the same way), and reading a menu file through
// decoding and the list rebuild into a window that shows it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "editor/EditorStartup.h"
#include "editor/frmOpening.h"
#include "menufile/Crc.h"
#include "menufile/ImageCodec.h"
#include "menufile/MenuStorage.h"
#include "model/MenuModel.h"

namespace {

std::string g_menuPath;

void BM_BareWindowShown(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<QWidget>();
        window->resize(741, 452);
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareWindowShown)->Unit(benchmark::kMillisecond);

void BM_EditorStartupToShownWindow(benchmark::State& state) {
    for (auto _ : state) {
        ovn::ResetMenuState();
        std::unique_ptr<editor::frmOpening> window;
        if (!editor::RunEditorStartup(window)) state.SkipWithError("start-up failed");
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorStartupToShownWindow)->Unit(benchmark::kMillisecond);

void BM_ReadMenuFileDecodeOnly(benchmark::State& state) {
    ovn::MenuImageBytes image{};
    ovn::MenuItemTable items{};
    ovn::SystemBlockBytes system{};
    for (auto _ : state) {
        ovn::MenuGet(g_menuPath, image, [](const ovn::StorageFailure&) {});
        ovn::DecodeMenu(image, items, system);
        benchmark::DoNotOptimize(items);
    }
}
BENCHMARK(BM_ReadMenuFileDecodeOnly)->Unit(benchmark::kMicrosecond);

void BM_ReadMenuFileIntoWindow(benchmark::State& state) {
    ovn::ResetMenuState();
    ovn::BuildCrcTables();
    editor::frmOpening window;
    window.ShowModeless();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        if (!window.LoadMenuFile(g_menuPath)) state.SkipWithError("read failed");
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ReadMenuFileIntoWindow)->Unit(benchmark::kMillisecond);

// An electric menu with every slot named, written once for the read benchmarks.
bool WriteMenu(const std::string& path) {
    ovn::BuildCrcTables();
    ovn::MenuItemTable items{};
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        ovn::ItemClear(items[static_cast<std::size_t>(slot)]);
        char name[16];
        std::snprintf(name, sizeof name, "ITEM%04d", slot);
        items[static_cast<std::size_t>(slot)].Name = name;
    }
    ovn::MenuImageBytes image{};
    ovn::EncodeMenu(items, ovn::kElectricOven, image);
    return ovn::MenuSave(
        path, image, [](const ovn::StorageFailure& failure) { std::fprintf(stderr, "%s\n", failure.Text().c_str()); });
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    g_menuPath = home.path().toStdString() + "/BENCH001.ovn";
    if (!WriteMenu(g_menuPath)) return 1;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
