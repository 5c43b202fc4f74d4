// The cost of one printed page against the size of the sheet: a sheet of
// 1,024 rows and one of 16,384 rows, 26 columns each, printed through the
// printing library to its recording destination. The time per page must
// not grow with the number of rows; the full walk of every record is
// measured beside the indexed one to show what the index saves.
//
//   build/bin/spreadsheet_print_bench --benchmark_filter=IndexedWalk
//       --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
//
// reports, per case, the time of the whole print and the "per_page" counter,
// with the fastest repetition as "_min". On a shared machine only runs
// interleaved like this compare: otherwise the two sizes run minutes apart,
// and the machine's speed changes more than the sizes' difference.

#include <AppSettings.h>
#include <MessageBox.h>
#include <Module.h>
#include <PrintJob.h>
#include <PrintWorkbook.h>
#include <PrintingLibrary.h>
#include <SheetWalk.h>
#include <WorkbookReader.h>
#include <WorkbookWriter.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace spreadsheet;

constexpr int kColumns = 26;
constexpr int kPrintedRows = 512;
constexpr int kShortSheetRows = 1024;

// The run's own folder, removed when the run ends.
struct RunDirectory {
    fs::path Path = fs::temp_directory_path() / ("sheetprint-bench-" + std::to_string(::getpid()));
    RunDirectory() { fs::create_directories(Path); }
    ~RunDirectory()
    {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
};

const fs::path& Directory()
{
    static const RunDirectory directory;
    return directory.Path;
}

// A sheet of `rows` rows and 26 columns: texts and numbers in two formats.
// The numbers repeat every 1,024 rows, so that the last 512 rows of either
// sheet hold the same cells and print the same text: only their row numbers
// differ.
fs::path SheetFile(int rows)
{
    const fs::path path = Directory() / ("sheet-" + std::to_string(rows) + ".pxl");
    if (fs::exists(path))
        return path;
    WorkbookDescription workbook;
    FontDescription font;
    font.Name = u"Liberation Sans";
    workbook.Fonts = { font };
    CellFormatDescription money;
    money.NumberFormat = 4;
    CellFormatDescription shaded;
    shaded.Background = 22;
    workbook.CellFormats = { CellFormatDescription {}, money, shaded };
    SheetDescription& sheet = workbook.Sheets[0];
    sheet.DefaultColWidth = 2560;
    sheet.DefaultRowHeight = 255;
    sheet.Cells.reserve(static_cast<std::size_t>(rows) * kColumns);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const auto r = static_cast<std::uint16_t>(row);
            const auto c = static_cast<std::uint8_t>(column);
            if (column % 3 == 0)
                sheet.Cells.push_back(Text(r, c, u"Item " + std::u16string(1, static_cast<char16_t>(u'A' + column))));
            else
                sheet.Cells.push_back(Number(r, c, (row % kShortSheetRows) * 1.25 + column, column % 3 == 1 ? 1 : 0));
        }
    }
    WriteFileBytes(path.string(), WriteWorkbook(workbook));
    return path;
}

void PrepareRun()
{
    static bool bound = false;
    if (!bound) {
        bound = platform::BindPrintingLibrary(platform::LoadLibraryW(platform::kPrintingLibraryFile));
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("TALLOWIN_REGISTRY", (Directory() / "settings.reg").c_str(), 1);
        setenv("PLOTWISE_CONFIG", (Directory() / "no-config").c_str(), 1);
        setenv("PLOTWISE_OUTPUT", (Directory() / "job.txt").c_str(), 1);
        setenv("PLOTWISE_PAPER", "letter", 1);
        setenv("PLOTWISE_DPI", "300", 1);
        platform::SetMessageBoxHost([](std::u16string_view, std::u16string_view) { return platform::IDOK; });
    }
    core::ResetAppSettings();
    core::ResetRunOptions();
    core::Settings().ViewMode = core::kViewWorkbooks;
    core::Options().SkipSheetDialog = 1;
    core::Options().SheetRange = 2;
}

