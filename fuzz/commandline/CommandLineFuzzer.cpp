// Feeds arbitrary UTF-16 (little-endian byte pairs) to the command-line
// parser and the cell-reference parser. The settings file is a temporary one,
// so fuzzing never touches the user's settings.
#include "AppSettings.h"
#include "CellRef.h"
#include "CommandLine.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void UseTemporarySettingsFile()
{
    static const bool done = [] {
        std::filesystem::path directory = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
        std::filesystem::path file = directory / ("tallowin-fuzz-" + std::to_string(getpid()) + ".reg");
        setenv("TALLOWIN_REGISTRY", file.c_str(), 1);
        std::atexit([] {
            if (const char* path = std::getenv("TALLOWIN_REGISTRY")) {
                std::error_code ignored;
                std::filesystem::remove(path, ignored);
                std::filesystem::remove(std::string(path) + ".lock", ignored);
            }
        });
        return true;
    }();
    (void)done;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    UseTemporarySettingsFile();

    std::vector<char16_t> text(size / 2 + 1, u'\0');
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text[i / 2] = static_cast<char16_t>(data[i] | (data[i + 1] << 8));

    core::ResetAppSettings();
    core::ResetRunOptions();
    shell::ParseCommandLine(text.data());
    const core::RunOptions& options = core::Options();
    const core::AppSettings& settings = core::Settings();
    if (settings.SheetCustomPercent < 25 || settings.SheetCustomPercent > 250)
        std::abort();
    if (options.SheetIndex != 0xFFFF && options.SheetIndex > 9)
        std::abort();
    if (options.SheetRange < 0 || options.SheetRange > 3 || settings.SheetSizing > 2)
        std::abort();
    if (core::HasCommandLineFile() && options.CommandLineFile.back() != u'\0')
        std::abort();

    // A reference that parses names a cell whose name parses back to it.
    std::uint16_t column = 0;
    std::uint16_t row = 0;
    if (spreadsheet::ParseCellRef(text.data(), column, row) == 1) {
        if (column > spreadsheet::kMaxColumn || row >= spreadsheet::kMaxRowNumber)
            std::abort();
        char16_t name[spreadsheet::kCellNameUnits];
        spreadsheet::CellName(name, column, row);
        std::uint16_t againColumn = 0;
        std::uint16_t againRow = 0;
        if (spreadsheet::ParseCellRef(name, againColumn, againRow) != 1 || againColumn != column || againRow != row)
            std::abort();
    }
    return 0;
}
