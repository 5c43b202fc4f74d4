// Prints a generated formatted RTF document of about fifty pages to PDF as a
// whole process, as a caller would: `tallowin /F letter.rtf /Q /E` with
// PLOTWISE_OUTPUT naming the PDF. Reports the pages printed and the peak
// memory of the process (its maximum resident set, from wait4).

#include "FormattedDocument.h"
#include "ProcessRun.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kParagraphs = 335; // fifty pages of Letter

using bench::ChildResult;
using bench::CountPdfPages;
using bench::Quote;
using bench::RunProcess;

class Workspace {
public:
    Workspace()
    {
        dir_ = fs::temp_directory_path() / ("tallowin-rtf-bench-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        std::ofstream out(Document(), std::ios::binary);
        const std::string rtf = bench::FormattedRtf(kParagraphs);
        out.write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
        ready_ = static_cast<bool>(out);
    }
    ~Workspace() { fs::remove_all(dir_); }
    fs::path Document() const { return dir_ / "report.rtf"; }
    fs::path Pdf() const { return dir_ / "report.pdf"; }
    fs::path Registry() const { return dir_ / "registry.reg"; }
    bool Ready() const { return ready_; }

private:
    fs::path dir_;
    bool ready_ = false;
};

void RtfToPdf(benchmark::State& state)
{
    static Workspace files;
    if (!files.Ready() || !fs::exists(TALLOWIN_PROGRAM)) {
        state.SkipWithError("the program or the document is missing");
        return;
    }
    const std::string commandLine = "PLOTWISE_OUTPUT=" + Quote(files.Pdf()) + " TALLOWIN_REGISTRY="
        + Quote(files.Registry()) + " " + Quote(TALLOWIN_PROGRAM) + " --file=" + Quote(files.Document()) + " /Q /E";
    long peak = 0;
    for (auto _ : state) {
        const ChildResult result = RunProcess(commandLine);
        if (result.Status != 0) {
            state.SkipWithError("tallowin did not print the document");
            return;
        }
        peak = std::max(peak, result.PeakKilobytes);
    }
    state.counters["pages"] = CountPdfPages(files.Pdf());
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
}

BENCHMARK(RtfToPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
