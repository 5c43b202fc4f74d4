// The engine against the printing library itself, on its recording
// destination: every drawing call comes back as one line of text. Liberation
// Mono gives every character the same width, so the positions are exact.

#include "EngineFixture.h"

#include <MessageBox.h>
#include <Module.h>
#include <PrintingLibrary.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace printengine {
namespace {

namespace fs = std::filesystem;

// The engine's fixture with the printing library bound in place of the double.
class RecordingTest : public testing::EngineTest {
protected:
    static void SetUpTestSuite()
    {
        if (!platform::PrintingLibraryBound())
            platform::BindPrintingLibrary(platform::LoadLibraryW(platform::kPrintingLibraryFile));
    }

    void SetUp() override
    {
        ASSERT_TRUE(platform::PrintingLibraryBound());
        directory = fs::temp_directory_path() / ("printengine-recording-" + std::to_string(::getpid()));
        fs::create_directories(directory);
        output = directory / "job.txt";
        fs::remove(output);
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("PLOTWISE_CONFIG", (directory / "no-config").c_str(), 1);
        setenv("PLOTWISE_OUTPUT", output.c_str(), 1);
        setenv("PLOTWISE_PAPER", "letter", 1);
        setenv("PLOTWISE_DPI", "600", 1);
        setenv("PLOTWISE_MARGINS", "1in", 1);
        unsetenv("PLOTWISE_DIALOG");
        platform::SetMessageBoxHost([](std::u16string_view, std::u16string_view) { return platform::IDOK; });
        core::ResetAppSettings();
        core::ResetRunOptions();
        core::Settings().ViewMode = core::kViewDocuments;
        core::Settings().QuickPrint = 1;
        ResetPrintEngine();
    }

    void TearDown() override
    {
        ResetPrintEngine();
        platform::SetMessageBoxHost({});
        for (const char* name : { "PLOTWISE_CONFIG", "PLOTWISE_OUTPUT", "PLOTWISE_PAPER", "PLOTWISE_DPI",
                 "PLOTWISE_MARGINS", "PLOTWISE_DIALOG" })
            unsetenv(name);
        fs::remove_all(directory);
    }

    // The recorded lines that show pages and texts.
    std::vector<std::string> Recorded() const
    {
        std::vector<std::string> lines;
        std::ifstream in(output);
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("StartPage") || line.starts_with("ExtTextOut"))
                lines.push_back(line);
        }
        return lines;
    }

    fs::path directory;
    fs::path output;
};

// At 600 dpi with one-inch margins the text area starts at (600, 600).
// Liberation Mono at 12 points is 60 dots a character; its lines are 113
// dots high with the ascent at 83, so line n is drawn at y = 517 + 113 n.
constexpr int kChar = 60;

std::string Text(int x, int y, std::string_view text)
{
    return "ExtTextOut x=" + std::to_string(x) + " y=" + std::to_string(y) + " options=0 text=\"" + std::string(text)
        + "\"";
}

} // namespace
} // namespace printengine
