// Prints arbitrary bytes as a workbook through the printing library to its
// recording destination: every way a damaged workbook reaches the page
// layout and the cell drawing.
#include <AppSettings.h>
#include <MessageBox.h>
#include <Module.h>
#include <PrintWorkbook.h>
#include <PrintingLibrary.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string workbookPath;
std::string workDirectory;

void RemoveWorkDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(workDirectory, ignored);
}

bool Prepare()
{
    const std::string directory = "/tmp/sheetprint-fuzz-" + std::to_string(::getpid());
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    workDirectory = directory;
    std::atexit(RemoveWorkDirectory);
    workbookPath = directory + "/book.pxl";
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("TALLOWIN_REGISTRY", (directory + "/settings.reg").c_str(), 1);
    setenv("PLOTWISE_CONFIG", (directory + "/no-config").c_str(), 1);
    setenv("PLOTWISE_OUTPUT", (directory + "/job.txt").c_str(), 1);
    setenv("PLOTWISE_DPI", "100", 1);
    platform::SetMessageBoxHost([](std::u16string_view, std::u16string_view) { return platform::IDOK; });
    return platform::BindPrintingLibrary(platform::LoadLibraryW(platform::kPrintingLibraryFile));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool ready = Prepare();
    if (!ready)
        std::abort();
    std::FILE* file = std::fopen(workbookPath.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    core::ResetAppSettings();
    core::ResetRunOptions();
    core::Settings().ViewMode = core::kViewWorkbooks;
    core::Options().SkipSheetDialog = 1;
    // The first byte past the records chooses sizing and range, so the
    // fuzzer reaches the scaled drawing and every range.
    if (size > 0) {
        core::Settings().SheetSizing = static_cast<std::uint8_t>(data[size - 1] % 3);
        core::Settings().SheetCustomPercent = static_cast<std::int16_t>(25 + data[size - 1]);
        core::Options().SheetRange = data[size - 1] % 3;
    }
    const std::u16string path(workbookPath.begin(), workbookPath.end());
    spreadsheet::PrintWorkbook(nullptr, nullptr, path.c_str());
    return 0;
}
