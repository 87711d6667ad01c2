// The menu card of a full menu (100 named slots, roast & hold on a third of
// them) drawn into a PDF in memory, offscreen. The first card, which loads the
// fonts, is drawn before the timing starts. Target: under 50 ms in Release.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QGuiApplication>
#include <string>

#include "card/MenuCard.h"
#include "menufile/Crc.h"
#include "menufile/ImageCodec.h"
#include "model/MenuModel.h"

namespace {

card::Card FullMenuCard() {
    ovn::MenuItemTable items;
    for (int slot = 0; slot < ovn::kSlotCount; ++slot) {
        ovn::MenuItemRecord& item = items[static_cast<std::size_t>(slot)];
        item.Name = "DISH" + std::to_string(slot);
        item.CookTemp = std::to_string(200 + 3 * slot);
        item.CookTime = "0130";
        item.FanSpeed = "HIGH";
        item.PowerLevel = "80";
        item.RoastNHold = slot % 3 == 0 ? 1 : 0;
        item.HoldTemp = "150";
    }
    ovn::MenuImageBytes image{};
    ovn::EncodeMenu(items, ovn::kGasOven, image);
    return card::MakeCard(image, QStringLiteral("FULL.ovn"), QStringLiteral("card_bench"), QDate(2026, 12, 7));
}

void BM_FullMenuCardPdf(benchmark::State& state) {
    const card::Card menuCard = FullMenuCard();
    benchmark::DoNotOptimize(card::CardPdf(menuCard, card::Paper::A4));  // the first font load
    for (auto _ : state) {
        const QByteArray pdf = card::CardPdf(menuCard, card::Paper::A4);
        benchmark::DoNotOptimize(pdf.size());
    }
}
BENCHMARK(BM_FullMenuCardPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    ovn::BuildCrcTables();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
