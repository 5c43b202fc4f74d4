// Prints a generated 20,000-line log file to PDF as a whole process, as a
// user would: `tallowin /F log.txt /Q /E` (the file given with --file, which
// writes its directories with backslashes) with PLOTWISE_OUTPUT naming the
// PDF. Reports pages per second and the peak memory of the process.

#include "LogFile.h"
#include "ProcessRun.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using bench::ChildResult;
using bench::CountPdfPages;
using bench::Quote;
using bench::RunProcess;

class Workspace {
public:
    Workspace()
    {
        dir_ = fs::temp_directory_path() / ("tallowin-bench-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        ready_ = bench::WriteLogFile(Log());
    }
    ~Workspace() { fs::remove_all(dir_); }
    fs::path Log() const { return dir_ / "log.txt"; }
    fs::path Pdf() const { return dir_ / "out.pdf"; }
    fs::path Registry() const { return dir_ / "registry.reg"; }
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

void Report(benchmark::State& state, int pages, long peakKilobytes)
{
    state.counters["pages"] = pages;
    state.counters["pages_per_second"] = benchmark::Counter(
        static_cast<double>(pages) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = static_cast<double>(peakKilobytes) / 1024.0;
}

void TallowinToPdf(benchmark::State& state)
{
    if (!Files().Ready() || !fs::exists(TALLOWIN_PROGRAM)) {
        state.SkipWithError("the program or the log file is missing");
        return;
    }
    std::string commandLine = "PLOTWISE_OUTPUT=" + Quote(Files().Pdf()) + " TALLOWIN_REGISTRY="
        + Quote(Files().Registry()) + " " + Quote(TALLOWIN_PROGRAM) + " --file=" + Quote(Files().Log()) + " /Q /E";
    long peak = 0;
    for (auto _ : state) {
        ChildResult result = RunProcess(commandLine);
        if (result.Status != 0) {
            state.SkipWithError("tallowin did not print the file");
            return;
        }
        peak = std::max(peak, result.PeakKilobytes);
    }
    Report(state, CountPdfPages(Files().Pdf()), peak);
}

BENCHMARK(TallowinToPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
