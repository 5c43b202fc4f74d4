// How fast the library measures and records text: a layout measures every
// run of every line, so measuring must stay far below a microsecond a
// character once a font's advances are known.

#include "plotwise/plotwise.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

namespace {

constexpr char16_t kLine[] = u"The quick brown fox jumps over the lazy dog, and then it runs on 0123456789.";
constexpr int32_t kLineLength = static_cast<int32_t>(std::size(kLine) - 1);

HFONT SansFont()
{
    LOGFONTW font {};
    font.lfHeight = -50;
    font.lfWeight = FW_NORMAL;
    std::u16string face = u"Liberation Sans";
    face.copy(font.lfFaceName, face.size());
    return PLW_CreateFontIndirectW(&font);
}

void MeasureLine(benchmark::State& state)
{
    HDC dc = PLW_GetScreenDC();
    HFONT font = SansFont();
    PLW_SelectObject(dc, font);
    for (auto _ : state) {
        int32_t fit = 0;
        SIZE size {};
        PLW_GetTextExtentExPoint(dc, kLine, kLineLength, 2000, &fit, nullptr, &size);
        benchmark::DoNotOptimize(fit);
    }
    state.SetItemsProcessed(state.iterations() * kLineLength);
    PLW_SelectObject(dc, PLW_GetStockObject(SYSTEM_FONT));
    PLW_DeleteObject(font);
    PLW_ReleaseScreenDC(dc);
}
BENCHMARK(MeasureLine);

// One job of ten pages of sixty lines each, written where `path` says.
void PrintTenPages(benchmark::State& state, const char* path)
{
    setenv("PLOTWISE_OUTPUT", path, 1);
    for (auto _ : state) {
        PLW_Init(u"bench");
        PLW_PAGESETUP setup {};
        setup.lStructSize = sizeof setup;
        PLW_PrintDlg(&setup);
        HDC dc = PLW_GetPrinterDC();
        HFONT font = SansFont();
        PLW_SelectObject(dc, font);
        for (int page = 0; page < 10; ++page) {
            for (int line = 0; line < 60; ++line)
                PLW_ExtTextOut(dc, 450, 450 + line * 60, 0, nullptr, kLine, kLineLength, nullptr);
            PLW_EndPage(dc);
            PLW_StartPage(dc);
        }
        PLW_EndDoc(dc);
        PLW_DeleteDC(dc);
        PLW_DeleteObject(font);
        PLW_UnInit();
    }
    std::remove(path);
}

// On the recording destination, counting lines.
void RecordPages(benchmark::State& state)
{
    PrintTenPages(state, "/tmp/plotwise-bench.txt");
    state.SetItemsProcessed(state.iterations() * 600);
}
BENCHMARK(RecordPages)->Unit(benchmark::kMillisecond);

// To a PDF and to PostScript, counting pages: the PostScript writer is to
// stay within one and a half times the PDF's time.
void PrintDocument(benchmark::State& state, const char* path)
{
    PrintTenPages(state, path);
    state.SetItemsProcessed(state.iterations() * 10);
}
BENCHMARK_CAPTURE(PrintDocument, Pdf, "/tmp/plotwise-bench.pdf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PrintDocument, PostScript, "/tmp/plotwise-bench.ps")->Unit(benchmark::kMillisecond);

} // namespace
