// Prints a generated log file of 200 lines to PNG pages as a whole process,
// `tallowin /F log.txt /Q /E` with PLOTWISE_OUTPUT naming a .png file and
// PLOTWISE_DPI the resolution. Reports pages per second and the peak memory
// of the process (its maximum resident set) and its processor time a page at 150 and at 600 dots per inch:
// the pages are drawn in bands, so the peak must not grow with the
// resolution.

#include "LogFile.h"
#include "ProcessRun.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kLines = 200;

class Workspace {
public:
    Workspace()
    {
        dir_ = fs::temp_directory_path() / ("tallowin-png-bench-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        ready_ = bench::WriteLogFile(Log(), kLines);
    }
    ~Workspace() { fs::remove_all(dir_); }
    fs::path Log() const { return dir_ / "log.txt"; }
    fs::path Png() const { return dir_ / "page.png"; }
    fs::path Registry() const { return dir_ / "registry.reg"; }
    const fs::path& Dir() const { return dir_; }
    bool Ready() const { return ready_; }

private:
    fs::path dir_;
    bool ready_ = false;
};

Workspace& Files()
{
    static Workspace workspace;
    return workspace;
}

int CountPages()
{
    int pages = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(Files().Dir()))
        pages += entry.path().extension() == ".png" ? 1 : 0;
    return pages;
}

void TallowinToPng(benchmark::State& state)
{
    if (!Files().Ready() || !fs::exists(TALLOWIN_PROGRAM)) {
        state.SkipWithError("the program or the log file is missing");
        return;
    }
    const std::string commandLine = "PLOTWISE_OUTPUT=" + bench::Quote(Files().Png())
        + " PLOTWISE_DPI=" + std::to_string(state.range(0)) + " TALLOWIN_REGISTRY=" + bench::Quote(Files().Registry())
        + " " + bench::Quote(TALLOWIN_PROGRAM) + " --file=" + bench::Quote(Files().Log()) + " /Q /E";
    long peak = 0;
    double cpu = 0;
    for (auto _ : state) {
        const bench::ChildResult result = bench::RunProcess(commandLine);
        if (result.Status != 0) {
            state.SkipWithError("tallowin did not print the file");
            return;
        }
        peak = std::max(peak, result.PeakKilobytes);
        cpu += result.CpuMilliseconds;
    }
    const int pages = CountPages();
    // The processor time a page takes, steadier than the wall time on a
    // machine that also runs other work.
    state.counters["cpu_ms_per_page"]
        = pages > 0 ? cpu / static_cast<double>(pages) / static_cast<double>(state.iterations()) : 0;
    state.counters["pages"] = pages;
    state.counters["pages_per_second"] = benchmark::Counter(
        static_cast<double>(pages) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
}

BENCHMARK(TallowinToPng)->Arg(150)->Arg(600)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
