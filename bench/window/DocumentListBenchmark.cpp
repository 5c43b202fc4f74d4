// The document list of the window model over a documents folder of 1,000
// files (documents, workbooks and others, some in subfolders): how long the
// list of each view takes to build. The target is under 300 ms a list.

#include <WindowSystem.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000;
const char* const kExtensions[] = { ".psw", ".rtf", ".pwi", ".txt", ".pxl", ".pxt", ".doc", ".jpg" };

// The folder, made once for every run.
const fs::path& Folder()
{
    static const fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("tallowin-list-bench-" + std::to_string(getpid()));
        for (int i = 0; i < kFiles; ++i) {
            fs::path dir = path / ("folder" + std::to_string(i % 10)) / (i % 3 == 0 ? "old" : "");
            fs::create_directories(dir);
            std::ofstream(dir / ("file" + std::to_string(i) + kExtensions[i % 8])) << "x";
        }
        return path;
    }();
    return folder;
}

std::intptr_t IgnoreMessages(platform::WindowHandle, unsigned, std::uintptr_t, std::intptr_t)
{
    return 0;
}

void ListView(benchmark::State& state, const char16_t* patterns)
{
    platform::WindowModel windows;
    windows.RegisterClassW({ 0, IgnoreMessages, nullptr, 0, u"BENCH" });
    platform::WindowHandle window = windows.CreateWindowExW(u"BENCH", u"Bench", nullptr);
    if (window == nullptr) {
        state.SkipWithError("no window");
        return;
    }
    platform::DocumentListLayout layout;
    layout.Parent = window;
    layout.Patterns = patterns;
    layout.Folder = Folder();
    std::size_t listed = 0;
    for (auto _ : state) {
        platform::WindowHandle list = windows.CreateDocumentList(layout);
        listed = windows.DocumentList(list)->Entries.size();
        windows.DestroyDocumentList(list);
    }
    state.counters["entries"] = static_cast<double>(listed);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kFiles);
}

void BM_DocumentsView(benchmark::State& state)
{
    ListView(state, u"*.psw *.rtf *.pwi *.txt");
}
void BM_WorkbooksView(benchmark::State& state)
{
    ListView(state, u"*.pxl *.pxt");
}
BENCHMARK(BM_DocumentsView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkbooksView)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
    return 0;
}
