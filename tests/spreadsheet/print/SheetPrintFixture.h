#pragma once

// Prints workbooks written by the workbook writer through the printing
// library itself, on its recording destination, at 600 dots per inch on
// Letter paper with one-inch margins. Workbooks use Liberation Mono at 10
// points: every character is 50 dots wide, so positions are exact.

#include <AppSettings.h>
#include <CellDrawing.h>
#include <MessageBox.h>
#include <Module.h>
#include <PrintJob.h>
#include <PrintWorkbook.h>
#include <PrintingLibrary.h>
#include <SheetWalk.h>
#include <WorkbookWriter.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace spreadsheet::testing {

namespace fs = std::filesystem;

inline FontDescription MonoFont(std::uint16_t color = 0)
{
    return { .Height = 200, .Color = color, .Name = u"Liberation Mono" };
}

// A workbook of one sheet in the fixtures' font, default sizes set.
inline WorkbookDescription MonoWorkbook(std::vector<CellDescription> cells = {})
{
    WorkbookDescription workbook;
    workbook.Fonts = { MonoFont() };
    workbook.Sheets[0].DefaultColWidth = 2560;
    workbook.Sheets[0].DefaultRowHeight = 255;
    workbook.Sheets[0].Cells = std::move(cells);
    return workbook;
}

class SheetPrintTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!platform::PrintingLibraryBound())
            platform::BindPrintingLibrary(platform::LoadLibraryW(platform::kPrintingLibraryFile));
    }

    void SetUp() override
    {
        ASSERT_TRUE(platform::PrintingLibraryBound());
        directory = fs::temp_directory_path()
            / ("sheetprint-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory);
        output = directory / "job.txt";
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("TALLOWIN_REGISTRY", (directory / "settings.reg").c_str(), 1);
        setenv("PLOTWISE_CONFIG", (directory / "no-config").c_str(), 1);
        setenv("PLOTWISE_OUTPUT", output.c_str(), 1);
        setenv("PLOTWISE_PAPER", "letter", 1);
        setenv("PLOTWISE_DPI", "600", 1);
        setenv("PLOTWISE_MARGINS", "1in", 1);
        unsetenv("PLOTWISE_DIALOG");
        messages.clear();
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view) {
            messages.emplace_back(text);
            return platform::IDOK;
        });
        core::ResetAppSettings();
        core::ResetRunOptions();
        core::Settings().ViewMode = core::kViewWorkbooks;
        core::Settings().SheetCenter = 0;
        core::Options().SkipSheetDialog = 1;
        printengine::ResetPrintEngine();
        ResetCellDrawing();
        PreferredSheetWalk() = SheetWalkMode::Indexed;
    }

    void TearDown() override
    {
        PreferredSheetWalk() = SheetWalkMode::Indexed;
        printengine::ResetPrintEngine();
        platform::SetMessageBoxHost({});
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    int Print(const std::vector<std::uint8_t>& bytes)
    {
        fs::remove(output);
        const fs::path path = directory / "book.pxl";
        EXPECT_TRUE(WriteFileBytes(path.string(), bytes));
        return PrintWorkbook(nullptr, nullptr, path.u16string().c_str());
    }

    int Print(const WorkbookDescription& workbook) { return Print(WriteWorkbook(workbook)); }

    std::vector<std::string> Recording() const
    {
        std::vector<std::string> lines;
        std::ifstream in(output);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::vector<std::string> Lines(std::initializer_list<std::string_view> prefixes) const
    {
        std::vector<std::string> kept;
        for (const std::string& line : Recording()) {
            if (std::any_of(prefixes.begin(), prefixes.end(), [&](std::string_view p) { return line.starts_with(p); }))
                kept.push_back(line);
        }
        return kept;
    }

    std::vector<std::string> Texts() const { return Lines({ "ExtTextOut" }); }

    int Pages() const { return static_cast<int>(Lines({ "StartPage" }).size()); }

    fs::path directory;
    fs::path output;
    std::vector<std::u16string> messages;
};

inline std::string Drawn(int x, int y, std::string_view text)
{
    return "ExtTextOut x=" + std::to_string(x) + " y=" + std::to_string(y) + " options=0 text=\"" + std::string(text)
        + "\"";
}

inline std::string BoxedText(int x, int y, int options, int l, int t, int r, int b, std::string_view text)
{
    return "ExtTextOut x=" + std::to_string(x) + " y=" + std::to_string(y) + " options=" + std::to_string(options)
        + " rect=(" + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b)
        + ") text=\"" + std::string(text) + "\"";
}

} // namespace spreadsheet::testing
