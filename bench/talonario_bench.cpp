// SPDX-License-Identifier: GPL-3.0-or-later
// In-process benchmarks: the encoder beside zint's, the drawing, the barcode
// production on the window, one page to PDF and building the window.
// scripts/bench runs them with the start-up measurements and checks the budget.

#include <benchmark/benchmark.h>
#include <zint.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BenchPlatform.h"
#include "app/VoucherWindow.h"
#include "assets/Assets.h"
#include "barcode/Codigo.h"
#include "barcode/ImageSurface.h"

namespace {

// The payment code of the voucher FillVoucher leaves: "5247", the C.U.I.T.,
// the total 1881.69 in six pesos digits and two cents digits.
const std::string kCodeText = "52472012345678900188169";

constexpr int kRepetitions = 9;

// A surface that only counts: the encoder's own cost, with the drawing
// reduced to one virtual call per module column.
class CountingSurface final : public codigo::DiscardingSurface {
  public:
    std::int64_t lines = 0;

    void Line(std::int16_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
              std::uint32_t) override {
        ++lines;
    }
};

// What typing the voucher and leaving its amount boxes would leave there.
void FillVoucher(app::VoucherWindow& window) {
    const std::pair<const char*, const char*> values[] = {
        {"txtNombre", "Taller Norte"}, {"txtCuit", "20123456789"},    {"txtMes", "5"},
        {"txtAnio", "2026"},           {"txtCPersonal", "7"},         {"txtRemuneracion", "124123"},
        {"txtRemuneracionDec", "45"},  {"txtRecargo", "12"},          {"txtRecargoDec", "34"},
        {"txtOtrosConceptos", "7"},    {"txtOtrosConceptosDec", "50"}};
    for (const auto& [name, value] : values) {
        window.setText(QString::fromUtf8(name), QString::fromUtf8(value));
    }
    window.ComputeContribution();
}

// A filled window with its barcode produced, as the print run finds it.
struct ReadyWindow {
    BenchPlatform platform;
    app::VoucherWindow window{platform};

    ReadyWindow() {
        FillVoucher(window);
        if (!window.GenerateBarcode()) {
            throw std::runtime_error("the voucher was refused");
        }
    }
};

// --- Encoding ---------------------------------------------------------------

void BM_Encode_Codigo(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<int> symbols = codigo::EncodeSymbols(kCodeText);
        benchmark::DoNotOptimize(symbols.data());
    }
    state.SetLabel(std::to_string(codigo::EncodeSymbols(kCodeText).size()) + " symbols");
}
BENCHMARK(BM_Encode_Codigo)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

void BM_Encode_CodigoCountingSurface(benchmark::State& state) {
    CountingSurface surface;
    for (auto _ : state) {
        codigo::DrawBarcode(surface, 6, kCodeText, 0);
        benchmark::DoNotOptimize(surface.lines);
    }
    state.counters["columns"] =
        benchmark::Counter(static_cast<double>(surface.lines), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Encode_CodigoCountingSurface)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

// zint with a symbol made and freed per barcode, as EncodeSymbols builds its
// result per barcode.
void BM_Encode_Zint(benchmark::State& state) {
    const auto* data = reinterpret_cast<const unsigned char*>(kCodeText.data());
    const int length = static_cast<int>(kCodeText.size());
    int width = 0;
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = BARCODE_CODE128;
        if (ZBarcode_Encode(symbol, data, length) >= ZINT_ERROR) {
            state.SkipWithError(symbol->errtxt);
        }
        width = symbol->width;
        benchmark::DoNotOptimize(symbol->encoded_data);
        ZBarcode_Delete(symbol);
    }
    state.SetLabel(std::to_string(width) + " modules");
}
BENCHMARK(BM_Encode_Zint)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

// zint with one symbol cleared between barcodes: its cheapest use.
void BM_Encode_ZintReused(benchmark::State& state) {
    const auto* data = reinterpret_cast<const unsigned char*>(kCodeText.data());
    const int length = static_cast<int>(kCodeText.size());
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> symbol(ZBarcode_Create(),
                                                                    &ZBarcode_Delete);
    symbol->symbology = BARCODE_CODE128;
    for (auto _ : state) {
        ZBarcode_Clear(symbol.get());
        if (ZBarcode_Encode(symbol.get(), data, length) >= ZINT_ERROR) {
            state.SkipWithError(symbol->errtxt);
        }
        benchmark::DoNotOptimize(symbol->encoded_data);
    }
}
BENCHMARK(BM_Encode_ZintReused)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

