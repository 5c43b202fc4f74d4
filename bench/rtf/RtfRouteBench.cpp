// The converter's RTF route on the fifty-page benchmark document, against
// the whole process that prints it: the route reads and writes the document
// in memory (RtfRoute), and the program prints it to PDF (RtfRouteProcess,
// the same run as bench_rtf_print). The share of the route in the process's
// time is the route's time over the process's; it is to stay at or below
// one fifth.

#include "FormattedDocument.h"
#include "ProcessRun.h"

#include <RtfNormaliser.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kParagraphs = 680; // fifty pages of Letter

const std::string& Document()
{
    static const std::string rtf = bench::FormattedRtf(kParagraphs);
    return rtf;
}

void RtfRoute(benchmark::State& state)
{
    const std::string& rtf = Document();
    std::size_t written = 0;
    for (auto _ : state) {
        const auto out = platform::NormaliseRtf({ reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size() });
        if (!out) {
            state.SkipWithError("the route did not read the document");
            return;
        }
        written = out->size();
        benchmark::DoNotOptimize(out->data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
    state.counters["written_KB"] = static_cast<double>(written) / 1024.0;
}

void RtfRouteProcess(benchmark::State& state)
{
    const fs::path dir = fs::temp_directory_path() / ("tallowin-route-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "report.rtf", std::ios::binary) << Document();
    const std::string commandLine = "PLOTWISE_OUTPUT=" + bench::Quote(dir / "report.pdf")
        + " TALLOWIN_REGISTRY=" + bench::Quote(dir / "registry.reg") + " " + bench::Quote(TALLOWIN_PROGRAM)
        + " --file=" + bench::Quote(dir / "report.rtf") + " /Q /E";
    for (auto _ : state) {
        if (bench::RunProcess(commandLine).Status != 0) {
            state.SkipWithError("tallowin did not print the document");
            break;
        }
    }
    fs::remove_all(dir);
}

BENCHMARK(RtfRoute)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(RtfRouteProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
