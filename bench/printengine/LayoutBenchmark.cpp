// Lays out long texts through the flow, as the plain-text printer feeds
// them, onto the printing library's recording and PDF destinations. Reports
// pages and characters per second of whole jobs.

#include <AppSettings.h>
#include <Module.h>
#include <PrintJob.h>
#include <PrintingLibrary.h>
#include <TextFlow.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

int pagesStarted = 0;
int32_t (*forwardStartPage)(HDC) = nullptr;

int32_t CountingStartPage(HDC dc)
{
    ++pagesStarted;
    return forwardStartPage(dc);
}

bool BindLibrary()
{
    if (!platform::PrintingLibraryBound()
        && !platform::BindPrintingLibrary(platform::LoadLibraryW(platform::kPrintingLibraryFile)))
        return false;
    if (forwardStartPage == nullptr) {
        forwardStartPage = PLW_StartPage;
        PLW_StartPage = CountingStartPage;
    }
    return true;
}

// A log-like text: lines of 40 to 110 characters with words, numbers and
// an occasional tab.
std::u16string LogText(int lines)
{
    std::u16string text;
    for (int i = 0; i < lines; ++i) {
        text += u"2026-12-06 16:" + std::u16string(1, char16_t(u'0' + i % 6)) + u"0:00 worker-";
        text += char16_t(u'0' + i % 10);
        text += u"\tprocessed request number ";
        for (char ch : std::to_string(i))
            text += char16_t(ch);
        for (int word = 0; word < i % 9; ++word)
            text += u" payload";
        text += u"\r\n";
    }
    return text;
}

// One paragraph of many words, for justified layout.
std::u16string LongParagraphs(int paragraphs)
{
    std::u16string text;
    for (int p = 0; p < paragraphs; ++p) {
        for (int word = 0; word < 300; ++word)
            text += (word % 7 == 0) ? u"alignment " : u"text ";
        text += u"\r\n";
    }
    return text;
}

void PrintText(const std::u16string& text, std::uint8_t alignment, bool plainText)
{
    printengine::StartPrintJob();
    printengine::BeginFontTable();
    printengine::SetFaceName(u"Liberation Mono");
    printengine::AddFontTableEntry();
    printengine::CurrentCharFormat() = printengine::CharFormat {};
    printengine::CurrentCharFormat().Size = 20;
    printengine::CurrentParaFormat() = printengine::ParaFormat {};
    printengine::CurrentParaFormat().Alignment = alignment;
    printengine::Job().PlainTextMode = plainText ? 1 : 0;
    for (char16_t ch : text)
        printengine::PutFlowChar(ch);
    printengine::EndPrintJob();
}

void RunJobs(
    benchmark::State& state, const std::u16string& text, const char* extension, std::uint8_t alignment, bool plainText)
{
    if (!BindLibrary()) {
        state.SkipWithError("the printing library could not be loaded");
        return;
    }
    const fs::path output = fs::temp_directory_path() / ("printengine-bench-" + std::to_string(::getpid()) + extension);
    setenv("PLOTWISE_OUTPUT", output.c_str(), 1);
    setenv("PLOTWISE_CONFIG", "/nonexistent", 1);
    setenv("PLOTWISE_PAPER", "letter", 1);
    setenv("PLOTWISE_DPI", "600", 1);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    core::Settings().ViewMode = core::kViewDocuments;
    core::Settings().QuickPrint = 1;

    int pages = 0;
    for (auto _ : state) {
        pagesStarted = 0;
        PrintText(text, alignment, plainText);
        pages = pagesStarted;
    }
    fs::remove(output);
    state.counters["pages"] = pages;
    state.counters["pages/s"]
        = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_PlainTextToRecording(benchmark::State& state)
{
    RunJobs(state, LogText(static_cast<int>(state.range(0))), ".txt", printengine::kAlignLeft, true);
}
BENCHMARK(BM_PlainTextToRecording)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_PlainTextToPdf(benchmark::State& state)
{
    RunJobs(state, LogText(static_cast<int>(state.range(0))), ".pdf", printengine::kAlignLeft, true);
}
BENCHMARK(BM_PlainTextToPdf)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_JustifiedToRecording(benchmark::State& state)
{
    RunJobs(state, LongParagraphs(static_cast<int>(state.range(0))), ".txt", printengine::kAlignJustify, false);
}
BENCHMARK(BM_JustifiedToRecording)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