// --- Drawing ----------------------------------------------------------------

// One surface for every barcode, as the window keeps its canvas.
void BM_DrawBarcode_ImageSurface(benchmark::State& state) {
    codigo::ImageSurface surface;
    for (auto _ : state) {
        codigo::DrawBarcode(surface, 6, kCodeText, 0);
        benchmark::DoNotOptimize(surface.picture().constBits());
    }
    state.SetLabel(std::to_string(surface.picture().width()) + "x" +
                   std::to_string(surface.picture().height()) + " px");
}
BENCHMARK(BM_DrawBarcode_ImageSurface)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// --- The window -------------------------------------------------------------

// Validation, payment code, drawing, the bitmap written, read back and deleted.
void BM_GenerateBarcode(benchmark::State& state) {
    ReadyWindow ready;
    for (auto _ : state) {
        if (!ready.window.GenerateBarcode()) {
            state.SkipWithError("the voucher was refused");
            break;
        }
    }
    if (ready.window.text(QStringLiteral("Text1")).toStdString() != kCodeText) {
        state.SkipWithError("the payment code is not the one the encoder benchmarks use");
    }
    if (!QDir(ready.platform.folder()).isEmpty()) {
        state.SkipWithError("the temporary bitmap was left behind");
    }
}
BENCHMARK(BM_GenerateBarcode)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// Part of the above: the bitmap's round trip through the program's folder.
void BM_BitmapRoundTrip(benchmark::State& state) {
    BenchPlatform platform;
    codigo::ImageSurface surface;
    codigo::DrawBarcode(surface, 6, kCodeText, 0);
    const QString path = platform.folder() + QStringLiteral("/picCode.bmp");
    for (auto _ : state) {
        platform.SavePicture(surface.picture(), path);
        QImage loaded = platform.LoadPicture(path);
        platform.DeleteFile(path);
        benchmark::DoNotOptimize(loaded.constBits());
    }
}
BENCHMARK(BM_BitmapRoundTrip)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// The window as it is recorded for a copy: print presentation, no borders.
void PrintPresentation(app::VoucherWindow& window) {
    window.SetPrintMode(true);
    window.SetFieldBorders(0);
}

void BM_RecordPage(benchmark::State& state) {
    ReadyWindow ready;
    PrintPresentation(ready.window);
    for (auto _ : state) {
        platform::Page page = ready.window.RecordPage();
        benchmark::DoNotOptimize(page.picture.size());
    }
}
BENCHMARK(BM_RecordPage)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// One copy recorded and replayed into a one-page PDF on disk.
void BM_OnePageToPdf(benchmark::State& state) {
    ReadyWindow ready;
    PrintPresentation(ready.window);
    const QString path = ready.platform.folder() + QStringLiteral("/page.pdf");
    for (auto _ : state) {
        ready.platform.WritePdf({ready.window.RecordPage()}, path);
    }
    state.counters["pdf_bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK(BM_OnePageToPdf)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Part of the above: replaying a page already recorded.
void BM_WritePdfOnly(benchmark::State& state) {
    ReadyWindow ready;
    PrintPresentation(ready.window);
    const std::vector<platform::Page> pages{ready.window.RecordPage()};
    const QString path = ready.platform.folder() + QStringLiteral("/page.pdf");
    for (auto _ : state) {
        ready.platform.WritePdf(pages, path);
    }
}
BENCHMARK(BM_WritePdfOnly)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The whole save: barcode, both copies recorded, the two-page PDF.
void BM_WriteVoucherPdf(benchmark::State& state) {
    ReadyWindow ready;
    const QString path = ready.platform.folder() + QStringLiteral("/voucher.pdf");
    for (auto _ : state) {
        if (!ready.window.WriteVoucherPdf(path)) {
            state.SkipWithError("the voucher was refused");
            break;
        }
    }
}
BENCHMARK(BM_WriteVoucherPdf)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_BuildWindow(benchmark::State& state) {
    BenchPlatform platform;
    for (auto _ : state) {
        app::VoucherWindow window(platform);
        benchmark::DoNotOptimize(&window);
    }
}
BENCHMARK(BM_BuildWindow)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Never a real display: the window is built but not shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    InitAssets();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
