// The fixed cost of a short job, whole process, warm file cache: a one-page
// text, a one-page RTF letter and one e-mail message printed to PDF, and
// `tallowin --version` as the floor of a process start. Each child gets its
// own settings file and cache folder (XDG_CACHE_HOME) in a scratch folder,
// so the first run of each benchmark fills the caches and the timed runs
// find them warm. Besides the wall time each reports the child's processor
// time (child_cpu_ms).

#include "ProcessRun.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kProgram = TALLOWIN_PROGRAM;
const fs::path kMessage = fs::path(TALLOWIN_SAMPLE_MAILDIR) / "cur/1764921600.M100001P4242.tallowin:2,S";

class Workspace {
public:
    Workspace()
    {
        dir_ = fs::temp_directory_path() / ("tallowin-startup-bench-" + std::to_string(getpid()));
        fs::create_directories(dir_ / "cache");
        std::ofstream text(dir_ / "page.txt", std::ios::binary);
        for (int line = 1; line <= 40; ++line)
            text << "Line " << line << " of a page of plain text.\r\n";
        std::ofstream rtf(dir_ / "letter.rtf", std::ios::binary);
        rtf << R"({\rtf1\ansi\deff0{\fonttbl{\f0\froman Times New Roman;}{\f1\fswiss Arial;}})"
               R"({\colortbl;\red0\green0\blue128;}\paperw12240\paperh15840\margl1440\margr1440)"
               R"({\pard\qc\f1\fs32\b\cf1 A one-page letter\par}\pard\f0\fs24)";
        for (int paragraph = 0; paragraph < 8; ++paragraph)
            rtf << R"(\par Dear reader, this paragraph has {\b bold}, {\i italic} and {\ul underlined} words, )"
                   R"(and is long enough to wrap over a few lines of the page at twelve points.)";
        rtf << "\\par}\n";
        ready_ = static_cast<bool>(text) && static_cast<bool>(rtf);
        setenv("TALLOWIN_REGISTRY", (dir_ / "registry.reg").c_str(), 1);
        setenv("TALLOWIN_MAILSTORES", (dir_ / "no-stores.conf").c_str(), 1);
        setenv("XDG_CACHE_HOME", (dir_ / "cache").c_str(), 1);
        setenv("SOURCE_DATE_EPOCH", "1764921600", 1);
    }
    ~Workspace() { fs::remove_all(dir_); }
    fs::path Dir() const { return dir_; }
    bool Ready() const { return ready_ && fs::exists(kProgram); }

private:
    fs::path dir_;
    bool ready_ = false;
};

Workspace& Files()
{
    static Workspace files;
    return files;
}

void Run(benchmark::State& state, const std::vector<std::string>& arguments, bool printsPdf)
{
    if (!Files().Ready()) {
        state.SkipWithError("the program or the documents are missing");
        return;
    }
    const fs::path pdf = Files().Dir() / "out.pdf";
    const std::string name = printsPdf ? "PLOTWISE_OUTPUT" : "";
    // One run outside the timing fills the caches.
    if (bench::RunProgram(arguments, name, pdf.string()).Status != 0) {
        state.SkipWithError("tallowin failed");
        return;
    }
    long peak = 0;
    double cpu = 0;
    for (auto _ : state) {
        const bench::ChildResult result = bench::RunProgram(arguments, name, pdf.string());
        if (result.Status != 0) {
            state.SkipWithError("tallowin failed");
            return;
        }
        peak = std::max(peak, result.PeakKilobytes);
        cpu += result.CpuMilliseconds;
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
    // The child's own processor time, which other work on the machine
    // disturbs less than the wall time.
    state.counters["child_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}

void BM_Version(benchmark::State& state)
{
    Run(state, { kProgram.string(), "--version" }, false);
}

void BM_OnePageText(benchmark::State& state)
{
    Run(state, { kProgram.string(), "--file=" + (Files().Dir() / "page.txt").string(), "/Q", "/E" }, true);
}

void BM_OnePageRtf(benchmark::State& state)
{
    Run(state, { kProgram.string(), "--file=" + (Files().Dir() / "letter.rtf").string(), "/Q", "/E" }, true);
}

void BM_OneMailMessage(benchmark::State& state)
{
    Run(state, { kProgram.string(), "--quick", "--mail", kMessage.string() }, true);
}

BENCHMARK(BM_Version)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_OnePageText)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_OnePageRtf)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_OneMailMessage)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
