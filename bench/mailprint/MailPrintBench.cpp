// Prints one e-mail message to PDF as a whole process, as a user would:
// `tallowin --quick --mail MESSAGE` with PLOTWISE_OUTPUT naming the PDF; the
// target is under 40 ms a message. Three samples of the Maildir: a plain
// English message, a German quoted-printable one with encoded headers, and a
// Japanese base64 one with two attachments, whose glyphs come from a
// fallback font. Reports the peak memory of the process.

#include "ProcessRun.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kProgram = TALLOWIN_PROGRAM;
const fs::path kMaildir = TALLOWIN_SAMPLE_MAILDIR;

const char* const kMessages[] = {
    "cur/1764921600.M100001P4242.tallowin:2,S",
    "cur/1764925200.M200002P4242.tallowin:2,S",
    "new/1764936000.M400004P4242.tallowin",
};

void BM_PrintOneMessageAsAProcess(benchmark::State& state)
{
    const fs::path directory = fs::temp_directory_path() / ("tallowin-mailbench-" + std::to_string(getpid()));
    fs::create_directories(directory);
    setenv("TALLOWIN_REGISTRY", (directory / "registry.reg").c_str(), 1);
    setenv("TALLOWIN_MAILSTORES", (directory / "no-stores.conf").c_str(), 1);
    const fs::path pdf = directory / "message.pdf";
    const fs::path message = kMaildir / kMessages[state.range(0)];
    state.SetLabel(message.filename().string());
    long peak = 0;
    for (auto _ : state) {
        const bench::ChildResult result = bench::RunProgram(
            { kProgram.string(), "--quick", "--mail", message.string() }, "PLOTWISE_OUTPUT", pdf.string());
        if (result.Status != 0) {
            state.SkipWithError("tallowin --mail did not print");
            break;
        }
        peak = std::max(peak, result.PeakKilobytes);
    }
    state.counters["peak_kB"] = static_cast<double>(peak);
    fs::remove_all(directory);
}
BENCHMARK(BM_PrintOneMessageAsAProcess)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