// The pages of the last print, counted in its recording.
int RecordedPages()
{
    std::ifstream recording(Directory() / "job.txt");
    int pages = 0;
    for (std::string line; std::getline(recording, line);)
        pages += line.starts_with("StartPage") ? 1 : 0;
    return pages;
}

// Prints the last 512 rows of a sheet of `rows` rows: the same number of
// pages from sheets of different sizes, at the far end of the bigger one.
void PrintSheet(benchmark::State& state, SheetWalkMode mode)
{
    const int rows = static_cast<int>(state.range(0));
    const std::u16string path = [&] {
        const std::string name = SheetFile(rows).string();
        return std::u16string(name.begin(), name.end());
    }();
    PreferredSheetWalk() = mode;
    for (auto _ : state) {
        PrepareRun();
        core::Options().SheetRange = 3;
        core::Options().SheetRangeFrom = { 0, static_cast<std::uint16_t>(rows - kPrintedRows) };
        core::Options().SheetRangeTo = { kColumns - 1, static_cast<std::uint16_t>(rows - 1) };
        PrintWorkbook(nullptr, nullptr, path.c_str());
    }
    const int pages = RecordedPages();
    state.counters["pages"] = pages;
    state.counters["per_page"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * pages, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    PreferredSheetWalk() = SheetWalkMode::Indexed;
}

void BM_IndexedWalk(benchmark::State& state)
{
    PrintSheet(state, SheetWalkMode::Indexed);
}

void BM_FullWalk(benchmark::State& state)
{
    PrintSheet(state, SheetWalkMode::Full);
}

// The 5,000-row sample sheet, populated range, as the program prints it:
// the core of a whole-process print, without start-up and the output file
// format.
void BM_LargeSample(benchmark::State& state)
{
    const std::string name = TALLOWIN_SAMPLES_DIR "/large-5000x10.pxl";
    const std::u16string path(name.begin(), name.end());
    PrepareRun();
    setenv("PLOTWISE_DPI", "600", 1); // the printing library's own resolution
    for (auto _ : state) {
        PrepareRun();
        PrintWorkbook(nullptr, nullptr, path.c_str());
    }
    setenv("PLOTWISE_DPI", "300", 1);
    const int pages = RecordedPages();
    state.counters["pages"] = pages;
}

// The reading alone: every record is checked and the row index built
// before anything prints, so this part grows with the sheet.
void BM_ReadWorkbook(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const std::string name = SheetFile(rows).string();
    const std::u16string path(name.begin(), name.end());
    PrepareRun();
    for (auto _ : state) {
        benchmark::DoNotOptimize(OpenWorkbook(path.c_str()));
        ReleaseWorkbook();
    }
}

// The reading as a print meets it: the file's bytes are no longer in the
// processor's caches, which other work has filled since.
void BM_ReadWorkbookCold(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const std::string name = SheetFile(rows).string();
    const std::u16string path(name.begin(), name.end());
    PrepareRun();
    std::vector<std::uint8_t> other(64 << 20, 1);
    unsigned sum = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t i = 0; i < other.size(); i += 64)
            sum += other[i]++;
        state.ResumeTiming();
        benchmark::DoNotOptimize(OpenWorkbook(path.c_str()));
        ReleaseWorkbook();
    }
    benchmark::DoNotOptimize(sum);
}

double Fastest(const std::vector<double>& times)
{
    return times.empty() ? 0.0 : *std::min_element(times.begin(), times.end());
}

BENCHMARK(BM_IndexedWalk)
    ->Arg(kShortSheetRows)
    ->Arg(16384)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(BM_FullWalk)->Arg(kShortSheetRows)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeSample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWorkbook)->Arg(kShortSheetRows)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWorkbookCold)->Arg(kShortSheetRows)->Arg(16384)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
