#pragma once

// Helpers of the printing library's tests: a private environment and
// output folder per test, and one print job run through the exports.

#include "plotwise/plotwise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>

namespace plotwise_test {

// Sets environment variables for the life of the object and puts back what
// was there before.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

    // Sets the variable, or unsets it when value is null.
    void Set(const std::string& name, const char* value)
    {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        value ? setenv(name.c_str(), value, 1) : unsetenv(name.c_str());
    }
    void Set(const std::string& name, const std::string& value) { Set(name, value.c_str()); }
    void Unset(const std::string& name) { Set(name, nullptr); }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

struct JobResult {
    int32_t Status = -1;
    int32_t DialogResult = -1;
    std::string Errors; // what the library wrote on standard error
};

// One whole print job as a caller runs it: the drawing function gets the
// printer context with the first page open; the job then ends with
// EndPage, StartPage, EndDoc as every caller ends it.
inline JobResult RunJob(
    const std::function<void(HDC)>& draw, const char16_t* title = u"Test job", int32_t reportLevel = 2)
{
    JobResult result;
    ::testing::internal::CaptureStderr();
    PLW_Init(title);
    PLW_SetReportLevel(reportLevel);
    PLW_PAGESETUP setup {};
    setup.lStructSize = sizeof setup;
    setup.Flags = PLW_PSD_DEFAULT_FLAGS | PLW_PSD_QUICKPRINT;
    result.DialogResult = PLW_PrintDlg(&setup);
    HDC dc = PLW_GetPrinterDC();
    if (result.DialogResult && dc) {
        draw(dc);
        PLW_EndPage(dc);
        PLW_StartPage(dc);
        PLW_EndDoc(dc);
    }
    result.Status = PLW_StatusCheck();
    if (dc)
        PLW_DeleteDC(dc);
    PLW_UnInit();
    PLW_SetReportLevel(2);
    result.Errors = ::testing::internal::GetCapturedStderr();
    return result;
}

// A test with its own temporary folder, home, configuration and locale:
// metric A4 at 600 dpi with no configuration file unless the test says so.
class PlotwiseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder = std::filesystem::temp_directory_path() / ("plotwise-test-" + std::to_string(getpid())) / name;
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        environment.Set("HOME", folder.string());
        environment.Set("XDG_CONFIG_HOME", (folder / "config").string());
        environment.Set("LC_ALL", "de_DE.UTF-8");
        // The system's paper file is not the test's: none unless a test writes one.
        environment.Set("PAPERCONF", (folder / "papersize").string());
        environment.Unset("LC_MEASUREMENT");
        environment.Unset("LC_PAPER");
        environment.Unset("LANG");
        for (const char* name :
            { "PLOTWISE_OUTPUT", "PLOTWISE_OUTPUT_DIR", "PLOTWISE_PAPER", "PLOTWISE_DPI", "PLOTWISE_MARGINS",
                "PLOTWISE_DIALOG", "PLOTWISE_CONFIG", "SOURCE_DATE_EPOCH", "XDG_DOCUMENTS_DIR", "PAPERSIZE" })
            environment.Unset(name);
    }

    void TearDown() override
    {
        if (!std::getenv("KEEP_TEST_FILES"))
            std::filesystem::remove_all(folder);
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    // Runs a job that must print to that file of the folder; gives its path.
    std::string PrintTo(const std::string& name, const std::function<void(HDC)>& draw)
    {
        environment.Set("PLOTWISE_OUTPUT", Path(name));
        const JobResult result = RunJob(draw);
        EXPECT_EQ(result.Status, PLW_STATUS_PRINTED) << result.Errors;
        return Path(name);
    }

    std::filesystem::path folder;
    ScopedEnvironment environment;
};

// A test with the screen's context to measure on.
class ScreenTest : public PlotwiseTest {
protected:
    void SetUp() override
    {
        PlotwiseTest::SetUp();
        dc = PLW_GetScreenDC();
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override
    {
        PLW_ReleaseScreenDC(dc);
        PlotwiseTest::TearDown();
    }

    HDC dc = nullptr;
};

// A test with a job kept open on the recording destination, to look at the
// current page's operations.
class OpenJobTest : public PlotwiseTest {
protected:
    void SetUp() override
    {
        PlotwiseTest::SetUp();
        environment.Set("PLOTWISE_OUTPUT", Path("job.txt"));
        PLW_Init(u"open job");
        PLW_PAGESETUP setup {};
        setup.lStructSize = sizeof setup;
        ASSERT_EQ(PLW_PrintDlg(&setup), 1);
        dc = PLW_GetPrinterDC();
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override
    {
        PLW_DeleteDC(dc);
        PLW_UnInit();
        PlotwiseTest::TearDown();
    }

    HDC dc = nullptr;
};

// A picture record of the data, to be drawn at the goal size in twips.
inline PLW_PICTURE PictureOf(const uint8_t* data, size_t size, int32_t goalWidth, int32_t goalHeight)
{
    PLW_PICTURE picture {};
    picture.GoalWidth = goalWidth;
    picture.GoalHeight = goalHeight;
    picture.DataSize = static_cast<int32_t>(size);
    picture.Data = data;
    return picture;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

inline std::string RunCommand(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    size_t count = 0;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, count);
    pclose(pipe);
    return output;
}

inline LOGFONTW MakeLogFont(const std::u16string& face, int32_t height, int32_t weight = FW_NORMAL)
{
    LOGFONTW font {};
    font.lfHeight = height;
    font.lfWeight = weight;
    for (size_t i = 0; i < face.size() && i < LF_FACESIZE - 1; ++i)
        font.lfFaceName[i] = face[i];
    return font;
}

class SelectedFont {
public:
    SelectedFont(HDC dc, const LOGFONTW& font)
        : dc_(dc)
        , font_(PLW_CreateFontIndirectW(&font))
    {
        previous_ = PLW_SelectObject(dc_, font_);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;
    ~SelectedFont()
    {
        PLW_SelectObject(dc_, previous_);
        PLW_DeleteObject(font_);
    }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_ = nullptr;
};

inline int32_t TextOut(HDC dc, int32_t x, int32_t y, const std::u16string& text)
{
    return PLW_ExtTextOut(dc, x, y, 0, nullptr, text.data(), static_cast<uint32_t>(text.size()), nullptr);
}

// Draws the text in a font made and selected for it alone.
inline void TextOut(HDC dc, const LOGFONTW& font, int32_t x, int32_t y, const std::u16string& text)
{
    SelectedFont selected(dc, font);
    TextOut(dc, x, y, text);
}

} // namespace plotwise_test
