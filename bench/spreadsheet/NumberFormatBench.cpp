// The text of number cells: the values of the 5,000-row sample sheet in the
// built-in formats it and other sheets use, without a printer (every text
// fits its cell). Reports the time per cell.
//
//   build/bin/spreadsheet_number_format_bench

#include <CellValueFormat.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using namespace spreadsheet;

constexpr int kRows = 5000;
constexpr int kColumns = 9;

// The values of the sample sheet's number columns.
const std::vector<double>& SheetValues()
{
    static const std::vector<double> values = [] {
        std::vector<double> all;
        for (int r = 1; r <= kRows; ++r) {
            for (int c = 1; c <= kColumns; ++c)
                all.push_back((r * 37 + c * 11) % 1000 * 1.25 - 300);
        }
        return all;
    }();
    return values;
}

void FormatCells(benchmark::State& state)
{
    setenv("LC_ALL", "en_US.UTF-8", 1);
    const auto number = static_cast<std::uint16_t>(state.range(0));
    const CellRect cell { 0, 0, 2048, 255 };
    CellText text;
    for (auto _ : state) {
        for (double value : SheetValues()) {
            std::uint16_t format = number;
            FormatNumberCell(value, format, cell, text);
            benchmark::DoNotOptimize(text.Data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * SheetValues().size()));
}

// 0 General, 2 "0.00_);(0.00)", 4 "#,##0.00;(#,##0.00)", 10
// "$#,##0.00;($#,##0.00)", 32 the fixed "0.00%".
BENCHMARK(FormatCells)->Arg(0)->Arg(2)->Arg(4)->Arg(10)->Arg(32)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
