// The RTF reader alone, in megabytes of RTF a second: a generated formatted
// document of a few megabytes, read into the text flow without a print job
// (lines are laid out and freed, nothing is drawn), and printed through a
// whole job to the printing library's recording of drawing calls.

#include "FormattedDocument.h"

#include <AppSettings.h>
#include <Module.h>
#include <PrintJob.h>
#include <PrintingLibrary.h>
#include <RtfReader.h>
#include <Source.h>
#include <TextFlow.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kParagraphs = 6000; // about 4 MB

const std::string& Document()
{
    static const std::string document = bench::FormattedRtf(kParagraphs);
    return document;
}

bool BindLibrary()
{
    static const bool bound = [] {
        setenv("LC_ALL", "C.UTF-8", 0);
        setenv("TALLOWIN_LIBDIR", TALLOWIN_LIBDIR, 0);
        return platform::BindPrintingLibrary(platform::LoadLibraryW(platform::kPrintingLibraryFile));
    }();
    return bound;
}

bool LoadSource()
{
    const std::string& document = Document();
    if (!rtf::AllocateSourceData(static_cast<std::int32_t>(document.size())))
        return false;
    std::memcpy(rtf::SourceData, document.data(), document.size());
    return true;
}

void ParseWithoutJob(benchmark::State& state)
{
    if (!BindLibrary()) {
        state.SkipWithError("the printing library is not there");
        return;
    }
    for (auto _ : state) {
        printengine::ResetPrintEngine();
        rtf::ResetRtfReader();
        if (!LoadSource()) {
            state.SkipWithError("no memory for the document");
            return;
        }
        if (rtf::RtfParse() != rtf::kRtfOk)
            state.SkipWithError("the document did not parse");
        printengine::FreeRunList();
        printengine::FreeFlowResources();
        rtf::ReleaseSourceData();
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Document().size()));
}

void PrintToRecording(benchmark::State& state)
{
    if (!BindLibrary()) {
        state.SkipWithError("the printing library is not there");
        return;
    }
    const std::filesystem::path recording
        = std::filesystem::temp_directory_path() / ("tallowin-rtf-bench-" + std::to_string(getpid()) + ".txt");
    setenv("PLOTWISE_OUTPUT", recording.c_str(), 1);
    core::Settings().QuickPrint = 1;
    for (auto _ : state) {
        printengine::ResetPrintEngine();
        if (!LoadSource()) {
            state.SkipWithError("no memory for the document");
            return;
        }
        if (rtf::RtfPrintDocument() != rtf::kRtfPrinted)
            state.SkipWithError("the document did not print");
        rtf::ReleaseSourceData();
    }
    std::filesystem::remove(recording);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Document().size()));
}

BENCHMARK(ParseWithoutJob)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PrintToRecording)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
